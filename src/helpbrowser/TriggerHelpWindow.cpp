#include "helpbrowser/TriggerHelpWindow.h"

#include "platform/Twips.h"
#include "platform/WindowFrame.h"

#include <QLabel>
#include <QPushButton>
#include <QQuickWidget>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

TriggerHelpWindow::TriggerHelpWindow(QUrl helpAddress, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , browser(new QWebEngineView(this))
    , loadButton(new QPushButton(u"Load The Page"_s, this))
    , closeButton(new QPushButton(u"Ok, go away!"_s, this))
    , onlineNote(new QLabel(this))
    , helpAddress_(std::move(helpAddress))
{
    setObjectName(u"Form4"_s);
    setWindowTitle(u"Vexlon Triggers Explained"_s);
    setWindowIcon(QIcon(u":/icons/triggerhelp.png"_s));
    // Fixed single border, placed where the window system puts new windows.
    setFixedSize(pixelsFromTwips(9735), pixelsFromTwips(6120));
    setWindowFrame(*this, FrameKind::FixedDialog);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, Qt::black); // the desktop's button-text colour
    setPalette(colors);

    // Stays empty until the user asks for the page.
    browser->setObjectName(u"WebBrowser1"_s);
    browser->setGeometry(rectFromTwips(0, 0, 9765, 5520));
    // The browser draws into a Qt Quick widget, which it creates only after
    // the window is shown. Qt then replaces the window with one of the kind
    // such widgets need: it flickers, and the window manager sees a new
    // window that nobody asked to focus, so the keyboard stays behind. An
    // empty Qt Quick widget, never shown, gives the window that kind from
    // the start.
    new QQuickWidget(this);

    loadButton->setObjectName(u"Command1"_s);
    loadButton->setGeometry(rectFromTwips(810, 5625, 2055, 375));
    loadButton->setAutoDefault(false);
    connect(loadButton, &QPushButton::clicked, this, &TriggerHelpWindow::loadPage);

    closeButton->setObjectName(u"Command2"_s);
    closeButton->setGeometry(rectFromTwips(7020, 5625, 2055, 375));
    closeButton->setAutoDefault(false);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    // The run of sixteen blanks pushes "help file." onto the label's second line.
    onlineNote->setObjectName(u"Label1"_s);
    onlineNote->setGeometry(rectFromTwips(3780, 5580, 2400, 465));
    onlineNote->setTextFormat(Qt::PlainText);
    onlineNote->setText(u"Must be online to view this                help file."_s);
    onlineNote->setWordWrap(true);
    onlineNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    onlineNote->setAutoFillBackground(true);
    QPalette labelColors = onlineNote->palette();
    labelColors.setColor(QPalette::Window, Qt::black); // the desktop's menu-text colour
    labelColors.setColor(QPalette::WindowText, QColor(128, 128, 128));
    onlineNote->setPalette(labelColors);
    QFont sansSerif;
    sansSerif.setFamilies({u"MS Sans Serif"_s, u"DejaVu Sans Condensed"_s});
    sansSerif.setPointSizeF(8.25);
    sansSerif.setWeight(QFont::Bold);
    onlineNote->setFont(sansSerif);

    setTabOrder(browser, loadButton);
    setTabOrder(loadButton, closeButton);
}

// Starts the navigation and returns at once; the browser shows the page, or its
// own error page, when the load ends.
void TriggerHelpWindow::loadPage() { browser->load(helpAddress_); }
