#pragma once

#include <QByteArrayView>
#include <QString>
#include <functional>

// Writes a whole file for Save and Save As so that it stays the same file, and
// so that a full disk, a read-only file system or the program being killed
// part-way never leave it without a whole copy of either the old or the new
// content.
//
// The writer picks one of two ways for each save:
//  - Replacing, the default: the bytes go to a new hidden file
//    ".<name>.saving-XXXXXX" in the same folder. When an old file is there,
//    the new one is given its owner, group, extended attributes (ACLs among
//    them) and exact mode; it is flushed to disk and renamed over the old one.
//    Until the rename the old file is untouched, after it the new one is
//    whole; a kill in between may leave the hidden file behind.
//  - In place, when the old file has other names (hard links), or when its
//    owner, group, mode or an extended attribute cannot be given to a new
//    file: the file keeps its inode, links and attributes. Its old content is
//    first copied to "<name>.backup-XXXXXX" next to it and flushed, and the
//    space for the new content is reserved, so that a full disk fails the save
//    before the file changes. A write that fails part-way is undone from the
//    copy. The copy is deleted once the save succeeded or was undone; if the
//    program is killed part-way, or undoing fails, it stays with the old
//    content (and the reason names it).
// A symbolic link is written through: the file it points to gets the content
// and the link stays a link. A brand-new file gets the mode any new file gets
// there (0666 less the umask, or the folder's default ACL). A file the user may
// not write, and anything but a regular file, is refused.
class SafeFileWriter {
public:
    // One write to the open file: returns the count written, or -1 with errno
    // set. A count short of size is continued from where it stopped; 0 or -1
    // fails the save.
    using WriteStep = std::function<qint64(int fd, const char* data, qint64 size)>;

    struct Result {
        bool written = false;
        // The system's reason when not written.
        QString reason;
    };

    // The write step is where tests make the disk fill up part-way; by default
    // it is the system's write(). It writes the new content, and the old one
    // back when an in-place save is undone.
    explicit SafeFileWriter(WriteStep writeStep = {});

    Result write(const QString& path, QByteArrayView bytes) const;

private:
    WriteStep writeStep_;
};
