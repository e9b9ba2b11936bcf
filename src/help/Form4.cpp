#include "help/Form4.h"

#include "platform/Twips.h"

#include <QLabel>
#include <QPushButton>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

Form4::Form4(const QUrl& helpAddress, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , WebBrowser1(new QWebEngineView(this))
    , Command1(new QPushButton(u"Load The Page"_s, this))
    , Command2(new QPushButton(u"Ok, go away!"_s, this))
    , Label1(new QLabel(this))
    , helpAddress_(helpAddress)
{
    setObjectName(u"Form4"_s);
    setWindowTitle(u"Vexlon Triggers Explained"_s);
    setWindowIcon(QIcon(u":/icons/form4.png"_s));
    // Fixed single border, placed where the window system puts new windows.
    setFixedSize(pixelsFromTwips(9735), pixelsFromTwips(6120));
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, Qt::black); // the desktop's button-text colour
    setPalette(colors);

    // Stays empty until the user asks for the page.
    WebBrowser1->setObjectName(u"WebBrowser1"_s);
    WebBrowser1->setGeometry(rectFromTwips(0, 0, 9765, 5520));

    Command1->setObjectName(u"Command1"_s);
    Command1->setGeometry(rectFromTwips(810, 5625, 2055, 375));
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &Form4::Command1_Click);

    Command2->setObjectName(u"Command2"_s);
    Command2->setGeometry(rectFromTwips(7020, 5625, 2055, 375));
    Command2->setAutoDefault(false);
    connect(Command2, &QPushButton::clicked, this, &Form4::Command2_Click);

    // The run of sixteen blanks pushes "help file." onto the label's second line.
    Label1->setObjectName(u"Label1"_s);
    Label1->setGeometry(rectFromTwips(3780, 5580, 2400, 465));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setText(u"Must be online to view this                help file."_s);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setAutoFillBackground(true);
    QPalette labelColors = Label1->palette();
    labelColors.setColor(QPalette::Window, Qt::black); // the desktop's menu-text colour
    labelColors.setColor(QPalette::WindowText, QColor(128, 128, 128));
    Label1->setPalette(labelColors);
    QFont sansSerif;
    sansSerif.setFamilies({u"MS Sans Serif"_s, u"DejaVu Sans Condensed"_s});
    sansSerif.setPointSizeF(8.25);
    sansSerif.setWeight(QFont::Bold);
    Label1->setFont(sansSerif);

    setTabOrder(WebBrowser1, Command1);
    setTabOrder(Command1, Command2);
}

// Starts the navigation and returns at once; the browser shows the page, or its
// own error page, when the load ends.
void Form4::Command1_Click() { WebBrowser1->load(helpAddress_); }

void Form4::Command2_Click() { close(); }
