#pragma once

#include <QString>

// Long work that shows how far it has come, and that the user may stop.
class Progress {
public:
    virtual ~Progress() = default;
    // Work of total steps begins. Nothing shows unless it lasts longer than
    // about half a second.
    virtual void begin(const QString& title, qint64 total) = 0;
    // done of the total steps, and what they are in words: false once the
    // user asked to stop.
    virtual bool advance(qint64 done, const QString& text) = 0;
    // The work is over, finished or stopped.
    virtual void end() = 0;
};
