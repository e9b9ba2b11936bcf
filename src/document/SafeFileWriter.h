#pragma once

#include <QByteArrayView>
#include <QString>
#include <functional>

// Writes a whole file for Save and Save As so that it stays the same file, and
// so that a full disk, a read-only file system or the program being killed
// part-way never leave it without a whole copy of either the old or the new
// content. No file it makes on the way can be read by other users.
//
// The writer picks one of two ways for each save:
//  - Replacing, the default: the bytes go to a new hidden file
//    ".<name>.saving-XXXXXX" in the same folder, made with mode 0600. Only once
//    it holds the whole content is it given the old file's owner, group,
//    extended attributes (ACLs among them) and exact mode, or for a brand-new
//    file the mode any new file gets there (0666 less the umask, or what the
//    folder's default ACL gives: read from an empty file made there for the
//    purpose). It is then flushed to disk and renamed over the old one, and
//    the folder flushed. Until the rename the old file is untouched, after it
//    the new one is whole; a kill in between may leave the hidden file behind,
//    still mode 0600.
//  - In place, when the old file has other names (hard links), when its
//    owner, group, mode or an extended attribute cannot be given to a new
//    file, when the folder takes no new file (no write permission, immutable,
//    read-only) or when the file is a mount point: the file keeps its inode,
//    links and attributes. It is opened without following a symbolic link.
//    Its old content is first copied, with mode 0600, to
//    "<name>.backup-XXXXXX.unfinished" next to it (or, when the folder takes
//    no new file, in the user's cache folder: $XDG_CACHE_HOME/vexlon or
//    ~/.cache/vexlon, made with mode 0700). Once the copy is flushed it is
//    renamed to "<name>.backup-XXXXXX" and its folder flushed; only then is
//    the space for the new content reserved, so that a full disk fails the
//    save before the file changes, and the file overwritten. A write that
//    fails part-way is undone from the copy. The copy is deleted once the save
//    succeeded or was undone; if the program is killed part-way, or undoing
//    fails, the finished copy stays with the old content (and the reason names
//    it; Open tells of one found beside the file, see InterruptedSave). An
//    unfinished copy was made before the file was touched: the next save of
//    the file deletes it.
// A symbolic link is written through: the file it points to gets the content
// and the link stays a link, unless the caller refuses links (a name that was
// a plain file when it was opened, and may since have been made a link by
// whoever can write its folder). A file the user may not write, and anything
// but a regular file, is refused.
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
        // The content stopped of itself; the file is as it was.
        bool cancelled = false;
    };

    // Takes the next bytes of the content: false when they could not be
    // written, and the content should stop.
    using Sink = std::function<bool(QByteArrayView)>;
    // Hands the whole content to the sink, a piece at a time: false when it
    // stopped before its end. Asked again, it starts again from its beginning.
    using Content = std::function<bool(const Sink&)>;

    // The write step is where tests make the disk fill up part-way; by default
    // it is the system's write(). It writes the new content, and the old one
    // back when an in-place save is undone, not the copy of the old content.
    explicit SafeFileWriter(WriteStep writeStep = {});

    enum class Links { Follow, Refuse };

    Result write(const QString& path, QByteArrayView bytes, Links links = Links::Follow) const;
    // The same for content of the given size that is made as it is written.
    Result write(const QString& path, qint64 size, const Content& content,
                 Links links = Links::Follow) const;

private:
    WriteStep writeStep_;
};
