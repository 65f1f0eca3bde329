#include "QtPrompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Answers the input box once it is up, after looking at it.
void whenTheInputBoxIsUp(const std::function<void(QInputDialog*)>& answer) {
    QTimer::singleShot(0, [answer] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        answer(box);
    });
}

} // namespace

// A window that stays on top (the orbin, the dialog asking) must not hide the box that holds the keyboard.
TEST(QtPrompter, TheInputBoxStaysOnTopAndGivesTheTypedTextOrNothingOnCancel) {
    QtPrompter prompter;
    QString title, prompt, shown;
    bool onTop = false;
    whenTheInputBoxIsUp([&](QInputDialog* box) {
        onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        title = box->windowTitle();
        prompt = box->labelText();
        shown = box->findChild<QLineEdit*>()->text();
        box->setTextValue(QStringLiteral("Garden"));
        box->accept();
    });
    EXPECT_EQ(prompter.inputBox(QStringLiteral("Project Name"), QStringLiteral("Add"),
                                QStringLiteral("New project")),
              QStringLiteral("Garden"));
    EXPECT_TRUE(onTop);
    EXPECT_EQ(title, QStringLiteral("Add"));
    EXPECT_EQ(prompt, QStringLiteral("Project Name"));
    EXPECT_EQ(shown, QStringLiteral("New project"));

    whenTheInputBoxIsUp([](QInputDialog* box) { box->reject(); });
    EXPECT_TRUE(
        prompter
            .inputBox(QStringLiteral("Project Name"), QStringLiteral("Add"), QStringLiteral("New project"))
            .isEmpty());
}
