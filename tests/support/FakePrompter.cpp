#include "tests/support/FakePrompter.h"

namespace {

Prompter::Answer firstAnswer(Prompter::Buttons buttons) {
    switch (buttons) {
    case Prompter::Buttons::YesNo:
    case Prompter::Buttons::YesNoCancel:
        return Prompter::Yes;
    case Prompter::Buttons::AbortRetryIgnore:
        return Prompter::Abort;
    case Prompter::Buttons::RetryCancel:
        return Prompter::Retry;
    default:
        return Prompter::OK;
    }
}

} // namespace

Prompter::Answer FakePrompter::messageBox(const QString& text, Buttons buttons, Icon icon,
                                          const QString& title) {
    return answer(Box{text, title, buttons, icon, firstAnswer(buttons)});
}

Prompter::Answer FakePrompter::messageBoxWithDefault(const QString& text, Buttons buttons, Icon icon,
                                                     const QString& title, Answer defaultAnswer) {
    return answer(Box{text, title, buttons, icon, defaultAnswer});
}

Prompter::Answer FakePrompter::answer(const Box& box) {
    boxes.append(box);
    if (whileShown) whileShown(boxes.back());
    if (!m_answers.empty()) {
        const Answer a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    return firstAnswer(box.buttons);
}

QString FakePrompter::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    inputs.append({prompt, title, defaultText});
    if (m_inputs.empty()) return defaultText;
    QString t = m_inputs.front();
    m_inputs.pop_front();
    return t;
}

std::optional<qint64> FakePrompter::chooseColor(qint64 initial) {
    colorChoosers.append(initial);
    if (m_colors.empty()) return std::nullopt;
    const std::optional<qint64> c = m_colors.front();
    m_colors.pop_front();
    return c;
}
