#include "platform/gui/QtPrompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
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

// A box with a short question and a longer title ("Delete task?" under "Quorvane - Confirm") is wide enough
// for the title bar to show its title whole, beside the window manager's buttons.
TEST(QtPrompter, AShortQuestionStillLeavesRoomForTheWholeTitle) {
    QtPrompter prompter;
    int width = 0, needed = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QFont bold = box->font();
        bold.setBold(true);
        needed = QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 100;
        width = box->width();
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(prompter.messageBox(QStringLiteral("Delete task?"), Prompter::Buttons::YesNo,
                                  Prompter::Icon::None, QStringLiteral("Quorvane - Confirm")),
              Prompter::No);
    EXPECT_GE(width, needed);
}
