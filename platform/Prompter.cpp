#include "platform/Prompter.h"

#include <cstdio>

Prompter::Answer Prompter::messageBox(const QString& text, Buttons buttons, Icon, const QString& title) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    switch (buttons) {
    case Buttons::OK:
    case Buttons::OKCancel:
        return OK;
    case Buttons::AbortRetryIgnore:
        return Abort;
    case Buttons::YesNoCancel:
    case Buttons::YesNo:
        return Yes;
    case Buttons::RetryCancel:
        return Retry;
    }
    return OK;
}

QString Prompter::inputBox(const QString&, const QString&, const QString& defaultText) {
    return defaultText;
}

std::optional<qint64> Prompter::chooseColor(qint64) {
    return std::nullopt;
}
