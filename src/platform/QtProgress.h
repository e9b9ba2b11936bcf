#pragma once

#include "platform/Progress.h"

#include <QElapsedTimer>
#include <QPointer>

class QProgressDialog;

// A progress dialog with Cancel, modal to the whole program, shown once the
// work has lasted half a second.
class QtProgress final : public Progress {
public:
    ~QtProgress() override;
    void begin(const QString& title, qint64 total) override;
    bool advance(qint64 done, const QString& text) override;
    void end() override;

private:
    QString title_;
    qint64 total_ = 0;
    QElapsedTimer started_;
    QPointer<QProgressDialog> dialog_;
};
