#include "DialogPicture.h"
#include "FakeClock.h"
#include "FakeOrbin.h"
#include "FakePrompter.h"
#include "FormPort.h"
#include "Globals.h"
#include "Initialize.h"
#include "Items.h"
#include "Projects.h"
#include "TestEnv.h"
#include "dlgEditMeetingDetails.h"
#include "dlgNewMeetingDetails.h"
#include "dlgNewTaskDetails.h"
#include "dlgProject.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ProjectDialog : public ::testing::Test {
protected:
    void SetUp() override {
        createObjects();
        gOrbinWindow = &orbin;
    }
    void TearDown() override {
        for (FormPort* form : forms::loaded())
            form->unloadForm();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        gOrbinWindow = nullptr;
        releaseObjects();
    }

    static Integer project(const QString& title, const QString& body = {}) {
        const Integer id = gProjects->newProject();
        gProjects->setTitle(title, id);
        gProjects->setBody(body, id);
        return id;
    }
    static Integer item(const QString& type, const QString& title, Integer projectId, const QDate& date,
                        bool done = false) {
        const Integer id = gItems->newItem(type);
        gItems->setType(type, id);
        gItems->setTitle(title, id);
        gItems->setDate(date, id);
        gItems->setDone(done ? QStringLiteral("true") : QStringLiteral("false"), id);
        gItems->setProject(QString::number(projectId.value()), id);
        return id;
    }

    dlgProject* open() {
        dialog = dlgProject::instance();
        dialog->show();
        return dialog;
    }
    template <class T = QWidget> T* control(const char* name) const {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    void choose(const QString& title) const {
        auto* box = control<QComboBox>("cmbProjects");
        const int index = box->findText(title);
        ASSERT_GE(index, 0) << title.toStdString();
        box->setCurrentIndex(index);
    }
    // The titles of the rows shown, top to bottom.
    QStringList shownTitles() const {
        QStringList titles;
        for (const dlgProject::Row& row : dialog->rows())
            if (row.lblItem->isVisibleTo(dialog)) titles << row.lblItem->text();
        return titles;
    }
    static void activate(QWidget* window) {
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    QByteArray projectsFile() const { return TestEnv::readFile(Projects::filePath()); }

    TestEnv env;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};
    FakePrompter prompter;
    FakeOrbin orbin;
    QPointer<dlgProject> dialog;
};

} // namespace

TEST_F(ProjectDialog, OpensWithTheProjectsListedAndNothingChosen) {
    project(QStringLiteral("Garden"));
    project(QStringLiteral("House <move> & more"));
    open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Project"));
    auto* box = control<QComboBox>("cmbProjects");
    ASSERT_EQ(box->count(), 2);
    EXPECT_EQ(box->itemText(1), QStringLiteral("House <move> & more"));
    EXPECT_EQ(box->itemData(0).toString(), QStringLiteral("1"));
    EXPECT_EQ(box->itemData(1).toString(), QStringLiteral("2"));
    EXPECT_EQ(box->currentIndex(), -1);
    EXPECT_FALSE(control("butNewTask")->isEnabled());
    EXPECT_FALSE(control("butNewMeeting")->isEnabled());
    // Nothing typed before a project is chosen could be stored anywhere.
    EXPECT_FALSE(control("txtProjectBody")->isEnabled());
    EXPECT_TRUE(shownTitles().isEmpty());
    EXPECT_EQ(control<QPushButton>("btnAddProject")->toolTip(),
              QStringLiteral("Click here to create a new project"));
}

TEST_F(ProjectDialog, RowsStackUnderEachOtherAndAreReusedForTheNextProject) {
    const Integer garden = project(QStringLiteral("Garden"), QStringLiteral("Beds, seeds\nand the path"));
    const Integer house = project(QStringLiteral("House"));
    project(QStringLiteral("Empty"), QStringLiteral("Nothing yet"));
    const QDate day(2026, 12, 9);
    item(QStringLiteral("Task"), QStringLiteral("Draft the plan"), garden, day);
    item(QStringLiteral("Task"), QStringLiteral("Order <b>seeds</b>"), garden, day, true);
    item(QStringLiteral("Meeting"), QStringLiteral("Visit the nursery"), garden, day.addDays(1));
    item(QStringLiteral("Task"), QStringLiteral("Pack the books"), house, day);
    item(QStringLiteral("Task"), QStringLiteral("Build the beds"), garden, day);
    item(QStringLiteral("Task"), QStringLiteral("Lay the path"), garden, day);
    open();

    choose(QStringLiteral("Garden"));
    EXPECT_EQ(control<QPlainTextEdit>("txtProjectBody")->toPlainText(),
              QStringLiteral("Beds, seeds\nand the path"));
    EXPECT_TRUE(control("butNewTask")->isEnabled());
    EXPECT_TRUE(control("butNewMeeting")->isEnabled());
    EXPECT_EQ(shownTitles(),
              (QStringList{QStringLiteral("Draft the plan"), QStringLiteral("Order <b>seeds</b>"),
                           QStringLiteral("Visit the nursery"), QStringLiteral("Build the beds"),
                           QStringLiteral("Lay the path")}));
    const QList<dlgProject::Row> rows = dialog->rows();
    ASSERT_EQ(rows.size(), 5);
    for (int i = 1; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].lblItem->y(), rows[i - 1].imgTask->y() + rows[i - 1].imgTask->height());
        EXPECT_EQ(rows[i].lblDate->y(), rows[i].lblItem->y());
        EXPECT_EQ(rows[i].imgMeeting->y(), rows[i].lblItem->y());
    }
    EXPECT_FALSE(rows[0].lblItem->font().underline());
    EXPECT_TRUE(rows[1].lblItem->font().underline());
    EXPECT_EQ(rows[1].lblItem->textFormat(), Qt::PlainText);
    EXPECT_TRUE(rows[0].imgTask->isVisibleTo(dialog));
    EXPECT_FALSE(rows[0].imgMeeting->isVisibleTo(dialog));
    EXPECT_TRUE(rows[2].imgMeeting->isVisibleTo(dialog));
    EXPECT_FALSE(rows[2].imgTask->isVisibleTo(dialog));
    EXPECT_EQ(rows[2].lblDate->text(), QLocale().toString(day.addDays(1), QLocale::ShortFormat));
    EXPECT_EQ(rows[2].lblItem->property("Tag").toString(), QStringLiteral("3"));

    // One item: row 0 takes it, rows 1 to 4 stay loaded but hidden.
    choose(QStringLiteral("House"));
    EXPECT_EQ(shownTitles(), QStringList{QStringLiteral("Pack the books")});
    ASSERT_EQ(dialog->rows().size(), 5);
    EXPECT_EQ(dialog->rows()[0].lblItem, rows[0].lblItem);
    EXPECT_FALSE(dialog->rows()[0].lblItem->font().underline());
    for (int i = 1; i < 5; ++i) {
        EXPECT_FALSE(rows[i].lblItem->isVisibleTo(dialog));
        EXPECT_FALSE(rows[i].lblDate->isVisibleTo(dialog));
        EXPECT_FALSE(rows[i].imgTask->isVisibleTo(dialog));
        EXPECT_FALSE(rows[i].imgMeeting->isVisibleTo(dialog));
    }

    // No items: the description and no rows.
    choose(QStringLiteral("Empty"));
    EXPECT_EQ(control<QPlainTextEdit>("txtProjectBody")->toPlainText(), QStringLiteral("Nothing yet"));
    EXPECT_TRUE(shownTitles().isEmpty());
}

TEST_F(ProjectDialog, APlusMakesANamedProjectThatIsChosenAndCancelLeavesItUnlisted) {
    open();
    prompter.scriptInput(QStringLiteral("Garden"));
    QTest::mouseClick(control("btnAddProject"), Qt::LeftButton);
    ASSERT_EQ(prompter.inputs.size(), 1);
    EXPECT_EQ(prompter.inputs[0].prompt, QStringLiteral("Project Name"));
    EXPECT_EQ(prompter.inputs[0].title, QStringLiteral("QuorvaneAdd new project"));
    EXPECT_EQ(prompter.inputs[0].defaultText, QStringLiteral("New project"));
    EXPECT_EQ(gProjects->Title(1), QStringLiteral("Garden"));
    auto* box = control<QComboBox>("cmbProjects");
    ASSERT_EQ(box->count(), 1);
    EXPECT_EQ(box->currentText(), QStringLiteral("Garden"));
    EXPECT_TRUE(control("butNewTask")->isEnabled());
    EXPECT_TRUE(control("txtProjectBody")->isEnabled());

    // Cancel: the project is in the store with no title, but the list is not filled again.
    prompter.scriptInput(QString());
    QTest::mouseClick(control("btnAddProject"), Qt::LeftButton);
    EXPECT_EQ(gProjects->getProjectList(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(box->count(), 1);
    EXPECT_EQ(box->currentText(), QStringLiteral("Garden"));
    EXPECT_TRUE(orbin.calls.isEmpty());
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(ProjectDialog, AStoreWithoutItsTemplateSaysTheProjectCouldNotBeMade) {
    releaseObjects();
    TestEnv::writeFile(env.dataDir() + QStringLiteral("projects.xml"), "<root>\r\n</root>");
    createObjects();
    open();
    QTest::mouseClick(control("btnAddProject"), Qt::LeftButton);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("Could not create new project!"));
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("QuorvaneAdd new project"));
    EXPECT_EQ(prompter.boxes[0].buttons, Prompter::Buttons::OK);
    EXPECT_EQ(orbin.calls, QStringList{QStringLiteral("shrink")});
    EXPECT_EQ(control<QComboBox>("cmbProjects")->count(), 0);
}

TEST_F(ProjectDialog, TaskAndMeetingButtonsMakeItemsOfTheChosenProject) {
    project(QStringLiteral("Garden"));
    const Integer house = project(QStringLiteral("House"));
    open();
    choose(QStringLiteral("House"));

    QTest::mouseClick(control("butNewTask"), Qt::LeftButton);
    auto* task = dynamic_cast<dlgNewTaskDetails*>(forms::find(QStringLiteral("dlgNewTaskDetails")));
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->lblProject()->text(), QString::number(house.value()));
    EXPECT_TRUE(task->windowTitle().endsWith(QStringLiteral(" Project - House")));
    EXPECT_FALSE(task->windowTitle().endsWith(QStringLiteral(". Project - House")));

    QTest::mouseClick(control("butNewMeeting"), Qt::LeftButton);
    auto* meeting = dynamic_cast<dlgNewMeetingDetails*>(forms::find(QStringLiteral("dlgNewMeetingDetails")));
    ASSERT_NE(meeting, nullptr);
    EXPECT_EQ(meeting->lblProject()->text(), QString::number(house.value()));
    EXPECT_TRUE(meeting->windowTitle().endsWith(QStringLiteral(". Project - House")));
}

TEST_F(ProjectDialog, AClickOnARowOpensItsItem) {
    const Integer garden = project(QStringLiteral("Garden"));
    const Integer task =
        item(QStringLiteral("Task"), QStringLiteral("Draft the plan"), garden, QDate(2026, 12, 9));
    const Integer meeting =
        item(QStringLiteral("Meeting"), QStringLiteral("Visit"), garden, QDate(2026, 12, 9));
    open();
    choose(QStringLiteral("Garden"));
    gItems->setCurrentID(1);

    QTest::mouseClick(dialog->rows()[0].lblItem, Qt::LeftButton);
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));
    EXPECT_EQ(gItems->currentID(), task);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditMeetingDetails")));

    QTest::mouseClick(dialog->rows()[1].lblItem, Qt::LeftButton);
    auto* edit = dynamic_cast<QWidget*>(forms::find(QStringLiteral("dlgEditMeetingDetails")));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->property("Tag").toString(), QString::number(meeting.value()));
}

TEST_F(ProjectDialog, OkWritesTheProjectsFileAndEscOnlyCloses) {
    open();
    prompter.scriptInput(QStringLiteral("Garden"));
    QTest::mouseClick(control("btnAddProject"), Qt::LeftButton);
    QTest::keyClick(control("cmbProjects"), Qt::Key_Escape);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgProject")));
    EXPECT_TRUE(projectsFile().isEmpty());
    // The project is still in the store, and the next dialog lists it.
    open();
    EXPECT_EQ(control<QComboBox>("cmbProjects")->itemText(0), QStringLiteral("Garden"));
    QTest::mouseClick(control("btnClose"), Qt::LeftButton);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgProject")));
    EXPECT_TRUE(projectsFile().contains("<title>Garden</title>"));
}

TEST_F(ProjectDialog, ATypedDescriptionSurvivesLeavingTheWindowAndTheKeyboardOk) {
    project(QStringLiteral("Garden"), QStringLiteral("Beds"));
    project(QStringLiteral("House"), QStringLiteral("Boxes"));
    open();
    activate(dialog);
    choose(QStringLiteral("Garden"));
    auto* body = control<QPlainTextEdit>("txtProjectBody");
    body->setFocus();
    body->moveCursor(QTextCursor::End);
    QTest::keyClicks(body, QStringLiteral(" and the path"));

    // Away to another window and back: the activation fills the dialog again from the store.
    QWidget other;
    activate(&other);
    activate(dialog);
    EXPECT_EQ(body->toPlainText(), QStringLiteral("Beds and the path"));
    EXPECT_EQ(gProjects->Body(1), QStringLiteral("Beds and the path"));

    // Typing on and choosing another project by the keyboard leaves each text with its own project.
    body->setFocus();
    QTest::keyClicks(body, QStringLiteral("!"));
    choose(QStringLiteral("House"));
    EXPECT_EQ(gProjects->Body(1), QStringLiteral("Beds and the path!"));
    EXPECT_EQ(body->toPlainText(), QStringLiteral("Boxes"));

    // OK pressed by its access key, the box keeping the focus: still the text reaches the file.
    body->setFocus();
    body->moveCursor(QTextCursor::End);
    QTest::keyClicks(body, QStringLiteral(" & crates"));
    control<QPushButton>("btnClose")->click();
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgProject")));
    EXPECT_TRUE(projectsFile().contains("<body>Boxes &amp; crates</body>"));
    EXPECT_TRUE(projectsFile().contains("<body>Beds and the path!</body>"));
}

TEST_F(ProjectDialog, EveryItemOfALongProjectCanBeReached) {
    const Integer garden = project(QStringLiteral("Garden"));
    for (int i = 1; i <= 40; ++i)
        item(QStringLiteral("Task"), QStringLiteral("Plant row %1").arg(i), garden, QDate(2026, 12, 9));
    open();
    choose(QStringLiteral("Garden"));
    ASSERT_EQ(shownTitles().size(), 40);
    QCoreApplication::processEvents();
    QScrollArea* list = dialog->itemList();
    QScrollBar* bar = list->verticalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    QLabel* last = dialog->rows().last().lblItem;
    list->ensureWidgetVisible(last);
    const QRect inView(last->mapTo(list->viewport(), QPoint(0, 0)), last->size());
    EXPECT_TRUE(list->viewport()->rect().contains(inView));
    // The list stays inside the dialog.
    EXPECT_LE(list->geometry().bottom(), control("btnClose")->geometry().top());

    QTest::mouseClick(last, Qt::LeftButton);
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));
    EXPECT_EQ(gItems->currentID(), Integer(40));
}
