#include "editing/Form3.h"

#include "editing/TextSearch.h"
#include "platform/Twips.h"
#include "shell/Form1.h"
#include "shell/Program.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// Neither button answers Enter or Esc: a search starts only from the button
// (or its access key).
QPushButton* plainButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

Form3::Form3(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , Text1_(new QLineEdit(this))
    , Label1_(new QLabel(u"Search for Text:"_s, this))
    , cmdFind_(plainButton(u"cmdFind"_s, u"&Find"_s, this))
    , Command2_(plainButton(u"Command2"_s, u"&Cancel"_s, this))
{
    setObjectName(u"Form3"_s);
    setWindowTitle(u"Find...."_s);
    QIcon icon;
    icon.addFile(u":/icons/form3.ico"_s);
    setWindowIcon(icon);
    // The window's background is the desktop's menu-text colour.
    QPalette background = palette();
    background.setColor(QPalette::Window,
                        QApplication::palette("QMenu").color(QPalette::Active, QPalette::Text));
    setPalette(background);
    setAutoFillBackground(true);
    const QRect client = rectFromTwips(3030, 3225, 2760, 1200);
    setGeometry(client);
    setFixedSize(client.size());

    Text1_->setObjectName(u"Text1"_s);
    Text1_->setGeometry(rectFromTwips(90, 360, 2580, 375));
    // The text box keeps the application's colours on the dark window.
    Text1_->setPalette(QApplication::palette(Text1_));

    Label1_->setObjectName(u"Label1"_s);
    Label1_->setGeometry(rectFromTwips(270, 90, 1845, 255));
    QFont labelFont(u"MS Sans Serif"_s);
    labelFont.setStyleHint(QFont::SansSerif);
    labelFont.setPointSizeF(8.25);
    labelFont.setWeight(QFont::Bold);
    Label1_->setFont(labelFont);
    QPalette grey = Label1_->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    Label1_->setPalette(grey);

    cmdFind_->setGeometry(rectFromTwips(90, 855, 1005, 270));
    Command2_->setGeometry(rectFromTwips(1620, 855, 1005, 270));
    for (QPushButton* button : {cmdFind_, Command2_})
        button->setPalette(QApplication::palette(button));

    setTabOrder(Text1_, cmdFind_);
    setTabOrder(cmdFind_, Command2_);
    Text1_->setFocus();

    connect(cmdFind_, &QPushButton::clicked, this, &Form3::cmdFind_Click);
    connect(Command2_, &QPushButton::clicked, this, &Form3::Command2_Click);
}

void Form3::cmdFind_Click()
{
    if (TextSearch::selectNextOccurrence(Program::form1().editorWidget(), Text1_->text()))
        close();
}

void Form3::Command2_Click() { close(); }
