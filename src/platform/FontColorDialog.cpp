#include "platform/FontColorDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

QIcon swatch(const QColor& color)
{
    QPixmap pixmap(24, 16);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return pixmap;
}

// Qt's font dialog falls back to the first style it lists (often an oblique
// one) when the font names none, so the plain or bold upright face of the
// family is named here. Of equal matches the shortest name is the plain one
// ("Book" rather than "Condensed").
QString styleFor(const QString& family, bool bold, bool italic)
{
    const int wanted = bold ? QFont::Bold : QFont::Normal;
    QString best;
    qsizetype bestScore = std::numeric_limits<qsizetype>::max();
    for (const QString& style : QFontDatabase::styles(family)) {
        // Oblique faces count as italic, as QFont's italic() does.
        const bool slanted = QFontDatabase::italic(family, style) || style.contains(u"Oblique")
                             || style.contains(u"Italic");
        if (slanted != italic)
            continue;
        const qsizetype score =
            qsizetype(std::abs(QFontDatabase::weight(family, style) - wanted)) * 100 + style.size();
        if (score < bestScore) {
            bestScore = score;
            best = style;
        }
    }
    return best;
}

} // namespace

FontColorDialog::FontColorDialog(const FontChoice& initial, QWidget* parent)
    : QDialog(parent)
    , initial_(initial)
    , fonts_(new QFontDialog(this))
    , colorButton_(new QPushButton(this))
{
    QFont font = toQFont(initial);
    QString style = styleFor(initial.name, initial.bold, initial.italic);
    if (style.isEmpty() || QFontDatabase::bold(initial.name, style) != initial.bold) {
        // A generic name such as "monospace" lists no bold style: show the
        // face it stands for. Left as shown, the name still goes back as it came.
        const QString face = QFontInfo(font).family();
        const QString faceStyle = styleFor(face, initial.bold, initial.italic);
        if (!faceStyle.isEmpty() && QFontDatabase::bold(face, faceStyle) == initial.bold) {
            font.setFamily(face);
            style = faceStyle;
        }
    }
    if (!style.isEmpty())
        font.setStyleName(style);
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

void FontColorDialog::setColor(const QColor& color)
{
    color_ = color;
    colorButton_->setIcon(swatch(color));
    colorButton_->setText(color.name().toUpper());
}

void FontColorDialog::chooseColor()
{
    const QColor chosen = QColorDialog::getColor(color_, this, tr("Colour"));
    if (chosen.isValid())
        setColor(chosen);
}

// Qt's font dialog offers whole point sizes and installed faces only. What
// the user left as it was shown goes back exactly as it came in, so OK
// without a change writes the text's own values back (8.25 stays 8.25).
FontChoice FontColorDialog::choice() const
{
    const QFont font = fonts_->currentFont();
    const auto kept = [](auto now, auto shown, auto initial) {
        return now == shown ? initial : now;
    };
    return {kept(font.family(), shown_.family(), initial_.name),
            initial_.size > 0
                ? kept(float(font.pointSizeF()), float(shown_.pointSizeF()), initial_.size)
                : float(font.pointSizeF()),
            kept(font.bold(), shown_.bold(), initial_.bold),
            kept(font.italic(), shown_.italic(), initial_.italic),
            kept(font.strikeOut(), shown_.strikeOut(), initial_.strikeout),
            kept(font.underline(), shown_.underline(), initial_.underline),
            color_};
}
