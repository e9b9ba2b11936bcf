#include "help/Form2.h"

using namespace Qt::StringLiterals;

Form2::Form2(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(u"Vexlon Script Editor"_s);
}
