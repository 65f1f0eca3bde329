#pragma once

#include "platform/Prompter.h"

#include <optional>

// The prompter of the running program: Qt's message box, input box, colour dialog and beep.
class QtPrompter final : public Prompter {
public:
    Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    Answer messageBoxWithDefault(const QString& text, Buttons buttons, Icon icon, const QString& title,
                                 Answer defaultAnswer) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    std::optional<qint64> chooseColor(qint64 initial) override;
    void beep() override;

private:
    static Answer show(const QString& text, Buttons buttons, Icon icon, const QString& title,
                       std::optional<Answer> defaultAnswer);
};
