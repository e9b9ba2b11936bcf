#include "document/TextReader.h"

#include <QByteArray>
#include <algorithm>
#include <array>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Pieces of text between the two threads: each is filled by the reading
// thread and emptied by the caller's.
struct Piece {
    QByteArray text;
    qint64 bytesRead = 0;
};

} // namespace

RegularFileReader::Outcome
readText(RegularFileReader& file, ScriptFileFormat::Encoding encoding,
         const std::function<bool(QByteArrayView text, qint64 bytesRead)>& onText)
{
    std::array<Piece, 3> pieces;
    std::mutex mutex;
    std::condition_variable changed;
    // Counted from the start; the piece in use is the count modulo the size.
    std::size_t filled = 0;
    std::size_t emptied = 0;
    bool finished = false;
    bool stopped = false;
    RegularFileReader::Outcome outcome = RegularFileReader::Outcome::Read;

    std::thread reader([&] {
        ScriptFileFormat::Decoder decoder(encoding);
        qint64 bytesRead = 0;
        const RegularFileReader::Outcome read = file.readPieces([&](QByteArrayView bytes) {
            const QByteArrayView text = decoder.decode(bytes);
            bytesRead += bytes.size();
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return stopped || filled - emptied < pieces.size(); });
            if (stopped)
                return false;
            Piece& piece = pieces[filled % pieces.size()];
            // The other thread leaves a piece alone until it is counted as filled.
            lock.unlock();
            piece.text.resize(text.size());
            std::copy(text.begin(), text.end(), piece.text.begin());
            piece.bytesRead = bytesRead;
            lock.lock();
            ++filled;
            changed.notify_all();
            return true;
        });
        const std::lock_guard lock(mutex);
        outcome = read;
        finished = true;
        changed.notify_all();
    });

    for (;;) {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return filled > emptied || finished; });
        if (filled == emptied)
            break;
        const Piece& piece = pieces[emptied % pieces.size()];
        lock.unlock();
        const bool goOn = onText(piece.text, piece.bytesRead);
        lock.lock();
        ++emptied;
        if (!goOn)
            stopped = true;
        changed.notify_all();
        if (stopped)
            break;
    }
    reader.join();
    return stopped ? RegularFileReader::Outcome::Stopped : outcome;
}
