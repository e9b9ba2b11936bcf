#pragma once

#include "platform/Services.h"

#include <QList>
#include <QStringList>
#include <deque>
#include <optional>

// A common dialog that answers from a script instead of showing anything.
// Each Show* takes the next scripted answer (std::nullopt: the user cancelled)
// and records what the dialog was set to when it was shown.
class FakeCommonDialog final : public CommonDialog {
public:
    struct Shown {
        enum class Kind { Open, Save, Font } kind;
        QString filter;
        int filterIndex;
        FontChoice font;
    };

    std::deque<std::optional<QString>> fileAnswers;
    std::deque<std::optional<FontChoice>> fontAnswers;
    QList<Shown> shown;

protected:
    std::optional<QString> runOpenDialog() override;
    std::optional<QString> runSaveDialog() override;
    std::optional<FontChoice> runFontDialog() override;

private:
    std::optional<QString> nextFileAnswer(Shown::Kind kind);
};

class FakeMessageBox final : public MessageBox {
public:
    struct Asked {
        QString prompt;
        QString title;
        Buttons buttons;
        Icon icon;
    };

    std::deque<Answer> answers;
    QList<Asked> asked;

    Answer ask(const QString& prompt, const QString& title, Buttons buttons, Icon icon) override;
};

class FakePrinter final : public Printer {
public:
    struct Job {
        FontChoice font;
        QString text;
    };

    // Each call takes the next outcome; true when the list is empty.
    std::deque<bool> outcomes;
    QList<Job> attempts;

    bool printDocument(const FontChoice& font, const QString& text) override;
};

class FakeProcessControl final : public ProcessControl {
public:
    int endCalls = 0;
    void endProgram() override { ++endCalls; }
};

// Records the progress it is shown, and has the user cancel once the work
// has come to cancelAt steps.
class FakeProgress final : public Progress {
public:
    struct Begun {
        QString title;
        qint64 total;
    };
    qint64 cancelAt = -1;
    QList<Begun> begun;
    QStringList texts;
    qint64 lastDone = 0;
    int ended = 0;

    void begin(const QString& title, qint64 total) override { begun.append({title, total}); }
    bool advance(qint64 done, const QString& text) override;
    void end() override { ++ended; }
};

// A set of fakes, and the Services that hand them to a window. The pointers
// stay valid while the window that took the Services lives.
struct FakeServices {
    FakeCommonDialog* commonDialog;
    FakeMessageBox* messageBox;
    FakePrinter* printer;
    FakeProcessControl* process;
    FakeProgress* progress;

    // Makes fresh fakes; call take() once to hand them over.
    FakeServices();
    Services take();

private:
    Services services_;
};
