#include "helpbrowser/EditorRequests.h"

#include <QSignalSpy>
#include <QTest>
#include <unistd.h>

class TestEditorRequests : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void raiseRequestsArriveWhole_data();
    void raiseRequestsArriveWhole();
    void endOfInputMeansTheEditorIsGone();

private:
    void write(const QByteArray& bytes);

    int pipe_[2] = {-1, -1};
};

void TestEditorRequests::init() { QCOMPARE(::pipe(pipe_), 0); }

void TestEditorRequests::cleanup()
{
    for (int& end : pipe_) {
        if (end >= 0)
            ::close(end);
        end = -1;
    }
}

void TestEditorRequests::write(const QByteArray& bytes)
{
    QCOMPARE(::write(pipe_[1], bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
}

void TestEditorRequests::raiseRequestsArriveWhole_data()
{
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<int>("raises");
    QTest::newRow("one line") << QList<QByteArray>{"raise\n"} << 1;
    QTest::newRow("two in one write") << QList<QByteArray>{"raise\nraise\n"} << 2;
    QTest::newRow("split across writes") << QList<QByteArray>{"ra", "ise\nrai", "se\n"} << 2;
    QTest::newRow("unknown lines passed over")
        << QList<QByteArray>{"hello\n\nraise\nraisex\nraise now\n"} << 1;
    QTest::newRow("unfinished line waits") << QList<QByteArray>{"raise"} << 0;
}

void TestEditorRequests::raiseRequestsArriveWhole()
{
    QFETCH(QList<QByteArray>, writes);
    QFETCH(int, raises);
    EditorRequests requests(pipe_[0]);
    QSignalSpy raised(&requests, &EditorRequests::raiseRequested);
    QSignalSpy gone(&requests, &EditorRequests::editorGone);

    for (const QByteArray& bytes : writes) {
        write(bytes);
        // Each write is read on its own.
        QTest::qWait(20);
    }
    QTRY_COMPARE(raised.size(), raises);
    QTest::qWait(50);
    QCOMPARE(raised.size(), raises);
    QCOMPARE(gone.size(), 0);
}

void TestEditorRequests::endOfInputMeansTheEditorIsGone()
{
    EditorRequests requests(pipe_[0]);
    QSignalSpy raises(&requests, &EditorRequests::raiseRequested);
    QSignalSpy gone(&requests, &EditorRequests::editorGone);
    write("raise\n");

    ::close(pipe_[1]);
    pipe_[1] = -1;

    QTRY_COMPARE(gone.size(), 1);
    QCOMPARE(raises.size(), 1);
    QTest::qWait(50);
    QCOMPARE(gone.size(), 1);
}

QTEST_GUILESS_MAIN(TestEditorRequests)

#include "tst_editorrequests.moc"
