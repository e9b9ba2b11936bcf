#pragma once

#include <QKeyCombination>
#include <span>

class MainWindow;

// One line of a menu: a separator when the caption is "-" (and there is no handler).
struct MenuItemEntry {
    const char* name;
    const char* caption;
    QKeyCombination shortcut;
    void (MainWindow::*handler)();
    bool checkable = false;
};

struct MenuEntry {
    const char* name;
    const char* caption;
    std::span<const MenuItemEntry> items;
};

// The main window's menu bar, left to right, each menu top to bottom.
std::span<const MenuEntry> mainMenuBar();
