#pragma once

#include "document/FileIdentity.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Reads a whole file in one read, or nothing. Only a regular file is read: a
// folder, a FIFO or a device is refused without being opened for reading, so
// a name typed into the open dialog can neither block the program nor feed it
// bytes without end. A file larger than maxBytes, or one too large to hold in
// memory, is refused too.
struct RegularFileRead {
    std::optional<QByteArray> bytes;
    // The file as it was when it was read.
    FileIdentity identity;
    // Why nothing was read, in words for the user.
    QString failure;
};

RegularFileRead readRegularFile(const QString& path, qint64 maxBytes);
