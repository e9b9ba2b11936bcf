#pragma once

#include <QAccessible>

// Follows QAccessible::setActive(), which the platform calls when a screen
// reader comes or goes, and which a test calls to listen without one.
class ActivityWatch final : public QAccessible::ActivationObserver {
public:
    ActivityWatch();
    ~ActivityWatch() override;
    ActivityWatch(const ActivityWatch&) = delete;
    ActivityWatch& operator=(const ActivityWatch&) = delete;

    void accessibilityActiveChanged(bool active) override { active_ = active; }
    bool active() const { return active_; }

private:
    bool active_;
};
