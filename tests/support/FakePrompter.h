#pragma once

#include "platform/Prompter.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>

// A prompter that answers from a script and remembers every box.
class FakePrompter final : public Prompter {
public:
    struct Box {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
        // The answer whose button Enter presses.
        Answer defaultAnswer;
    };

    FakePrompter() { setPrompter(this); }
    ~FakePrompter() override { setPrompter(nullptr); }
    FakePrompter(const FakePrompter&) = delete;
    FakePrompter& operator=(const FakePrompter&) = delete;

    // The next boxes' answers, in order; when the script runs out a box gets its first button.
    void script(std::initializer_list<Answer> answers) { m_answers.insert(m_answers.end(), answers); }
    void scriptInput(const QString& text) { m_inputs.push_back(text); }

    Answer messageBox(const QString& text, Buttons buttons, Icon icon, const QString& title) override;
    Answer messageBoxWithDefault(const QString& text, Buttons buttons, Icon icon, const QString& title,
                                 Answer defaultAnswer) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    // The colours the next choosers return, in order; nullopt is a cancelled chooser, and so is every
    // chooser once the script has run out.
    void scriptColor(std::optional<qint64> color) { m_colors.push_back(color); }
    std::optional<qint64> chooseColor(qint64 initial) override;
    void beep() override { ++beeps; }

    QList<Box> boxes;
    QList<qint64> colorChoosers; // the colour each chooser opened with
    // Every input box: its prompt, title and default text.
    struct Input {
        QString prompt;
        QString title;
        QString defaultText;
    };
    QList<Input> inputs;
    int beeps = 0;
    // Runs while a box is up, before it is answered (what else happens meanwhile).
    std::function<void(const Box&)> whileShown;

private:
    Answer answer(const Box& box);

    std::deque<Answer> m_answers;
    std::deque<QString> m_inputs;
    std::deque<std::optional<qint64>> m_colors;
};
