#include "shell/Program.h"

#include "shell/MainWindow.h"

Program* Program::current_ = nullptr;

Program::Program(ServicesFactory makeServices)
    : makeServices_(std::move(makeServices))
{
    Q_ASSERT(!current_);
    current_ = this;
}

Program::~Program()
{
    mainWindow_.reset();
    current_ = nullptr;
}

MainWindow& Program::mainWindow()
{
    Q_ASSERT(current_);
    if (!current_->mainWindow_)
        current_->mainWindow_ = std::make_unique<MainWindow>(current_->makeServices_());
    return *current_->mainWindow_;
}

MainWindow* Program::existingMainWindow()
{
    return current_ ? current_->mainWindow_.get() : nullptr;
}
