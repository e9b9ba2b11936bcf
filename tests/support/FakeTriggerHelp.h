#pragma once

#include "help/TriggerHelp.h"

#include <memory>

// Counts the requests for the trigger help instead of starting its program.
// The counts outlive the fake, and say whether it was destroyed.
class FakeTriggerHelp final : public TriggerHelp {
public:
    struct Counts {
        int shows = 0;
        bool destroyed = false;
    };

    explicit FakeTriggerHelp(std::shared_ptr<Counts> counts)
        : counts_(std::move(counts))
    {
    }
    ~FakeTriggerHelp() override { counts_->destroyed = true; }
    FakeTriggerHelp(const FakeTriggerHelp&) = delete;
    FakeTriggerHelp& operator=(const FakeTriggerHelp&) = delete;

    void show() override { ++counts_->shows; }

private:
    std::shared_ptr<Counts> counts_;
};

// Puts a fake in place of the trigger help of the commands; returns its counts.
template<typename Commands>
std::shared_ptr<FakeTriggerHelp::Counts> fakeTriggerHelp(Commands& commands)
{
    auto counts = std::make_shared<FakeTriggerHelp::Counts>();
    commands.triggerHelp = std::make_unique<FakeTriggerHelp>(counts);
    return counts;
}
