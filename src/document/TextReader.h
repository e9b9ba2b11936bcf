#pragma once

#include "document/RegularFileReader.h"
#include "document/ScriptFileFormat.h"

#include <QByteArrayView>
#include <functional>

// Reads a file's text for Open: the file is read and decoded on a thread of
// its own while the caller's thread hands the text on, a piece at a time and
// in order, to onText with the count of the file's bytes read so far. Either
// thread waits only when the other is behind. onText returning false stops
// the reading (Stopped).
RegularFileReader::Outcome
readText(RegularFileReader& file, ScriptFileFormat::Encoding encoding,
         const std::function<bool(QByteArrayView text, qint64 bytesRead)>& onText);
