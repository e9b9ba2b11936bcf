#include "platform/FontColorDialog.h"

#include "platform/WindowFrame.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QStringListModel>
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

bool isSlanted(const QString& family, const QString& style)
{
    return QFontDatabase::italic(family, style) || style.contains(u"Oblique")
           || style.contains(u"Italic");
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
        if (isSlanted(family, style) != italic)
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

// Styles that Qt draws by making the regular face bold or slanting it.
const QString syntheticStyles[] = {u"Bold"_s, u"Italic"_s, u"Bold Italic"_s};

bool isSynthetic(const QString& family, const QString& style)
{
    return !QFontDatabase::styles(family).contains(style);
}

// The same style under the names faces give it: "Bold Oblique" is the
// "Bold Italic" of another face, "Book" or "Normal" its "Regular".
QString styleKey(QString style)
{
    style.replace(u"Oblique"_s, u"Italic"_s);
    for (const auto* plain : {u"Normal", u"Book", u"Roman", u"Regular"})
        style.remove(QString::fromUtf16(plain));
    return style.simplified();
}

QString currentText(const QListView* list) { return list->currentIndex().data().toString(); }

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

    // Lists in the order Qt's dialog makes them: faces, styles, sizes.
    const auto lists = fonts_->findChildren<QListView*>();
    if (lists.size() == 3 && qobject_cast<QStringListModel*>(lists[1]->model())) {
        familyList_ = lists[0];
        styleList_ = lists[1];
        sizeList_ = lists[2];
        family_ = currentText(familyList_);
        chosenStyle_ = currentText(styleList_);
        offerDrawableStyles();
        // Connected after Qt's own handling, which has then filled the style list.
        connect(familyList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &FontColorDialog::familyChosen);
        connect(styleList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                &FontColorDialog::styleChosen);
    }
    for (auto* edit : fonts_->findChildren<QLineEdit*>()) {
        if (qobject_cast<QGroupBox*>(edit->parentWidget()))
            sample_ = edit;
    }
    connect(fonts_, &QFontDialog::currentFontChanged, this, &FontColorDialog::showSample);
    // Qt's dialog would hide itself on Esc, and take Enter for itself: the
    // keys are caught before it sees them, in whichever part has the focus.
    fonts_->installEventFilter(this);
    for (auto* part : fonts_->findChildren<QWidget*>())
        part->installEventFilter(this);

    colorButton_->setObjectName(u"colorButton"_s);
    auto* colorLabel = new QLabel(tr("&Colour:"), this);
    colorLabel->setBuddy(colorButton_);
    setColor(initial.color);
    shown_ = fonts_->currentFont();
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
    // It keeps the size it opens with; the window manager then offers no resizing.
    adjustSize();
    setFixedSize(size());
    setWindowFrame(*this, FrameKind::FixedDialog);
}

void FontColorDialog::setColor(const QColor& color)
{
    color_ = color;
    colorButton_->setIcon(swatch(color));
    colorButton_->setText(color.name().toUpper());
    showSample();
}

bool FontColorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Cancel)) {
            reject();
            return true;
        }
        const bool plain =
            key->modifiers() == Qt::NoModifier
            || (key->modifiers() == Qt::KeypadModifier && key->key() == Qt::Key_Enter);
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Qt lists only the styles a face has in its files, but draws the others of
// a scalable face by making it bold or slanting it: those are offered too.
void FontColorDialog::offerDrawableStyles()
{
    if (!QFontDatabase::isSmoothlyScalable(family_))
        return;
    bool has[2][2] = {};
    for (const QString& style : QFontDatabase::styles(family_))
        has[QFontDatabase::weight(family_, style) >= QFont::DemiBold][isSlanted(family_, style)] =
            true;
    auto* model = static_cast<QStringListModel*>(styleList_->model());
    for (const QString& style : syntheticStyles) {
        const bool bold = style.contains(u"Bold");
        const bool italic = style.contains(u"Italic");
        if (has[bold][italic])
            continue;
        const int row = model->rowCount();
        model->insertRows(row, 1);
        model->setData(model->index(row), style);
    }
}

// A new face keeps the style chosen last where it has it, else shows its
// regular style: left to itself Qt's dialog takes the first one it lists.
void FontColorDialog::familyChosen()
{
    const QString family = currentText(familyList_);
    if (family.isEmpty() || family == family_)
        return;
    family_ = family;
    offerDrawableStyles();
    // Qt's dialog looks for the style it had (the one chosen last, or one set
    // with the font) and takes its first style when it finds none.
    const QString shown = currentText(styleList_);
    if (styleList_->currentIndex().row() != 0 || styleKey(shown) == styleKey(chosenStyle_)) {
        chosenStyle_ = shown;
        showSample();
        return;
    }
    const QStringList offered = static_cast<QStringListModel*>(styleList_->model())->stringList();
    qsizetype row = offered.indexOf(chosenStyle_);
    for (qsizetype i = 0; row < 0 && i < offered.size(); ++i) {
        if (styleKey(offered[i]) == styleKey(chosenStyle_))
            row = i;
    }
    if (row < 0)
        row = offered.indexOf(styleFor(family, false, false));
    if (row >= 0) {
        choosingStyle_ = true;
        styleList_->setCurrentIndex(styleList_->model()->index(int(row), 0));
        choosingStyle_ = false;
    }
    showSample();
}

void FontColorDialog::styleChosen()
{
    // Qt refills the style list for a new face before familyChosen sees it.
    if (!choosingStyle_ && currentText(familyList_) == family_)
        chosenStyle_ = currentText(styleList_);
    offerSizes();
    showSample();
}

// Qt's dialog lists no sizes for a style that is not in the face's files.
void FontColorDialog::offerSizes()
{
    const QString family = currentText(familyList_);
    const QString style = currentText(styleList_);
    auto* model = qobject_cast<QStringListModel*>(sizeList_->model());
    if (!model || model->rowCount() > 0 || style.isEmpty() || !isSynthetic(family, style))
        return;
    QStringList sizes;
    for (const int size : QFontDatabase::pointSizes(family))
        sizes << QString::number(size);
    model->setStringList(sizes);
    const auto row = sizes.indexOf(QString::number(fonts_->currentFont().pointSize()));
    if (row >= 0)
        sizeList_->setCurrentIndex(model->index(int(row)));
}

// Qt's sample draws the face's own styles only, in the default colour.
void FontColorDialog::showSample()
{
    if (!sample_)
        return;
    if (styleList_) {
        const QString style = currentText(styleList_);
        if (!style.isEmpty() && isSynthetic(currentText(familyList_), style)) {
            QFont font = sample_->font();
            font.setStyleName({});
            font.setBold(style.contains(u"Bold"));
            font.setItalic(style.contains(u"Italic"));
            sample_->setFont(font);
        }
    }
    QPalette colors = sample_->palette();
    colors.setColor(QPalette::Text, color_);
    sample_->setPalette(colors);
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
