#include "platform/QtProgress.h"

#include <QApplication>
#include <QProgressDialog>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 quietMilliseconds = 500;
// The dialog counts in int: steps are shown as thousandths of the whole.
constexpr int scale = 1000;

} // namespace

QtProgress::~QtProgress() { end(); }

void QtProgress::begin(const QString& title, qint64 total)
{
    end();
    title_ = title;
    total_ = total;
    started_.start();
}

bool QtProgress::advance(qint64 done, const QString& text)
{
    if (!dialog_ && started_.isValid() && started_.elapsed() >= quietMilliseconds) {
        dialog_ = new QProgressDialog(text, u"Cancel"_s, 0, scale, QApplication::activeWindow());
        dialog_->setWindowTitle(title_);
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->setMinimumDuration(0);
        dialog_->show();
    }
    if (!dialog_)
        return true;
    dialog_->setLabelText(text);
    dialog_->setValue(total_ > 0 ? int(std::min(done, total_) * scale / total_) : 0);
    // The dialog is painted, and hears Cancel, only here. Being modal, it
    // keeps the user's input from every other window meanwhile.
    QCoreApplication::processEvents();
    return !dialog_->wasCanceled();
}

void QtProgress::end()
{
    delete dialog_;
    started_.invalidate();
}
