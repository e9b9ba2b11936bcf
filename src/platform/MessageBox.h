#pragma once

#include <QString>

// A modal question to the user. The first button of the set is the default
// one, except in YesNoDefaultNo: Yes and No with No the default, for a
// question whose Yes destroys something.
class MessageBox {
public:
    enum class Buttons { Ok, YesNo, YesNoDefaultNo, YesNoCancel, RetryCancel };
    enum class Icon { Information, Question, Warning, Stop };
    enum class Answer { Ok, Yes, No, Retry, Cancel };

    virtual ~MessageBox() = default;
    virtual Answer ask(const QString& prompt, const QString& title, Buttons buttons, Icon icon) = 0;
};
