#pragma once

#include <QString>
#include <optional>

// Message boxes, the input box, the colour chooser and the beep, behind one interface so that tests can
// script the answers and read every box that was shown.
class Prompter {
public:
    // The button sets of the message box.
    enum class Buttons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
    enum class Icon { None, Critical, Question, Exclamation, Information };
    // The answers keep their classic numbers.
    enum Answer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

    virtual ~Prompter() = default;
    virtual Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title) = 0;
    // The same box with defaultAnswer's button as the one Enter presses, instead of the first: for a
    // question whose first answer must not be given by accident. A prompter without a default button of
    // its own shows the plain box.
    virtual Answer messageBoxWithDefault(const QString& text, Buttons buttons, Icon icon,
                                         const QString& title, Answer defaultAnswer) {
        (void)defaultAnswer;
        return messageBox(text, buttons, icon, title);
    }
    // The text typed, or an empty text when the user cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) = 0;
    // The colour number chosen in the colour chooser ("Color picker"), or nullopt when the user cancelled.
    virtual std::optional<qint64> chooseColor(qint64 initial) = 0;
    virtual void beep() = 0;
};

// The prompter in force. Until a window layer installs one, boxes are written to the standard error
// stream and answered with their first button.
Prompter& prompter();
// Installs a prompter (not owned); nullptr brings the stand-in back.
void setPrompter(Prompter* p);
