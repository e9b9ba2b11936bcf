#include "helpbrowser/EditorRequests.h"

#include <QSignalSpy>
#include <QTest>
#include <unistd.h>

class TestEditorRequests : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void raiseRequestsArriveWholeWithTheirTime_data();
    void raiseRequestsArriveWholeWithTheirTime();
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

void TestEditorRequests::raiseRequestsArriveWholeWithTheirTime_data()
{
    QTest::addColumn<QList<QByteArray>>("writes");
    QTest::addColumn<QList<quint32>>("times");
    QTest::newRow("one line") << QList<QByteArray>{"raise 1234\n"} << QList<quint32>{1234};
    QTest::newRow("no time") << QList<QByteArray>{"raise\n"} << QList<quint32>{0};
    QTest::newRow("two in one write")
        << QList<QByteArray>{"raise 1\nraise 4294967295\n"} << QList<quint32>{1, 4294967295U};
    QTest::newRow("split across writes")
        << QList<QByteArray>{"rai", "se 7", "7\nraise", " 8\n"} << QList<quint32>{77, 8};
    QTest::newRow("unknown lines passed over")
        << QList<QByteArray>{"hello\n\nraise 5\nraisex 6\n"} << QList<quint32>{5};
    QTest::newRow("unfinished line waits") << QList<QByteArray>{"raise 9"} << QList<quint32>{};
}

void TestEditorRequests::raiseRequestsArriveWholeWithTheirTime()
{
    QFETCH(QList<QByteArray>, writes);
    QFETCH(QList<quint32>, times);
    EditorRequests requests(pipe_[0]);
    QSignalSpy raises(&requests, &EditorRequests::raiseRequested);
    QSignalSpy gone(&requests, &EditorRequests::editorGone);

    for (const QByteArray& bytes : writes) {
        write(bytes);
        // Each write is read on its own.
        QTest::qWait(20);
    }
    QTRY_COMPARE(raises.size(), times.size());
    QTest::qWait(50);

    QList<quint32> seen;
    for (const QList<QVariant>& raise : raises)
        seen << raise[0].toUInt();
    QCOMPARE(seen, times);
    QCOMPARE(gone.size(), 0);
}

void TestEditorRequests::endOfInputMeansTheEditorIsGone()
{
    EditorRequests requests(pipe_[0]);
    QSignalSpy raises(&requests, &EditorRequests::raiseRequested);
    QSignalSpy gone(&requests, &EditorRequests::editorGone);
    write("raise 3\n");

    ::close(pipe_[1]);
    pipe_[1] = -1;

    QTRY_COMPARE(gone.size(), 1);
    QCOMPARE(raises.size(), 1);
    QTest::qWait(50);
    QCOMPARE(gone.size(), 1);
}

QTEST_GUILESS_MAIN(TestEditorRequests)

#include "tst_editorrequests.moc"
