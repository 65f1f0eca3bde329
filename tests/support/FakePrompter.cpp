#include "FakePrompter.h"

Prompter::Answer FakePrompter::messageBox(const QString& text, Buttons buttons, Icon icon,
                                          const QString& title) {
    boxes.append({text, title, buttons, icon});
    if (whileShown) whileShown(boxes.back());
    if (!m_answers.empty()) {
        const Answer a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Yes;
    case Buttons::AbortRetryIgnore:
        return Abort;
    case Buttons::RetryCancel:
        return Retry;
    default:
        return OK;
    }
}

QString FakePrompter::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    inputs.append({prompt, title, defaultText});
    if (m_inputs.empty()) return defaultText;
    QString t = m_inputs.front();
    m_inputs.pop_front();
    return t;
}
