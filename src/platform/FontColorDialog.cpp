#include "platform/FontColorDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QIcon swatch(const QColor& color) {
    QPixmap pixmap(24, 16);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return pixmap;
}

} // namespace

FontColorDialog::FontColorDialog(const FontChoice& initial, QWidget* parent)
    : QDialog(parent)
    , initial_(initial)
    , fonts_(new QFontDialog(this))
    , colorButton_(new QPushButton(this)) {
    QFont font(initial.name);
    if (initial.size > 0)
        font.setPointSizeF(initial.size);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    font.setStrikeOut(initial.strikeout);
    font.setUnderline(initial.underline);
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts_->setCurrentFont(font);
    fonts_->setWindowFlags(Qt::Widget);
    shown_ = fonts_->currentFont();

    colorButton_->setObjectName(u"colorButton"_s);
    auto* colorLabel = new QLabel(tr("&Colour:"), this);
    colorLabel->setBuddy(colorButton_);
    setColor(initial.color);
    connect(colorButton_, &QPushButton::clicked, this, &FontColorDialog::chooseColor);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(colorLabel);
    bottom->addWidget(colorButton_);
    bottom->addStretch();
    bottom->addWidget(buttons);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_);
    layout->addLayout(bottom);
    setWindowTitle(tr("Font"));
}

void FontColorDialog::setColor(const QColor& color) {
    color_ = color;
    colorButton_->setIcon(swatch(color));
    colorButton_->setText(color.name().toUpper());
}

void FontColorDialog::chooseColor() {
    const QColor chosen = QColorDialog::getColor(color_, this, tr("Colour"));
    if (chosen.isValid())
        setColor(chosen);
}

// Qt's font dialog offers whole point sizes and installed faces only. What
// the user left as it was shown goes back exactly as it came in, so OK
// without a change rewrites the text's own size and face (8.25 stays 8.25).
FontChoice FontColorDialog::choice() const {
    const QFont font = fonts_->currentFont();
    const QString name = font.family() == shown_.family() ? initial_.name : font.family();
    const float size = font.pointSizeF() == shown_.pointSizeF() && initial_.size > 0
                           ? initial_.size
                           : float(font.pointSizeF());
    return {name, size, font.bold(), font.italic(), font.strikeOut(), font.underline(), color_};
}
