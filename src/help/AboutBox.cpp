#include "help/AboutBox.h"

#include "help/ProductSite.h"
#include "platform/LineBreaks.h"
#include "platform/Twips.h"
#include "platform/WindowFrame.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// The standard desktop colours of menu text (black) and of the menu bar (light grey).
constexpr QColor menuTextColor(0, 0, 0);
constexpr QColor menuBarColor(212, 208, 200);

} // namespace

AboutBox::AboutBox(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , textLabel(new QLabel(this))
    , alrightButton(new QPushButton(u"Alright!"_s, this))
    , banner(new QLabel(this))
{
    setObjectName(u"Form2"_s);
    setWindowTitle(u"Vexlon Script Editor"_s);
    QIcon icon;
    icon.addFile(u":/icons/aboutbox-32.png"_s);
    icon.addFile(u":/icons/aboutbox-16.png"_s);
    setWindowIcon(icon);
    setWindowFrame(*this, FrameKind::FixedDialog);
    // Fixed single border: the client area keeps its size and screen position.
    setGeometry(rectFromTwips(1680, 1695, 4515, 1575));
    setFixedSize(size());
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, menuTextColor);
    setPalette(colors);

    textLabel->setObjectName(u"Label1"_s);
    textLabel->setGeometry(rectFromTwips(0, 0, 4575, 1215));
    textLabel->setTextFormat(Qt::PlainText);
    textLabel->setWordWrap(true);
    textLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    textLabel->setAutoFillBackground(true);
    QPalette labelColors = textLabel->palette();
    labelColors.setColor(QPalette::Window, Qt::black);
    labelColors.setColor(QPalette::WindowText, menuBarColor);
    textLabel->setPalette(labelColors);
    QFont impact;
    impact.setFamilies({u"Impact"_s, u"DejaVu Sans Condensed"_s});
    impact.setPointSizeF(11.25);
    impact.setWeight(QFont::Normal);
    textLabel->setFont(impact);

    alrightButton->setObjectName(u"Command1"_s);
    alrightButton->setGeometry(rectFromTwips(0, 1200, 855, 375));
    alrightButton->setAutoDefault(false);
    connect(alrightButton, &QPushButton::clicked, this, &QWidget::close);

    // The banner shows at its natural size from the box's corner, clipped by the
    // box, which runs past the window's right edge.
    banner->setObjectName(u"Picture1"_s);
    banner->setGeometry(rectFromTwips(870, 1200, 4545, 375));
    banner->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    banner->setPixmap(QPixmap(u":/images/banner.jpg"_s));

    setTabOrder(alrightButton, banner);
    alrightButton->setFocus();

    // A Qt label breaks lines at LF alone and would draw each CR as a mark.
    textLabel->setText(withLfLineBreaks(aboutText(programVersion)));
}

QString AboutBox::aboutText(Version version)
{
    return u"Vexlon Script Editor - "_s + versionText(version) + u"\r\n"_s
           + u"A Trigger/Script Utility.\r\n"_s
           + u"Copyright \u00a9 2026 the Vexlon developers.\r\n"_s + productSiteText();
}
