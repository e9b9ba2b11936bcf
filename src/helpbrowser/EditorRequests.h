#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

// The requests the editor writes to the help browser program's standard
// input, one a line (see help/HelpBrowserProtocol.h), as signals. Lines it
// does not know are passed over.
class EditorRequests : public QObject {
    Q_OBJECT
public:
    // Reads from the open file descriptor, which stays open.
    explicit EditorRequests(int descriptor, QObject* parent = nullptr);

signals:
    void raiseRequested();
    // The input ended: the editor closed it, or ended.
    void editorGone();

private:
    void readAvailable();
    void handleLine(QByteArrayView line);

    int descriptor_;
    QSocketNotifier notifier_;
    QByteArray partialLine_;
};
