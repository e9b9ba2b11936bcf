#pragma once

#include "document/FileFolder.h"
#include "document/FileIdentity.h"

#include <QByteArrayView>
#include <QString>
#include <functional>

// A file opened for reading in pieces, through one buffer. Only a regular
// file is opened: a folder, a FIFO or a device is refused without being read,
// so a name typed into the open dialog can neither block the program nor
// feed it bytes without end. A file larger than maxBytes is refused too.
class RegularFileReader {
public:
    RegularFileReader(const QString& path, qint64 maxBytes);

    bool isOpen() const { return file_.isOpen(); }
    // Why the file is not open, or could not be read, in words for the user.
    QString failure() const { return failure_; }
    qint64 size() const { return identity_.size; }
    // The file as it was when it was opened.
    const FileIdentity& identity() const { return identity_; }

    enum class Outcome { Read, Stopped, Failed };
    // Reads the whole file from its start, handing each piece to onPiece
    // until it returns false (Stopped). A file that changed since it was
    // opened has Failed: it is not the file that was asked for.
    Outcome readPieces(const std::function<bool(QByteArrayView)>& onPiece);

private:
    Outcome fail(const QString& why);

    FileDescriptor file_;
    FileIdentity identity_;
    QString failure_;
};
