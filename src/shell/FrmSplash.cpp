#include "shell/FrmSplash.h"

#include "platform/SplashCcreenAPI.h"
#include "platform/Twips.h"
#include "shell/Form1.h"
#include "shell/Program.h"
#include "shell/Version.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

using namespace Qt::StringLiterals;

FrmSplash::FrmSplash(QWidget* parent)
    : QWidget(parent,
              // A tool window keeps out of the taskbar; no close button, the sequence closes it.
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , Picture1(new QLabel(this))
    , Label1(new QLabel(this))
{
    setObjectName(u"FrmSplash"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"         Vexlon Script Editor Loading..."_s);
    setFixedSize(pixelsFromTwips(3360), pixelsFromTwips(2985));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    // Clicks on the picture or the label do nothing: only the margins around them count.
    Picture1->setObjectName(u"Picture1"_s);
    Picture1->setGeometry(rectFromTwips(180, 135, 2985, 2265));
    Picture1->setPixmap(QPixmap(u":/images/splash.jpg"_s));
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setAttribute(Qt::WA_NoMousePropagation);

    timer1_.setObjectName(u"Timer1"_s);
    connect(&timer1_, &QTimer::timeout, this, &FrmSplash::Timer1_Timer);

    Label1->setObjectName(u"Label1"_s);
    Label1->setGeometry(rectFromTwips(180, 2520, 3030, 330));
    // "Roman" where the system has it, else a narrow serif face that keeps the text inside the
    // label.
    QFont roman;
    roman.setFamilies({u"Roman"_s, u"Liberation Serif"_s, u"Times New Roman"_s});
    roman.setStyleHint(QFont::Serif);
    roman.setPointSizeF(9.75);
    roman.setBold(true);
    Label1->setFont(roman);
    Label1->setAutoFillBackground(true);
    QPalette colors = Label1->palette();
    colors.setColor(QPalette::Window, QColor(212, 208, 200)); // inactive border
    colors.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(colors);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setAttribute(Qt::WA_NoMousePropagation);

    Form_Load();

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void FrmSplash::Form_Load()
{
    MainWindow = &Program::form1();
    Label1->setText(u"   Vexlon Scriptor Version - "_s + versionText(programVersion));
    SplashCcreenAPI::keepOnTop(*this);
    timer1_.setInterval(1000);
    timer1_.start();
}

void FrmSplash::Timer1_Timer()
{
    ++tickCount_;
    if (tickCount_ == 1) {
        MainWindow->load();
        MainWindow->show();
        MainWindow->setEnabled(false);
        // Where no window manager honours the keep-on-top flag, newly shown windows still
        // come up above the splash.
        raise();
        timer1_.setInterval(3000);
    } else if (tickCount_ == 2) {
        handOver();
    }
}

void FrmSplash::Form_Click()
{
    MainWindow->load();
    if (MainWindow->isVisible())
        handOver();
}

void FrmSplash::handOver()
{
    handedOver_ = true;
    timer1_.stop();
    close();
    MainWindow->setEnabled(true);
    MainWindow->activateWindow();
}

void FrmSplash::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Form_Click();
}

// Closed some other way (the window manager, Alt+F4) before the hand-over:
// finish it now, so the program is never left without a usable window.
void FrmSplash::closeEvent(QCloseEvent* event)
{
    if (!handedOver_) {
        handedOver_ = true;
        timer1_.stop();
        MainWindow->load();
        MainWindow->show();
        MainWindow->setEnabled(true);
    }
    event->accept();
}
