// What a dialog could not show goes back exactly as stored: a Save changes only what the user changed.
#include "tests/dialogs/MeetingFixture.h"

#include "core/DateTexts.h"
#include "core/Projects.h"
#include "dialogs/ItemOpeners.h"
#include "dialogs/dlgEditMeetingDetails.h"
#include "dialogs/dlgEditTaskDetails.h"
#include "dialogs/dlgProject.h"

#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>

namespace {

class KeptFields : public MeetingDialogs {
protected:
    QByteArray seed() override {
        return meetingXml(1, QStringLiteral("Long one"), QStringLiteral("20261211"), QStringLiteral("09:30"))
                   .replace("<estimate>60</estimate>", "<estimate>99999</estimate>") +
               meetingXml(2, QStringLiteral("Undated"), QStringLiteral("someday"), QStringLiteral("10:00")) +
               meetingXml(4, QStringLiteral("Typed by hand"), QStringLiteral("20261211"),
                          QStringLiteral("half past")) +
               taskXml(3, QStringLiteral("Odd task"), QString(), 1)
                   .replace("<obj3/>", "<obj3>X</obj3>")
                   .replace("<note/>", "<note>C:\\temp\r\nthen \\q</note>");
    }
    // A field of an item as the items file on disk holds it.
    static QString onDisk(int id, const char* field) {
        const QString file = fileText();
        const QString item = QStringLiteral("<item><id>%1</id>").arg(id);
        const qsizetype at = file.indexOf(item);
        if (at < 0) return QStringLiteral("(no item)");
        const QString open = QStringLiteral("<%1>").arg(QString::fromLatin1(field));
        const qsizetype start = file.indexOf(open, at);
        const qsizetype end = file.indexOf(QStringLiteral("</%1>").arg(QString::fromLatin1(field)), start);
        if (start < 0 || end < 0 || file.indexOf(QStringLiteral("</item>"), at) < start)
            return QStringLiteral("(empty)");
        return file.mid(start + open.size(), end - start - open.size());
    }
};

} // namespace

TEST_F(KeptFields, AMeetingsDurationOrDayTheDialogCannotShowGoesBackAsStored) {
    // A duration too large for the program's numbers: nothing to report, as it is never shown.
    dlgEditMeetingDetails* d = editMeeting(1);
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(control<QLineEdit>(d, "txtDate")->text(), shortDateText(QDate(2026, 12, 11)));
    EXPECT_EQ(control<QLineEdit>(d, "txtTime")->text(), QStringLiteral("09:30"));
    type(d, "txtMeetingTitle", QStringLiteral("Long one, renamed"));
    click(d, "butSave");
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditMeetingDetails")));
    EXPECT_EQ(onDisk(1, "title"), QStringLiteral("Long one, renamed"));
    EXPECT_EQ(onDisk(1, "estimate"), QStringLiteral("99999"));
    EXPECT_EQ(onDisk(1, "date"), QStringLiteral("20261211"));

    // A day that is none: the box stays empty and the day as stored, until the user gives one.
    d = editMeeting(2);
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(control<QLineEdit>(d, "txtDate")->text(), QString());
    EXPECT_EQ(control<QComboBox>(d, "cmbDate")->currentText(), QString());
    type(d, "txtObjective1", QStringLiteral("Find a day"));
    click(d, "butSave");
    EXPECT_EQ(prompter.beeps, 0);
    EXPECT_EQ(onDisk(2, "obj1"), QStringLiteral("Find a day"));
    EXPECT_EQ(onDisk(2, "date"), QStringLiteral("someday"));
    EXPECT_EQ(onDisk(2, "estimate"), QStringLiteral("60"));
    d = editMeeting(2);
    chooseDay(d, QStringLiteral("Tomorrow"));
    click(d, "butSave");
    EXPECT_EQ(onDisk(2, "date"), QStringLiteral("20261208"));

    // A time that is none is reported, and stays as stored when the box is only passed through.
    d = editMeeting(4);
    ASSERT_EQ(prompter.boxes.size(), 1);
    auto* time = control<QLineEdit>(d, "txtTime");
    EXPECT_EQ(time->text(), QStringLiteral("half past"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(time, &out);
    EXPECT_EQ(time->text(), QStringLiteral("half past"));
    click(d, "butSave");
    EXPECT_EQ(prompter.beeps, 0);
    EXPECT_EQ(onDisk(4, "meetingtime"), QStringLiteral("half past"));
}

TEST_F(KeptFields, ATasksDayRepeatCodeAndNoteGoBackAsStoredUnlessChanged) {
    const QString note = gItems->Note(3);
    dlgEditTaskDetails* d = editTask(3);
    EXPECT_EQ(control<QLineEdit>(d, "txtDate")->text(), QString());
    EXPECT_TRUE(control<QRadioButton>(d, "radOnceOnly")->isChecked()); // a code the buttons do not know
    QTest::keyClicks(d->txtTaskTitle(), QStringLiteral(", again"));
    click(d, "butSave");
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_EQ(onDisk(3, "title"), QStringLiteral("Odd task, again"));
    EXPECT_EQ(onDisk(3, "date"), QStringLiteral("(empty)"));
    EXPECT_EQ(onDisk(3, "obj3"), QStringLiteral("X"));
    EXPECT_EQ(gItems->Note(3), note);

    // What the user changes is stored as the dialog shows it.
    d = editTask(3);
    control<QRadioButton>(d, "radEveryWeek")->click();
    d->txtTaskBody()->moveCursor(QTextCursor::End);
    QTest::keyClicks(d->txtTaskBody(), QStringLiteral("!"));
    type(d, "txtDate", shortDateText(today()));
    click(d, "butSave");
    EXPECT_EQ(onDisk(3, "obj3"), QStringLiteral("W"));
    EXPECT_EQ(onDisk(3, "date"), QStringLiteral("20261207"));
    EXPECT_EQ(gItems->Note(3),
              dlgEditTaskDetails::escapeNote(dlgEditTaskDetails::unescapeNote(note) + QStringLiteral("!")));
}

TEST_F(KeptFields, AProjectDescriptionLeftAsItWasStaysAsStored) {
    const Integer id = gProjects->newProject();
    gProjects->setTitle(QStringLiteral("Garden"), id);
    gProjects->setBody(QStringLiteral("Beds\r\nseeds"), id);
    dlgProject* d = dlgProject::instance();
    d->show();
    auto* list = control<QComboBox>(d, "cmbProjects");
    list->setCurrentIndex(list->findText(QStringLiteral("Garden")));
    auto* body = control<QPlainTextEdit>(d, "txtProjectBody");
    body->setFocus();
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(body, &out);
    control<QPushButton>(d, "btnClose")->click();
    EXPECT_EQ(gProjects->Body(id), QStringLiteral("Beds\r\nseeds"));
}
