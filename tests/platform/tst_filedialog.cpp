#include "platform/FileDialog.h"
#include "platform/FileName.h"
#include "platform/FolderModel.h"
#include "support/FakeServices.h"

#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A folder whose names are bytes: one file's name is not UTF-8.
class ByteNamedFolder {
public:
    ByteNamedFolder()
    {
        for (const QByteArray& name :
             {"caf\xE9.vls"_ba, "b.vls"_ba, "A.vls"_ba, "notes.txt"_ba, ".hidden.vls"_ba})
            write(name, "old " + name);
        ::mkdir(bytes("sub").constData(), 0700);
        write("sub/inner.vls", "inner");
    }

    // Qt's own removal would not see the name that is not UTF-8.
    ~ByteNamedFolder() { ::unlink(bytes("caf\xE9.vls").constData()); }
    ByteNamedFolder(const ByteNamedFolder&) = delete;
    ByteNamedFolder& operator=(const ByteNamedFolder&) = delete;

    QString path() const { return dir_.path(); }
    QByteArray bytes(const QByteArray& name) const
    {
        return QFile::encodeName(path()) + '/' + name;
    }

    void write(const QByteArray& name, const QByteArray& content) const
    {
        const int fd = ::open(bytes(name).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, content.constData(), size_t(content.size())), content.size());
        ::close(fd);
    }

private:
    QTemporaryDir dir_;
};

QStringList listed(const FolderModel& model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.index(row).data().toString();
    return names;
}

} // namespace

class TestFileDialog : public QObject {
    Q_OBJECT
private slots:
    void folderListsEveryName_data();
    void folderListsEveryName();
    void pickedNameGivesItsBytes_data();
    void pickedNameGivesItsBytes();
    void typedNames_data();
    void typedNames();
};

void TestFileDialog::folderListsEveryName_data()
{
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<QStringList>("expected");
    const QString cafe = u"caf\uFFFD.vls"_s;
    QTest::newRow("scripts") << QStringList{u"*.vls"_s}
                             << QStringList{u"sub"_s, u"A.vls"_s, u"b.vls"_s, cafe};
    QTest::newRow("any case") << QStringList{u"*.VLS"_s}
                              << QStringList{u"sub"_s, u"A.vls"_s, u"b.vls"_s, cafe};
    QTest::newRow("text") << QStringList{u"*.txt"_s} << QStringList{u"sub"_s, u"notes.txt"_s};
    QTest::newRow("every file") << QStringList{
        u"*"_s} << QStringList{u"sub"_s, u"A.vls"_s, u"b.vls"_s, cafe, u"notes.txt"_s};
}

void TestFileDialog::folderListsEveryName()
{
    QFETCH(QStringList, patterns);
    QFETCH(QStringList, expected);
    const ByteNamedFolder folder;
    FolderModel model;
    model.setPatterns(patterns);
    QVERIFY(model.setFolder(folder.path()));
    QCOMPARE(listed(model), expected);
    QVERIFY(model.isFolder(model.index(0)));
    QVERIFY(!model.isFolder(model.index(1)));
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.index(row).data().toString().startsWith(u"caf"))
            QCOMPARE(encodeFileName(model.path(model.index(row))), folder.bytes("caf\xE9.vls"));
    }
    QVERIFY(!model.setFolder(folder.path() + u"/missing"_s));
    QCOMPARE(model.rowCount(), 0);
}

void TestFileDialog::pickedNameGivesItsBytes_data()
{
    QTest::addColumn<FileDialog::Mode>("mode");
    QTest::addColumn<QList<MessageBox::Answer>>("answers");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("open") << FileDialog::Mode::Open << QList<MessageBox::Answer>{} << true;
    QTest::newRow("save, replace")
        << FileDialog::Mode::Save << QList<MessageBox::Answer>{MessageBox::Answer::Yes} << true;
    QTest::newRow("save, keep") << FileDialog::Mode::Save
                                << QList<MessageBox::Answer>{MessageBox::Answer::No} << false;
}

// The keys a person presses: into the list, the first letters, Return.
void TestFileDialog::pickedNameGivesItsBytes()
{
    QFETCH(FileDialog::Mode, mode);
    QFETCH(QList<MessageBox::Answer>, answers);
    QFETCH(bool, accepted);
    const ByteNamedFolder folder;
    FakeMessageBox messages;
    messages.answers.assign(answers.begin(), answers.end());
    FileDialog dialog(mode, messages);
    dialog.setNameFilters({u"Vexlon Files (*.vls)"_s, u"All Files (*)"_s});
    dialog.setFolder(folder.path());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* list = dialog.findChild<QListView*>();
    auto* name = dialog.findChild<QLineEdit*>();
    QVERIFY(name->hasFocus());
    QTest::keyClick(name, Qt::Key_Backtab);
    QVERIFY(list->hasFocus());
    QTest::keyClicks(list, u"caf"_s);
    QCOMPARE(name->text(), u"caf\uFFFD.vls"_s);
    QTest::keyClick(list, Qt::Key_Return);

    QCOMPARE(messages.asked.size(), answers.size());
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    QCOMPARE(dialog.isVisible(), !accepted);
    if (accepted)
        QCOMPARE(encodeFileName(dialog.chosenPath()), folder.bytes("caf\xE9.vls"));
}

void TestFileDialog::typedNames_data()
{
    QTest::addColumn<FileDialog::Mode>("mode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("chosen"); // empty: the dialog stays open
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("firstListed");
    QTest::newRow("name in the folder")
        << FileDialog::Mode::Open << u"b.vls"_s << "b.vls"_ba << 0 << u"sub"_s;
    QTest::newRow("path into a folder")
        << FileDialog::Mode::Open << u"sub/inner.vls"_s << "sub/inner.vls"_ba << 0 << u"sub"_s;
    QTest::newRow("folder goes into it")
        << FileDialog::Mode::Open << u"sub"_s << QByteArray() << 0 << u"inner.vls"_s;
    QTest::newRow("open, missing")
        << FileDialog::Mode::Open << u"nothing.vls"_s << QByteArray() << 1 << u"sub"_s;
    QTest::newRow("save, new") << FileDialog::Mode::Save << u"new.vls"_s << "new.vls"_ba << 0
                               << u"sub"_s;
    // What the box shows for the byte is U+FFFD, not the byte itself.
    QTest::newRow("readable name typed")
        << FileDialog::Mode::Open << u"caf\uFFFD.vls"_s << QByteArray() << 1 << u"sub"_s;
}

void TestFileDialog::typedNames()
{
    QFETCH(FileDialog::Mode, mode);
    QFETCH(QString, typed);
    QFETCH(QByteArray, chosen);
    QFETCH(int, questions);
    QFETCH(QString, firstListed);
    const ByteNamedFolder folder;
    FakeMessageBox messages;
    messages.answers.assign(size_t(questions), MessageBox::Answer::Ok);
    FileDialog dialog(mode, messages);
    dialog.setFolder(folder.path());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* name = dialog.findChild<QLineEdit*>();
    name->setText(typed); // key events carry Latin-1 only
    QTest::keyClick(name, Qt::Key_Return);

    QCOMPARE(messages.asked.size(), questions);
    QCOMPARE(dialog.isVisible(), chosen.isEmpty());
    if (!chosen.isEmpty())
        QCOMPARE(encodeFileName(dialog.chosenPath()), folder.bytes(chosen));
    QCOMPARE(dialog.findChild<QListView*>()->model()->index(0, 0).data().toString(), firstListed);
}

QTEST_MAIN(TestFileDialog)
#include "tst_filedialog.moc"
