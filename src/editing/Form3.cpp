#include "editing/Form3.h"

using namespace Qt::StringLiterals;

Form3::Form3(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(u"Find...."_s);
}
