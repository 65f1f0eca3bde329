#include "platform/Prompter.h"

#include <cstdio>

namespace {

class StreamPrompter final : public Prompter {
public:
    Answer messageBox(const QString& text, Buttons buttons, Icon, const QString& title) override {
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
    QString inputBox(const QString&, const QString&, const QString& defaultText) override {
        return defaultText;
    }
    std::optional<qint64> chooseColor(qint64) override { return std::nullopt; }
    void beep() override {}
};

StreamPrompter g_streamPrompter;
Prompter* g_prompter = nullptr;

} // namespace

Prompter& prompter() {
    return g_prompter ? *g_prompter : g_streamPrompter;
}

void setPrompter(Prompter* p) {
    g_prompter = p;
}
