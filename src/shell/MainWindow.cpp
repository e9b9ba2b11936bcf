#include "shell/MainWindow.h"

#include "editor/ScriptEditor.h"
#include "platform/Twips.h"
#include "shell/MenuCommands.h"
#include "shell/MenuTable.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>

using namespace Qt::StringLiterals;

MainWindow::MainWindow(Services services)
    : services_(std::move(services))
    , editor_(new ScriptEditor)
{
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Vexlon Script Editor"_s);
    setWindowIcon(QIcon(u":/icons/mainwindow.png"_s));

    auto* client = new QWidget(this);
    client->setAutoFillBackground(true);
    QPalette black = client->palette();
    black.setColor(QPalette::Window, Qt::black);
    client->setPalette(black);
    setCentralWidget(client);

    editor_->setParent(client);
    // The black ground is the client area's alone: the editor, its scroll
    // bars and the corner between them keep the colours of any text field.
    QPalette own = editor_->palette();
    own.setColor(QPalette::Window, QApplication::palette(editor_).color(QPalette::Window));
    editor_->setPalette(own);
    editor_->setAutoFillBackground(true);
    editor_->setObjectName(u"Text1"_s);
    editor_->setGeometry(0, 0, pixelsFromTwips(1635), pixelsFromTwips(1050));

    // The window sets its own caption when the document gets a new name.
    commands_ = std::make_unique<MenuCommands>(
        *editor_, services_, [this](FileCommands::Naming naming, const QString& path) {
            setWindowTitle(FileCommands::captionFor(naming, path));
        });

    buildMenuBar();
    setGeometry(pixelsFromTwips(1650), pixelsFromTwips(1950), pixelsFromTwips(8970),
                pixelsFromTwips(6720) + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenuBar()
{
    QList<QKeyCombination> shortcuts;
    for (const MenuEntry& menuEntry : mainMenuBar()) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(menuEntry.caption));
        menu->setObjectName(QString::fromLatin1(menuEntry.name));
        for (const MenuItemEntry& item : menuEntry.items) {
            QAction* action = item.run ? menu->addAction(QString::fromLatin1(item.caption))
                                       : menu->addSeparator();
            action->setObjectName(QString::fromLatin1(item.name));
            if (!item.run)
                continue;
            // Every shortcut is set here: no platform binding is relied on.
            action->setShortcut(QKeySequence(item.shortcut));
            action->setCheckable(item.checkable);
            if (item.shortcut != QKeyCombination())
                shortcuts << item.shortcut;
            connect(action, &QAction::triggered, this,
                    [this, action, &run = item.run] { run(*this, *action); });
        }
    }
    editor_->setReservedShortcuts(shortcuts);

    // The editor's own context menu would copy and paste past the program's commands.
    editor_->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const auto* name : {u"mnuEditCut", u"mnuEditCopy", u"mnuEditPaste", u"Find"})
        editor_->addAction(menuItem(name));
}

QAction* MainWindow::menuItem(QStringView name) const
{
    return findChild<QAction*>(name.toString());
}

void MainWindow::load()
{
    if (loaded_)
        return;
    loaded_ = true;
}

EditorControl& MainWindow::editor()
{
    load();
    return *editor_;
}

ScriptEditor& MainWindow::scriptEditor()
{
    load();
    return *editor_;
}

CommonDialog& MainWindow::commonDialog() { return *services_.commonDialog; }

MessageBox& MainWindow::messageBox() { return *services_.messageBox; }

QString MainWindow::currentFileName() const { return commands_->files.currentFileName(); }

void MainWindow::showEvent(QShowEvent* event)
{
    load();
    QMainWindow::showEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applySizeRules();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    applySizeRulesIfTheFrameChanged();
}

// The window manager adds its frame after the window first shows, and tells
// of it at no fixed moment: by a move, or only by the time it activates the
// window. The size rules count the frame, so they run again once it is known.
void MainWindow::applySizeRulesIfTheFrameChanged()
{
    if (frameGeometry().size() - size() != ruleFrame_)
        applySizeRules();
}

// The editor is the one place the keyboard belongs: when the window becomes
// usable after the splash, and whenever it is active again after a dialog or
// another window. The caret stays where it was.
void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        applySizeRulesIfTheFrameChanged();
    const bool takesKeys = (event->type() == QEvent::EnabledChange && isEnabled())
                           || (event->type() == QEvent::ActivationChange && isActiveWindow());
    if (takesKeys && isEnabled())
        editor_->setFocus(Qt::ActiveWindowFocusReason);
    if (event->type() == QEvent::EnabledChange && isEnabled() && isVisible()
        && !pendingFile_.isEmpty()) {
        // After the hand-over has run to its end, so that a message box
        // about the file comes up over a window that is ready.
        QMetaObject::invokeMethod(
            this,
            [this] {
                const QString path = std::exchange(pendingFile_, QString());
                if (!path.isEmpty())
                    commands_->files.openPath(path);
            },
            Qt::QueuedConnection);
    }
}

void MainWindow::openWhenUsable(const QString& path)
{
    pendingFile_ = path;
    if (isVisible() && isEnabled()) {
        pendingFile_.clear();
        commands_->files.openPath(path);
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (commands_->files.mayCloseWindow())
        event->accept();
    else
        event->ignore();
}

void MainWindow::setOuterSize(QSize pixels)
{
    const QSize frame = frameGeometry().size() - size();
    resize(pixels - frame);
}

// The minimums and the editor's size work on the outer size of the window,
// borders, caption and menu bar included, in twips.
void MainWindow::applySizeRules()
{
    if (!isMinimized()) {
        if (twipsFromPixels(frameGeometry().width()) <= 6495)
            setOuterSize({pixelsFromTwips(6490), frameGeometry().height()});
        if (twipsFromPixels(frameGeometry().height()) <= 2000)
            setOuterSize({frameGeometry().width(), pixelsFromTwips(2100)});
    }
    const QSize outer = frameGeometry().size();
    ruleFrame_ = outer - size();
    editor_->resize(pixelsFromTwips(twipsFromPixels(outer.width()) - 100),
                    pixelsFromTwips(twipsFromPixels(outer.height()) - 680));
}
