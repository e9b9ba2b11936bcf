#include "helpbrowser/EditorRequests.h"

#include "help/HelpBrowserProtocol.h"

#include <cerrno>
#include <unistd.h>

EditorRequests::EditorRequests(int descriptor, QObject* parent)
    : QObject(parent)
    , descriptor_(descriptor)
    , notifier_(descriptor, QSocketNotifier::Read)
{
    connect(&notifier_, &QSocketNotifier::activated, this, &EditorRequests::readAvailable);
}

// Called when the input is readable, so one read does not block.
void EditorRequests::readAvailable()
{
    char buffer[4096];
    const ssize_t got = ::read(descriptor_, buffer, sizeof buffer);
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got <= 0) {
        notifier_.setEnabled(false);
        emit editorGone();
        return;
    }
    partialLine_.append(buffer, got);
    qsizetype end = 0;
    while ((end = partialLine_.indexOf('\n')) >= 0) {
        const QByteArray line = partialLine_.left(end);
        partialLine_.remove(0, end + 1);
        handleLine(line);
    }
}

void EditorRequests::handleLine(QByteArrayView line)
{
    if (line.trimmed() == raiseRequest)
        emit raiseRequested();
}
