#pragma once

#include "platform/Injectable.h"

#include <QString>
#include <optional>

// Message boxes, the input box, the colour chooser and the beep, behind one interface so that tests can
// script the answers and read every box that was shown. This class itself is the stand-in that serves
// until a window layer installs its own: boxes are written to the standard error stream and answered with
// their first button, the input box gives back its default text, the chooser is cancelled, the beep is
// silent.
class Prompter {
public:
    // The button sets of the message box.
    enum class Buttons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
    enum class Icon { None, Critical, Question, Exclamation, Information };
    // The answers keep their classic numbers.
    enum Answer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

    virtual ~Prompter() = default;
    virtual Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title);
    // The same box with defaultAnswer's button as the one Enter presses, instead of the first: for a
    // question whose first answer must not be given by accident. A prompter without a default button of
    // its own shows the plain box.
    virtual Answer messageBoxWithDefault(const QString& text, Buttons buttons, Icon icon,
                                         const QString& title, Answer defaultAnswer) {
        (void)defaultAnswer;
        return messageBox(text, buttons, icon, title);
    }
    // The text typed, or an empty text when the user cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& defaultText);
    // The colour number chosen in the colour chooser ("Color picker"), or nullopt when the user cancelled.
    virtual std::optional<qint64> chooseColor(qint64 initial);
    virtual void beep() {}
};

// The prompter in force: the stand-in unless one was installed through Injectable<Prompter>.
inline Prompter& prompter() {
    return Injectable<Prompter>::instance();
}
// Installs a prompter (not owned); nullptr brings the stand-in back.
inline void setPrompter(Prompter* p) {
    Injectable<Prompter>::install(p);
}
