#pragma once

#include <QByteArray>
#include <QList>
#include <optional>
#include <sys/types.h>
#include <utility>

// The owner, group, exact mode (set-id bits included) and extended attributes
// of a file, read so that a new file written to take its place can be given
// the same ones. POSIX ACLs are extended attributes, so they come along.
//
// File capabilities (security.capability) are left out: writing to a file
// makes the system drop them, so a file with new content does not keep them
// whichever way it was written.
class FileAttributes {
public:
    // The attributes of the file at path; nullopt, with errno set, when one of
    // them cannot be read.
    static std::optional<FileAttributes> read(const QByteArray& path);
    // The same for an open file.
    static std::optional<FileAttributes> read(int fd);

    // Gives the open file these attributes, and no extended attributes besides
    // (a new file may have inherited an ACL from its folder). False, with
    // errno set, when any of them cannot be reproduced on it.
    bool applyTo(int fd) const;

private:
    template<typename Source> static std::optional<FileAttributes> readFrom(const Source& source);
    bool removeOthers(int fd) const;

    uid_t owner_ = 0;
    gid_t group_ = 0;
    mode_t mode_ = 0;
    QList<std::pair<QByteArray, QByteArray>> extended_;
};
