#include "shell/SplashScreen.h"

#include "help/Version.h"
#include "platform/KeepOnTop.h"
#include "platform/Twips.h"
#include "platform/WindowFrame.h"
#include "shell/MainWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

using namespace Qt::StringLiterals;

SplashScreen::SplashScreen(MainWindow& mainWindow, QWidget* parent)
    : QWidget(parent,
              // No close button: the sequence closes it.
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , mainWindow_(mainWindow)
    , picture_(new QLabel(this))
    , versionLabel_(new QLabel(this))
{
    setObjectName(u"FrmSplash"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"         Vexlon Script Editor Loading..."_s);
    setFixedSize(pixelsFromTwips(3360), pixelsFromTwips(2985));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    // Clicks on the picture or the label do nothing: only the margins around them count.
    picture_->setObjectName(u"Picture1"_s);
    picture_->setGeometry(rectFromTwips(180, 135, 2985, 2265));
    picture_->setPixmap(QPixmap(u":/images/splash.jpg"_s));
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture_->setAttribute(Qt::WA_NoMousePropagation);

    timer_.setObjectName(u"Timer1"_s);
    connect(&timer_, &QTimer::timeout, this, &SplashScreen::onTick);

    versionLabel_->setObjectName(u"Label1"_s);
    versionLabel_->setGeometry(rectFromTwips(180, 2520, 3030, 330));
    // "Roman" where the system has it, else a narrow serif face that keeps the text inside the
    // label.
    QFont roman;
    roman.setFamilies({u"Roman"_s, u"Liberation Serif"_s, u"Times New Roman"_s});
    roman.setStyleHint(QFont::Serif);
    roman.setPointSizeF(9.75);
    roman.setBold(true);
    versionLabel_->setFont(roman);
    versionLabel_->setAutoFillBackground(true);
    QPalette colors = versionLabel_->palette();
    colors.setColor(QPalette::Window, QColor(212, 208, 200)); // inactive border
    colors.setColor(QPalette::WindowText, Qt::black);
    versionLabel_->setPalette(colors);
    versionLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    versionLabel_->setAttribute(Qt::WA_NoMousePropagation);

    versionLabel_->setText(u"   Vexlon Scriptor Version - "_s + versionText(programVersion));
    keepOnTop(*this);
    setWindowFrame(*this, FrameKind::Splash);
    timer_.setInterval(1000);
    timer_.start();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void SplashScreen::onTick()
{
    ++tickCount_;
    if (tickCount_ == 1) {
        mainWindow_.load();
        mainWindow_.show();
        mainWindow_.setEnabled(false);
        // Where no window manager honours the keep-on-top flag, newly shown windows still
        // come up above the splash.
        raise();
        timer_.setInterval(3000);
    } else if (tickCount_ == 2) {
        handOver();
    }
}

void SplashScreen::handOverNow()
{
    mainWindow_.load();
    if (mainWindow_.isVisible())
        handOver();
}

void SplashScreen::handOver()
{
    handedOver_ = true;
    timer_.stop();
    close();
    mainWindow_.setEnabled(true);
    mainWindow_.activateWindow();
}

void SplashScreen::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        handOverNow();
}

// Closed some other way (the window manager, Alt+F4) before the hand-over:
// finish it now, so the program is never left without a usable window.
void SplashScreen::closeEvent(QCloseEvent* event)
{
    if (!handedOver_) {
        handedOver_ = true;
        timer_.stop();
        mainWindow_.load();
        mainWindow_.show();
        mainWindow_.setEnabled(true);
    }
    event->accept();
}
