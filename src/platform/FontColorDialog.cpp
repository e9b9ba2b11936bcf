#include "platform/FontColorDialog.h"

#include <QDialogButtonBox>
#include <QFontDialog>
#include <QVBoxLayout>

FontColorDialog::FontColorDialog(const FontChoice& initial, QWidget* parent)
    : QDialog(parent)
    , fonts_(new QFontDialog(this))
    , color_(initial.color)
{
    QFont font(initial.name);
    if (initial.size > 0)
        font.setPointSizeF(initial.size);
    font.setBold(initial.bold);
    font.setItalic(initial.italic);
    font.setStrikeOut(initial.strikeout);
    font.setUnderline(initial.underline);
    fonts_->setOptions(QFontDialog::NoButtons);
    fonts_->setCurrentFont(font);
    fonts_->setWindowFlags(Qt::Widget);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_);
    layout->addWidget(buttons);
    setWindowTitle(tr("Font"));
}

FontChoice FontColorDialog::choice() const
{
    const QFont font = fonts_->currentFont();
    return {font.family(),    float(font.pointSizeF()), font.bold(), font.italic(),
            font.strikeOut(), font.underline(),         color_};
}
