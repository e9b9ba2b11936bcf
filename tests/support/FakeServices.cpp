#include "support/FakeServices.h"

#include <QTest>

namespace {

template<typename T> T popFront(std::deque<T>& queue)
{
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

std::optional<QString> FakeCommonDialog::nextFileAnswer(Shown::Kind kind)
{
    shown.append({kind, filter(), filterIndex(), font()});
    if (fileAnswers.empty()) {
        QTest::qFail("a file dialog was shown with no scripted answer", __FILE__, __LINE__);
        return std::nullopt;
    }
    return popFront(fileAnswers);
}

std::optional<QString> FakeCommonDialog::runOpenDialog()
{
    return nextFileAnswer(Shown::Kind::Open);
}

std::optional<QString> FakeCommonDialog::runSaveDialog()
{
    return nextFileAnswer(Shown::Kind::Save);
}

std::optional<FontChoice> FakeCommonDialog::runFontDialog()
{
    shown.append({Shown::Kind::Font, filter(), filterIndex(), font()});
    if (fontAnswers.empty()) {
        QTest::qFail("the font dialog was shown with no scripted answer", __FILE__, __LINE__);
        return std::nullopt;
    }
    return popFront(fontAnswers);
}

bool FakeProgress::advance(qint64 done, const QString& text)
{
    lastDone = done;
    texts.append(text);
    return cancelAt < 0 || done < cancelAt;
}

MessageBox::Answer FakeMessageBox::ask(const QString& prompt, const QString& title, Buttons buttons,
                                       Icon icon)
{
    asked.append({prompt, title, buttons, icon});
    if (answers.empty()) {
        QTest::qFail("a message box was shown with no scripted answer", __FILE__, __LINE__);
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoDefaultNo ? Answer::No
                                                                               : Answer::Cancel;
    }
    return popFront(answers);
}

bool FakePrinter::printDocument(const FontChoice& font, const QString& text)
{
    attempts.append({font, text});
    if (outcomes.empty())
        return true;
    return popFront(outcomes);
}

FakeServices::FakeServices()
{
    auto dialog = std::make_unique<FakeCommonDialog>();
    auto box = std::make_unique<FakeMessageBox>();
    auto printerFake = std::make_unique<FakePrinter>();
    auto processFake = std::make_unique<FakeProcessControl>();
    auto progressFake = std::make_unique<FakeProgress>();
    commonDialog = dialog.get();
    messageBox = box.get();
    printer = printerFake.get();
    process = processFake.get();
    progress = progressFake.get();
    services_.commonDialog = std::move(dialog);
    services_.messageBox = std::move(box);
    services_.printer = std::move(printerFake);
    services_.process = std::move(processFake);
    services_.progress = std::move(progressFake);
}

Services FakeServices::take() { return std::move(services_); }
