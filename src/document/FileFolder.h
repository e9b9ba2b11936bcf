#pragma once

#include <QByteArray>
#include <QList>
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

    // prefix + the file's name + infix, the file's name shortened so that six
    // random characters and suffixSize bytes more still fit in a name.
    QByteArray stem(const char* prefix, const char* infix, qsizetype suffixSize) const;
    // Creates a file that was not there, opened for reading and writing, named
    // stem + six random characters + suffix, where the name without the suffix
    // is not taken either; its name goes to `name`.
    FileDescriptor create(const QByteArray& stem, const char* suffix, mode_t mode,
                          QByteArray& name) const;
    FileDescriptor createBeside(const char* prefix, const char* infix, mode_t mode,
                                QByteArray& name) const
    {
        return create(stem(prefix, infix, 0), "", mode, name);
    }
    // The names in the folder that create(stem, suffix) could have made; none
    // when the folder cannot be listed.
    QList<QByteArray> namesMade(const QByteArray& stem, const char* suffix) const;
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
