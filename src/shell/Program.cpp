#include "shell/Program.h"

#include "shell/Form1.h"

Program* Program::current_ = nullptr;

Program::Program(ServicesFactory makeServices)
    : makeServices_(std::move(makeServices))
{
    Q_ASSERT(!current_);
    current_ = this;
}

Program::~Program()
{
    form1_.reset();
    current_ = nullptr;
}

Form1& Program::form1()
{
    Q_ASSERT(current_);
    if (!current_->form1_)
        current_->form1_ = std::make_unique<Form1>(current_->makeServices_());
    return *current_->form1_;
}

Form1* Program::existingForm1() { return current_ ? current_->form1_.get() : nullptr; }
