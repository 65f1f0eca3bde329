#include "core/Items.h"
#include "core/Projects.h"
#include "dialogs/DialogPicture.h"
#include "dialogs/dlgNewMeetingDetails.h"
#include "dialogs/dlgProject.h"
#include "tests/dialogs/DialogWorld.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ProjectDialog : public DialogWorld {
protected:
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

    QPointer<dlgProject> dialog;
};

} // namespace

TEST_F(ProjectDialog, ListsProjectsAndStacksTheChosenOnesRowsReusingThemForTheNext) {
    const Integer garden = project(QStringLiteral("Garden"), QStringLiteral("Beds, seeds\nand the path"));
    const Integer house = project(QStringLiteral("House <move>"));
    project(QStringLiteral("Empty"), QStringLiteral("Nothing yet"));
    const QDate day(2026, 12, 9);
    item(QStringLiteral("Task"), QStringLiteral("Draft the plan"), garden, day);
    item(QStringLiteral("Task"), QStringLiteral("Order <b>seeds</b>"), garden, day, true);
    item(QStringLiteral("Meeting"), QStringLiteral("Visit the nursery"), garden, day.addDays(1));
    item(QStringLiteral("Task"), QStringLiteral("Pack the books"), house, day);
    item(QStringLiteral("Task"), QStringLiteral("Build the beds"), garden, day);
    item(QStringLiteral("Task"), QStringLiteral("Lay the path"), garden, day);
    open();
    auto* box = control<QComboBox>("cmbProjects");
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->itemText(1), QStringLiteral("House <move>"));
    EXPECT_EQ(box->itemData(1).toString(), QStringLiteral("2"));
    EXPECT_EQ(box->currentIndex(), -1);
    EXPECT_FALSE(control("butNewTask")->isEnabled());
    EXPECT_FALSE(control("butNewMeeting")->isEnabled());
    // Nothing typed before a project is chosen could be stored anywhere.
    EXPECT_FALSE(control("txtProjectBody")->isEnabled());

    choose(QStringLiteral("Garden"));
    EXPECT_EQ(control<QPlainTextEdit>("txtProjectBody")->toPlainText(),
              QStringLiteral("Beds, seeds\nand the path"));
    EXPECT_TRUE(control("butNewMeeting")->isEnabled());
    EXPECT_EQ(shownTitles(),
              (QStringList{QStringLiteral("Draft the plan"), QStringLiteral("Order <b>seeds</b>"),
                           QStringLiteral("Visit the nursery"), QStringLiteral("Build the beds"),
                           QStringLiteral("Lay the path")}));
    const QList<dlgProject::Row> rows = dialog->rows();
    ASSERT_EQ(rows.size(), 5);
    for (int i = 1; i < 5; ++i) {
        EXPECT_EQ(rows[i].lblItem->y(), rows[i - 1].imgTask->y() + rows[i - 1].imgTask->height());
        EXPECT_EQ(rows[i].lblDate->y(), rows[i].lblItem->y());
    }
    EXPECT_TRUE(rows[1].lblItem->font().underline());
    EXPECT_EQ(rows[1].lblItem->textFormat(), Qt::PlainText);
    EXPECT_TRUE(rows[2].imgMeeting->isVisibleTo(dialog));
    EXPECT_FALSE(rows[2].imgTask->isVisibleTo(dialog));
    EXPECT_EQ(rows[2].lblDate->text(), QLocale().toString(day.addDays(1), QLocale::ShortFormat));
    EXPECT_EQ(rows[2].lblItem->property("Tag").toString(), QStringLiteral("3"));

    // One item: row 0 takes it (no longer underlined), rows 1 to 4 stay loaded but hidden.
    choose(QStringLiteral("House <move>"));
    EXPECT_EQ(shownTitles(), QStringList{QStringLiteral("Pack the books")});
    ASSERT_EQ(dialog->rows().size(), 5);
    EXPECT_EQ(dialog->rows()[0].lblItem, rows[0].lblItem);
    EXPECT_TRUE(rows[0].imgTask->isVisibleTo(dialog));
    EXPECT_FALSE(rows[2].imgMeeting->isVisibleTo(dialog));

    choose(QStringLiteral("Empty"));
    EXPECT_EQ(control<QPlainTextEdit>("txtProjectBody")->toPlainText(), QStringLiteral("Nothing yet"));
    EXPECT_TRUE(shownTitles().isEmpty());
}

TEST_F(ProjectDialog, ANameCancelledLeavesTheNewProjectUnlistedAndAStoreWithoutTemplateSaysSo) {
    project(QStringLiteral("Garden"));
    open();
    choose(QStringLiteral("Garden"));
    prompter.scriptInput(QString());
    QTest::mouseClick(control("btnAddProject"), Qt::LeftButton);
    ASSERT_EQ(prompter.inputs.size(), 1);
    EXPECT_EQ(prompter.inputs[0].prompt, QStringLiteral("Project Name"));
    EXPECT_EQ(prompter.inputs[0].title, QStringLiteral("QuorvaneAdd new project"));
    EXPECT_EQ(prompter.inputs[0].defaultText, QStringLiteral("New project"));
    EXPECT_EQ(gProjects->getProjectList(), (QStringList{QStringLiteral("1"), QStringLiteral("2")}));
    EXPECT_EQ(control<QComboBox>("cmbProjects")->count(), 1);
    EXPECT_EQ(control<QComboBox>("cmbProjects")->currentText(), QStringLiteral("Garden"));
    EXPECT_TRUE(prompter.boxes.isEmpty());

    dialog->unloadForm();
    releaseObjects();
    TestEnv::writeFile(env.dataDir() + QStringLiteral("projects.xml"), "<root>\r\n</root>");
    createObjects();
    open();
    QTest::mouseClick(control("btnAddProject"), Qt::LeftButton);
    ASSERT_EQ(prompter.boxes.size(), 1);
    EXPECT_EQ(prompter.boxes[0].text, QStringLiteral("Could not create new project!"));
    EXPECT_EQ(prompter.boxes[0].title, QStringLiteral("QuorvaneAdd new project"));
    EXPECT_EQ(orbin.calls, QStringList{QStringLiteral("shrink")});
    EXPECT_EQ(prompter.inputs.size(), 1);
}

TEST_F(ProjectDialog, ItemsAreMadeInTheChosenProjectAndOpenedFromTheirRows) {
    project(QStringLiteral("Garden"));
    const Integer house = project(QStringLiteral("House"));
    const Integer task = item(QStringLiteral("Task"), QStringLiteral("Pack"), house, QDate(2026, 12, 9));
    const Integer meeting =
        item(QStringLiteral("Meeting"), QStringLiteral("Movers"), house, QDate(2026, 12, 9));
    open();
    choose(QStringLiteral("House"));

    QTest::mouseClick(control("butNewMeeting"), Qt::LeftButton);
    auto* made = dynamic_cast<dlgNewMeetingDetails*>(forms::find(QStringLiteral("dlgNewMeetingDetails")));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->lblProject()->text(), QString::number(house.value()));
    EXPECT_TRUE(made->windowTitle().endsWith(QStringLiteral(". Project - House")));

    QTest::mouseClick(dialog->rows()[0].lblItem, Qt::LeftButton);
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));
    EXPECT_EQ(gItems->currentID(), task);
    QTest::mouseClick(dialog->rows()[1].lblItem, Qt::LeftButton);
    auto* edit = dynamic_cast<QWidget*>(forms::find(QStringLiteral("dlgEditMeetingDetails")));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->property("Tag").toString(), QString::number(meeting.value()));
}

TEST_F(ProjectDialog, EscClosesWithoutWritingTheFile) {
    open();
    prompter.scriptInput(QStringLiteral("Garden"));
    QTest::mouseClick(control("btnAddProject"), Qt::LeftButton);
    QTest::keyClick(control("cmbProjects"), Qt::Key_Escape);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgProject")));
    EXPECT_TRUE(projectsFile().isEmpty());
    // The project stays in the store for the next dialog and the quit.
    open();
    EXPECT_EQ(control<QComboBox>("cmbProjects")->itemText(0), QStringLiteral("Garden"));
}

TEST_F(ProjectDialog, ATypedDescriptionSurvivesLeavingTheWindowChoosingAnotherAndOk) {
    project(QStringLiteral("Garden"), QStringLiteral("Beds"));
    project(QStringLiteral("House"), QStringLiteral("Boxes"));
    open();
    activate(dialog);
    choose(QStringLiteral("Garden"));
    auto* body = control<QPlainTextEdit>("txtProjectBody");
    auto typeAtEnd = [body](const QString& text) {
        body->setFocus();
        body->moveCursor(QTextCursor::End);
        QTest::keyClicks(body, text);
    };
    typeAtEnd(QStringLiteral(" and the path"));

    // Away to another window and back: the activation fills the dialog again from the store.
    QWidget other;
    activate(&other);
    activate(dialog);
    EXPECT_EQ(body->toPlainText(), QStringLiteral("Beds and the path"));

    // Another project chosen by the keyboard (the box keeps the focus): each text stays with its project.
    typeAtEnd(QStringLiteral("!"));
    choose(QStringLiteral("House"));
    EXPECT_EQ(gProjects->Body(1), QStringLiteral("Beds and the path!"));
    EXPECT_EQ(body->toPlainText(), QStringLiteral("Boxes"));

    // OK by its access key: the box keeps the focus, and still the text reaches the file.
    typeAtEnd(QStringLiteral(" & crates"));
    control<QPushButton>("btnClose")->click();
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
    QCoreApplication::processEvents();
    QScrollArea* list = dialog->itemList();
    QLabel* last = dialog->rows().last().lblItem;
    ASSERT_EQ(last->text(), QStringLiteral("Plant row 40"));
    list->ensureWidgetVisible(last);
    EXPECT_TRUE(
        list->viewport()->rect().contains(QRect(last->mapTo(list->viewport(), QPoint(0, 0)), last->size())));
    EXPECT_LE(list->geometry().bottom(), control("btnClose")->geometry().top());
    QTest::mouseClick(last, Qt::LeftButton);
    EXPECT_EQ(gItems->currentID(), Integer(40));
}
