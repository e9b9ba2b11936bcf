#include "help/Form4.h"
#include "help/WebEngineSetup.h"
#include "shell/Form1.h"
#include "shell/Program.h"
#include "support/FakeServices.h"

#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int LoadTimeout = 30000;

// Serves the trigger help page on loopback and counts the requests for it.
class HelpPageServer : public QObject {
public:
    int pageRequests = 0;

    bool listen()
    {
        connect(&server_, &QTcpServer::newConnection, this, &HelpPageServer::accept);
        return server_.listen(QHostAddress::LocalHost);
    }
    QUrl pageAddress() const
    {
        return QUrl(u"http://127.0.0.1:%1/vexlon/trigger.html"_s.arg(server_.serverPort()));
    }

private:
    void accept()
    {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
        }
    }
    void answer(QTcpSocket* socket)
    {
        QByteArray& request = requests_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        requests_.remove(socket);
        QByteArray body;
        QByteArray status = "404 Not Found";
        if (path == "/vexlon/trigger.html") {
            ++pageRequests;
            status = "200 OK";
            body = "<html><head><title>Triggers</title><link rel=\"icon\" href=\"data:,\">"
                   "</head><body><p>ONTRIGGER=DCLICK runs on a double click.</p></body></html>";
        }
        socket->write("HTTP/1.1 " + status
                      + "\r\nContent-Type: text/html\r\n"
                        "Cache-Control: no-store\r\nConnection: close\r\nContent-Length: "
                      + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> requests_;
};

QList<Form4*> helpWindows()
{
    QList<Form4*> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* help = qobject_cast<Form4*>(window))
            windows << help;
    }
    return windows;
}

// Child processes of this one that belong to the web engine.
int webEngineProcesses()
{
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    int count = 0;
    for (const QString& pid : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(u"/proc/"_s + pid + u"/stat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ..."
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.value(1) == self && line.contains("(QtWebEngine"))
            ++count;
    }
    return count;
}

} // namespace

class TestForm4 : public QObject {
    Q_OBJECT

private slots:
    // Runs first, before any help window has started the web engine.
    void webEngineStartsWithTheFirstHelpWindow();
    void helpAddressIsOnTheProductSite();
    void loadThePageOnlyWhenAsked();
    void triggersExplainedKeepsOneWindowUntilClosed();
};

void TestForm4::webEngineStartsWithTheFirstHelpWindow()
{
    Program program([] { return FakeServices().take(); });
    Form1& form1 = Program::form1();
    form1.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form1));
    QCOMPARE(webEngineProcesses(), 0);

    form1.TExplain_Click();
    QTRY_VERIFY_WITH_TIMEOUT(webEngineProcesses() > 0, LoadTimeout);
}

void TestForm4::helpAddressIsOnTheProductSite()
{
    Form4 window;
    QCOMPARE(window.helpAddress(), QUrl(u"http://vexlon.example/vexlon/trigger.html"_s));
    QCOMPARE(window.helpAddress().host(), ProductWebHost.toString());
    QVERIFY(window.helpAddress().host().endsWith(u".example"_s));
    QCOMPARE(window.WebBrowser1->url(), QUrl());
}

void TestForm4::loadThePageOnlyWhenAsked()
{
    HelpPageServer server;
    QVERIFY(server.listen());
    Form4 window(server.pageAddress());
    QSignalSpy loads(window.WebBrowser1, &QWebEngineView::loadFinished);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.WebBrowser1->url(), QUrl());

    QTest::mouseClick(window.Command1, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(loads.size(), 1, LoadTimeout);
    QCOMPARE(loads[0][0].toBool(), true);
    // Exactly one request: opening the window fetched nothing.
    QCOMPARE(server.pageRequests, 1);
    // The view shows the page: read its text back.
    auto text = std::make_shared<std::optional<QString>>();
    window.WebBrowser1->page()->toPlainText([text](const QString& shown) { *text = shown; });
    QTRY_VERIFY_WITH_TIMEOUT(text->has_value(), LoadTimeout);
    QVERIFY2(text->value().contains(u"ONTRIGGER=DCLICK runs on a double click."_s),
             qPrintable(text->value()));

    QTest::mouseClick(window.Command1, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(loads.size(), 2, LoadTimeout);
    QCOMPARE(server.pageRequests, 2);
    QCOMPARE(window.WebBrowser1->url(), server.pageAddress());
}

void TestForm4::triggersExplainedKeepsOneWindowUntilClosed()
{
    Program program([] { return FakeServices().take(); });
    Form1& form1 = Program::form1();

    form1.TExplain_Click();
    QCOMPARE(helpWindows().size(), 1);
    QPointer<Form4> first = helpWindows().constFirst();
    QPointer<QWebEngineView> browser = first->WebBrowser1;
    QVERIFY(first->isVisible());
    QCOMPARE(first->parentWidget(), nullptr);
    QVERIFY(!first->isModal());
    QCOMPARE(first->helpAddress(), triggerHelpAddress());

    form1.TExplain_Click();
    QCOMPARE(helpWindows(), QList<Form4*>{first.data()});

    // "Ok, go away!" destroys the window and its browser.
    QTest::mouseClick(first->Command2, Qt::LeftButton);
    QTRY_VERIFY(!first);
    QVERIFY(!browser);
    form1.TExplain_Click();
    QCOMPARE(helpWindows().size(), 1);
    QCOMPARE(helpWindows().constFirst()->WebBrowser1->url(), QUrl());
}

// The web engine needs its settings before the application object exists.
int main(int argc, char* argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    TestForm4 test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_form4.moc"
