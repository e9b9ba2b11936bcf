#pragma once

#include "platform/Services.h"

#include <functional>
#include <memory>

class MainWindow;

// Holds the program's one main window. The window object is created on first
// reference with the services from the factory; it is loaded (its load step
// run) on first use of its contents, which MainWindow sees to itself.
// Exactly one Program exists while the program runs; main() owns it, and each
// test makes its own.
class Program {
public:
    using ServicesFactory = std::function<Services()>;

    explicit Program(ServicesFactory makeServices);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    static MainWindow& mainWindow();
    // The main window if it has been created, else nullptr.
    static MainWindow* existingMainWindow();

private:
    static Program* current_;
    ServicesFactory makeServices_;
    std::unique_ptr<MainWindow> mainWindow_;
};
