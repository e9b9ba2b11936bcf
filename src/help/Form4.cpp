#include "help/Form4.h"

using namespace Qt::StringLiterals;

Form4::Form4(QWidget* parent)
    : QWidget(parent)
{
    setWindowTitle(u"Vexlon Triggers Explained"_s);
}
