#include "platform/FileName.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFileName : public QObject {
    Q_OBJECT
private slots:
    void utf8NamesReadAsQtReadsThem_data();
    void utf8NamesReadAsQtReadsThem();
    void otherBytesComeBackUnchanged_data();
    void otherBytesComeBackUnchanged();
};

void TestFileName::utf8NamesReadAsQtReadsThem_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ASCII") << "/srv/world/npc.scp"_ba;
    QTest::newRow("two-byte") << "caf\xC3\xA9.scp"_ba;
    QTest::newRow("three-byte") << "\xE2\x82\xAC.vls"_ba;
    QTest::newRow("four-byte") << "\xF0\x9F\x98\x80.txt"_ba;
    QTest::newRow("empty") << QByteArray();
}

void TestFileName::utf8NamesReadAsQtReadsThem()
{
    QFETCH(QByteArray, bytes);
    const QString name = decodeFileName(bytes);
    QCOMPARE(name, QFile::decodeName(bytes));
    QCOMPARE(encodeFileName(name), bytes);
    QCOMPARE(encodeFileName(name), QFile::encodeName(name));
}

void TestFileName::otherBytesComeBackUnchanged_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("escaped"); // bytes kept as lone surrogates
    QTest::newRow("Latin-1 letter") << "caf\xE9.scp"_ba << 1;
    QTest::newRow("Latin-1 before UTF-8") << "\xE9t\xE9 caf\xC3\xA9"_ba << 2;
    QTest::newRow("sequence cut short") << "a\xE2\x82"_ba << 2;
    QTest::newRow("continuation alone") << "\x80x"_ba << 1;
    QTest::newRow("overlong slash") << "\xC0\xAF"_ba << 2;
    QTest::newRow("encoded surrogate") << "\xED\xA0\x80"_ba << 3;
    QTest::newRow("past Unicode") << "\xF4\x90\x80\x80"_ba << 4;
    QTest::newRow("escaped byte after a four-byte letter") << "\xF0\x9F\x98\x80\xFF"_ba << 1;
}

void TestFileName::otherBytesComeBackUnchanged()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, escaped);
    const QString name = decodeFileName(bytes);
    QCOMPARE(encodeFileName(name), bytes);
    const auto lone = std::ranges::count_if(name, [&name](const QChar& c) {
        const qsizetype i = &c - name.constData();
        return c.isLowSurrogate() && (i == 0 || !name[i - 1].isHighSurrogate());
    });
    QCOMPARE(int(lone), escaped);
    QVERIFY(!name.contains(QChar::ReplacementCharacter));
}

QTEST_GUILESS_MAIN(TestFileName)
#include "tst_filename.moc"
