#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/types.h>
#include <utility>

// An open file descriptor, closed when this goes.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1)
        : fd_(fd)
    {
    }
    FileDescriptor(FileDescriptor&& other) noexcept
        : fd_(std::exchange(other.fd_, -1))
    {
    }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        std::swap(fd_, other.fd_);
        return *this;
    }
    ~FileDescriptor();

    int get() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    // Closes now: some file systems report a failed write only then. False,
    // with errno set, when closing failed.
    bool close();

private:
    int fd_;
};

// The folder of a file being saved, open so that files can be made, renamed
// and removed next to it, and the file's name in it.
class FileFolder {
public:
    // The folder of the file at filePath; nullopt, with errno set, when it
    // cannot be opened.
    static std::optional<FileFolder> open(const QByteArray& filePath);

    int fd() const { return folder_.get(); }
    const QByteArray& fileName() const { return fileName_; }
    QString pathOf(const QByteArray& name) const;

    // Creates a file that was not there, opened for reading and writing, named
    // prefix + the file's name + infix + six random characters (the file's name
    // shortened when that would be too long); its name goes to `name`.
    FileDescriptor createBeside(const char* prefix, const char* infix, mode_t mode,
                                QByteArray& name) const;
    void remove(const QByteArray& name) const;
    // Flushes the folder's names to disk. True also where a folder cannot be
    // flushed; false, with errno set, when flushing failed.
    bool sync() const;

private:
    FileDescriptor folder_;
    bool canSync_ = false;
    QByteArray path_;
    QByteArray fileName_;
};
