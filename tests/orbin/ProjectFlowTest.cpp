#include "app/GuiShell.h"
#include "core/Globals.h"
#include "core/Initialize.h"
#include "dialogs/dlgNewTaskDetails.h"
#include "dialogs/dlgProject.h"
#include "orbin/frmFloater.h"
#include "platform/FormPort.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The whole program, started and ended through its own routines, with the real windows offscreen.
class ProjectsAcrossStarts : public ::testing::Test {
protected:
    void SetUp() override {
        setWindowShell(&shell);
        env.writeSettings("[General]\nFirstTime=false\nconfirmExit=0\n");
    }
    void TearDown() override {
        if (!gQuitting) quitApplication(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        setWindowShell(nullptr);
    }

    void start() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        gQuitting = false;
        Main();
        ASSERT_NE(gOrbinWindow, nullptr);
    }
    // Projects, from the top level of the orbin's menu.
    dlgProject* openProjects() const {
        auto* floater = dynamic_cast<frmFloater*>(gOrbinWindow);
        floater->mnuPopUp()->findChild<QAction*>(QStringLiteral("mnuShowProject"))->trigger();
        auto* dialog = dynamic_cast<dlgProject*>(forms::find(QStringLiteral("dlgProject")));
        if (dialog) {
            dialog->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        }
        return dialog;
    }
    template <class T = QWidget> static T* control(QWidget* form, const char* name) {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    // A new project "Garden", made from the dialog as the user makes one, its description typed in its box.
    QPlainTextEdit* addGarden(dlgProject* dialog, const QString& description) {
        prompter.scriptInput(QStringLiteral("Garden"));
        QTest::mouseClick(control(dialog, "btnAddProject"), Qt::LeftButton);
        auto* body = control<QPlainTextEdit>(dialog, "txtProjectBody");
        body->setFocus();
        QTest::keyClicks(body, description);
        return body;
    }
    static QStringList shownTitles(const dlgProject* dialog) {
        QStringList titles;
        for (const dlgProject::Row& row : dialog->rows())
            if (row.lblItem->isVisibleTo(dialog)) titles << row.lblItem->text();
        return titles;
    }
    TestEnv env;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};
    FakePrompter prompter;
    FakeLauncher launcher;
    GuiShell shell;
};

} // namespace

TEST_F(ProjectsAcrossStarts, ANewProjectWithItsDescriptionAndTaskIsThereAtTheNextStart) {
    start();
    dlgProject* dialog = openProjects();
    ASSERT_NE(dialog, nullptr);
    QPlainTextEdit* body = addGarden(dialog, QStringLiteral("Beds, seeds and the path."));

    QTest::mouseClick(control(dialog, "butNewTask"), Qt::LeftButton);
    auto* task = dynamic_cast<dlgNewTaskDetails*>(forms::find(QStringLiteral("dlgNewTaskDetails")));
    ASSERT_NE(task, nullptr);
    EXPECT_TRUE(task->windowTitle().endsWith(QStringLiteral(" Project - Garden")));
    // The user works in the task dialog (offscreen, a new window is not made active by itself): a title,
    // then Enter, which stores it with the shortest estimate and closes the dialog.
    task->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(task));
    QTest::keyClicks(task->txtTaskTitle(), QStringLiteral("Dig the first bed"));
    QTest::keyClick(task->txtTaskTitle(), Qt::Key_Return);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgNewTaskDetails")));
    // Back in the project dialog, the new task has its row.
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
    EXPECT_EQ(shownTitles(dialog), QStringList{QStringLiteral("Dig the first bed")});
    EXPECT_EQ(body->toPlainText(), QStringLiteral("Beds, seeds and the path."));
    QTest::mouseClick(control(dialog, "btnClose"), Qt::LeftButton);
    quitApplication(false);

    start();
    dialog = openProjects();
    ASSERT_NE(dialog, nullptr);
    auto* list = control<QComboBox>(dialog, "cmbProjects");
    ASSERT_EQ(list->count(), 1);
    list->setCurrentIndex(0);
    EXPECT_EQ(control<QPlainTextEdit>(dialog, "txtProjectBody")->toPlainText(),
              QStringLiteral("Beds, seeds and the path."));
    EXPECT_EQ(shownTitles(dialog), QStringList{QStringLiteral("Dig the first bed")});
}

TEST_F(ProjectsAcrossStarts, ADescriptionStillBeingTypedIsSavedByAQuitFromOutside) {
    start();
    dlgProject* dialog = openProjects();
    ASSERT_NE(dialog, nullptr);
    QPlainTextEdit* body = addGarden(dialog, QStringLiteral("Half a thought"));
    ASSERT_EQ(QApplication::focusWidget(), body);
    // The session ends: the program quits with the dialog open and the box still holding the focus.
    quitFromOutside();
    EXPECT_TRUE(gQuitting);
    EXPECT_TRUE(TestEnv::readFile(env.dataDir() + QStringLiteral("projects.xml"))
                    .contains("<body>Half a thought</body>"));
}
