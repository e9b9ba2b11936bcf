#include "platform/FileFilter.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestFileFilter : public QObject {
    Q_OBJECT
private slots:
    void filterStringBecomesQtNameFilters_data();
    void filterStringBecomesQtNameFilters();
};

void TestFileFilter::filterStringBecomesQtNameFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("nameFilters");
    QTest::newRow("the program's filter")
        << u"Vexlon Files|*.vls|UOX/Sphere|*.scp|Text files|*.txt|Batch files|*.bat|"
           u"INI files|*.ini|All Files|*.*|"_s
        << QStringList{u"Vexlon Files (*.vls)"_s, u"UOX/Sphere (*.scp)"_s, u"Text files (*.txt)"_s,
                       u"Batch files (*.bat)"_s,  u"INI files (*.ini)"_s,  u"All Files (*)"_s};
    // Names without a dot, such as "Makefile" or "npc_guard", are files too.
    QTest::newRow("*.* is every file") << u"All|*.*"_s << QStringList{u"All (*)"_s};
    QTest::newRow("several patterns")
        << u"Scripts|*.vls;*.scp;*.*"_s << QStringList{u"Scripts (*.vls *.scp *)"_s};
    QTest::newRow("no trailing bar") << u"Text|*.txt"_s << QStringList{u"Text (*.txt)"_s};
    QTest::newRow("label without patterns")
        << u"Text|*.txt|Lonely"_s << QStringList{u"Text (*.txt)"_s};
    QTest::newRow("empty") << QString() << QStringList();
}

void TestFileFilter::filterStringBecomesQtNameFilters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, nameFilters);
    QCOMPARE(nameFiltersFrom(filter), nameFilters);
}

QTEST_APPLESS_MAIN(TestFileFilter)
#include "tst_filefilter.moc"
