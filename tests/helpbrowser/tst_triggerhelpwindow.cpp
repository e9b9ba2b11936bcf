#include "helpbrowser/TriggerHelpWindow.h"
#include "platform/SingleWindow.h"
#include "support/WebEngineProcesses.h"
#include "support/WebEngineTestMain.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

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

} // namespace

class TestTriggerHelpWindow : public QObject {
    Q_OBJECT

private slots:
    // Runs first, before any help window has started the web engine.
    void webEngineStartsWithTheFirstHelpWindow();
    void helpAddressIsOnTheProductSite();
    void loadThePageOnlyWhenAsked();
    void closeButtonTakesTheBrowserAlong();
};

void TestTriggerHelpWindow::webEngineStartsWithTheFirstHelpWindow()
{
    QCOMPARE(webEngineProcesses(), 0);
    QPointer<TriggerHelpWindow> slot;
    const auto closeAtEnd = qScopeGuard([&] { delete slot; });

    showSingleWindow(slot);
    QTRY_VERIFY_WITH_TIMEOUT(webEngineProcesses() > 0, LoadTimeout);
}

void TestTriggerHelpWindow::helpAddressIsOnTheProductSite()
{
    TriggerHelpWindow window;
    QCOMPARE(window.helpAddress(), QUrl(u"http://vexlon.example/vexlon/trigger.html"_s));
    QCOMPARE(window.helpAddress().host(), productWebHost.toString());
    QCOMPARE(window.browser->url(), QUrl());
}

void TestTriggerHelpWindow::loadThePageOnlyWhenAsked()
{
    HelpPageServer server;
    QVERIFY(server.listen());
    TriggerHelpWindow window(server.pageAddress());
    QSignalSpy loads(window.browser, &QWebEngineView::loadFinished);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.browser->url(), QUrl());

    QTest::mouseClick(window.loadButton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(loads.size(), 1, LoadTimeout);
    QCOMPARE(loads[0][0].toBool(), true);
    // Exactly one request: opening the window fetched nothing.
    QCOMPARE(server.pageRequests, 1);
    // The view shows the page: read its text back.
    auto text = std::make_shared<std::optional<QString>>();
    window.browser->page()->toPlainText([text](const QString& shown) { *text = shown; });
    QTRY_VERIFY_WITH_TIMEOUT(text->has_value(), LoadTimeout);
    QVERIFY2(text->value().contains(u"ONTRIGGER=DCLICK runs on a double click."_s),
             qPrintable(text->value()));

    QTest::mouseClick(window.loadButton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(loads.size(), 2, LoadTimeout);
    QCOMPARE(server.pageRequests, 2);
    QCOMPARE(window.browser->url(), server.pageAddress());
}

// "Ok, go away!" closes the window as the main window shows it, and its
// browser goes with it.
void TestTriggerHelpWindow::closeButtonTakesTheBrowserAlong()
{
    QPointer<TriggerHelpWindow> slot;
    const auto closeAtEnd = qScopeGuard([&] { delete slot; });
    showSingleWindow(slot);
    QPointer<TriggerHelpWindow> shown = slot;
    QPointer<QWebEngineView> browser = shown->browser;
    QCOMPARE(shown->helpAddress(), triggerHelpAddress());

    QTest::mouseClick(shown->closeButton, Qt::LeftButton);

    QTRY_VERIFY(!shown);
    QVERIFY(!browser);
}

VEXLON_WEB_ENGINE_TEST_MAIN(TestTriggerHelpWindow)

#include "tst_triggerhelpwindow.moc"
