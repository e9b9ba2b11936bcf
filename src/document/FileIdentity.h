#pragma once

#include <QString>
#include <optional>
#include <sys/types.h>

struct stat;

// What tells one state of a file on disk from another: which file the name
// leads to, its size and when its content last changed, to the nanosecond.
// Another program that rewrote the file, or put a new one in its place,
// changed at least one of them.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    qint64 size = 0;
    qint64 modifiedSeconds = 0;
    long modifiedNanoseconds = 0;

    static FileIdentity of(const struct stat& status);
    // The file the path leads to, links followed; nothing when there is none.
    static std::optional<FileIdentity> ofPath(const QString& path);
    // What the path's symbolic link names, when the path is one.
    static std::optional<QString> linkTargetOf(const QString& path);

    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
