#include "editing/FindDialog.h"

#include "editing/TextSearch.h"
#include "platform/Twips.h"
#include "platform/WindowFrame.h"

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

FindDialog::FindDialog(EditorControl& editor, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , editor_(editor)
    , searchText_(new QLineEdit(this))
    , searchLabel_(new QLabel(u"Search for Text:"_s, this))
    , findButton_(plainButton(u"cmdFind"_s, u"&Find"_s, this))
    , cancelButton_(plainButton(u"Command2"_s, u"&Cancel"_s, this))
{
    setObjectName(u"Form3"_s);
    setWindowTitle(u"Find...."_s);
    QIcon icon;
    icon.addFile(u":/icons/finddialog.ico"_s);
    setWindowIcon(icon);
    setWindowFrame(*this, FrameKind::FixedDialog);
    // The window's background is the desktop's menu-text colour.
    QPalette background = palette();
    background.setColor(QPalette::Window,
                        QApplication::palette("QMenu").color(QPalette::Active, QPalette::Text));
    setPalette(background);
    setAutoFillBackground(true);
    const QRect client = rectFromTwips(3030, 3225, 2760, 1200);
    setGeometry(client);
    setFixedSize(client.size());

    searchText_->setObjectName(u"Text1"_s);
    searchText_->setGeometry(rectFromTwips(90, 360, 2580, 375));
    // The text box keeps the application's colours on the dark window.
    searchText_->setPalette(QApplication::palette(searchText_));

    searchLabel_->setObjectName(u"Label1"_s);
    searchLabel_->setGeometry(rectFromTwips(270, 90, 1845, 255));
    QFont labelFont(u"MS Sans Serif"_s);
    labelFont.setStyleHint(QFont::SansSerif);
    labelFont.setPointSizeF(8.25);
    labelFont.setWeight(QFont::Bold);
    searchLabel_->setFont(labelFont);
    QPalette grey = searchLabel_->palette();
    grey.setColor(QPalette::WindowText, QColor(128, 128, 128));
    searchLabel_->setPalette(grey);

    findButton_->setGeometry(rectFromTwips(90, 855, 1005, 270));
    cancelButton_->setGeometry(rectFromTwips(1620, 855, 1005, 270));
    for (QPushButton* button : {findButton_, cancelButton_})
        button->setPalette(QApplication::palette(button));

    setTabOrder(searchText_, findButton_);
    setTabOrder(findButton_, cancelButton_);
    searchText_->setFocus();

    connect(findButton_, &QPushButton::clicked, this, &FindDialog::find);
    connect(cancelButton_, &QPushButton::clicked, this, &FindDialog::cancel);
}

void FindDialog::find()
{
    if (TextSearch::selectNextOccurrence(editor_, searchText_->text()))
        close();
}

void FindDialog::cancel() { close(); }
