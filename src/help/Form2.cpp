#include "help/Form2.h"

#include "help/ProductSite.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

// The standard desktop colours of menu text (black) and of the menu bar (light grey).
constexpr QColor MenuTextColor(0, 0, 0);
constexpr QColor MenuBarColor(212, 208, 200);

} // namespace

Form2::Form2(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , Label1(new QLabel(this))
    , Command1(new QPushButton(u"Alright!"_s, this))
    , Picture1(new QLabel(this))
{
    setObjectName(u"Form2"_s);
    setWindowTitle(u"Vexlon Script Editor"_s);
    QIcon icon;
    icon.addFile(u":/icons/form2-32.png"_s);
    icon.addFile(u":/icons/form2-16.png"_s);
    setWindowIcon(icon);
    // Fixed single border: the client area keeps its size and screen position.
    setGeometry(rectFromTwips(1680, 1695, 4515, 1575));
    setFixedSize(size());
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, MenuTextColor);
    setPalette(colors);

    Label1->setObjectName(u"Label1"_s);
    Label1->setGeometry(rectFromTwips(0, 0, 4575, 1215));
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setAutoFillBackground(true);
    QPalette labelColors = Label1->palette();
    labelColors.setColor(QPalette::Window, Qt::black);
    labelColors.setColor(QPalette::WindowText, MenuBarColor);
    Label1->setPalette(labelColors);
    QFont impact;
    impact.setFamilies({u"Impact"_s, u"DejaVu Sans Condensed"_s});
    impact.setPointSizeF(11.25);
    impact.setWeight(QFont::Normal);
    Label1->setFont(impact);

    Command1->setObjectName(u"Command1"_s);
    Command1->setGeometry(rectFromTwips(0, 1200, 855, 375));
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);

    // The banner shows at its natural size from the box's corner, clipped by the
    // box, which runs past the window's right edge.
    Picture1->setObjectName(u"Picture1"_s);
    Picture1->setGeometry(rectFromTwips(870, 1200, 4545, 375));
    Picture1->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    Picture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1->setPixmap(QPixmap(u":/images/banner.jpg"_s));

    setTabOrder(Command1, Picture1);
    Command1->setFocus();

    Form_Load();
}

QString Form2::aboutText(Version version)
{
    return u"Vexlon Script Editor - "_s + versionText(version) + u"\r\n"_s
           + u"A Trigger/Script Utility.\r\n"_s
           + u"Copyright \u00a9 2026 the Vexlon developers.\r\n"_s + productSiteText();
}

void Form2::Form_Load()
{
    // A Qt label breaks lines at LF alone and would draw each CR as a mark.
    Label1->setText(aboutText(programVersion).replace(u"\r\n"_s, u"\n"_s));
}

void Form2::Command1_Click() { close(); }
