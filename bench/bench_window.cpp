// Shows one empty window titled "baseline window" until it is ended: what
// bench/run times the editor's start-up against.
#include <QApplication>
#include <QWidget>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(u"baseline window"_s);
    window.resize(400, 300);
    window.show();
    return QApplication::exec();
}
