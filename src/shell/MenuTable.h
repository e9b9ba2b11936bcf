#pragma once

#include <QKeyCombination>
#include <functional>
#include <span>

class MainWindow;
class QAction;

// One line of a menu: a separator when the caption is "-" and it runs nothing.
struct MenuItemEntry {
    // What choosing the item does, given the window and the item itself.
    using Run = std::function<void(MainWindow&, QAction&)>;

    const char* name;
    const char* caption;
    QKeyCombination shortcut;
    Run run;
    bool checkable = false;
};

struct MenuEntry {
    const char* name;
    const char* caption;
    std::span<const MenuItemEntry> items;
};

// The main window's menu bar, left to right, each menu top to bottom.
std::span<const MenuEntry> mainMenuBar();
