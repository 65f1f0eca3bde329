#pragma once

#include "core/Game.h"
#include "core/GameControls.h"
#include "core/Items.h"
#include "dialogs/ItemOpeners.h"
#include "dialogs/dlgEditMeetingDetails.h"
#include "dialogs/dlgEditTaskDetails.h"
#include "tests/dialogs/DialogWorld.h"
#include "tests/support/ItemXml.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The dialog world showing today, with an items file holding the meetings of seed().
class MeetingDialogs : public DialogWorld {
protected:
    void SetUp() override {
        TestEnv::writeFile(env.dataDir() + QStringLiteral("items.xml"), itemsFileWith(seed()));
        DialogWorld::SetUp();
        gGame->controls().lblDate = today();
    }
    virtual QByteArray seed() { return {}; }

    template <class T = QWidget> static T* control(QWidget* form, const char* name) {
        T* found = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void click(QWidget* form, const char* name) {
        QTest::mouseClick(control<QAbstractButton>(form, name), Qt::LeftButton);
    }
    static void type(QWidget* form, const char* name, const QString& text) {
        auto* box = control<QLineEdit>(form, name);
        box->clear();
        QTest::keyClicks(box, text);
    }
    // Picks a day from the day list as the user does.
    static void chooseDay(QWidget* form, const QString& label) {
        auto* list = control<QComboBox>(form, "cmbDate");
        const int index = list->findText(label);
        ASSERT_GE(index, 0) << label.toStdString();
        list->setCurrentIndex(index);
        Q_EMIT list->activated(index);
    }
    static QString fileText() { return QString::fromUtf8(TestEnv::readFile(Items::itemsPath())); }
    // The edit dialogs opened on an item as the orbin opens them.
    static dlgEditMeetingDetails* editMeeting(int id) {
        openEditMeeting(Integer(id));
        return dlgEditMeetingDetails::instance();
    }
    static dlgEditTaskDetails* editTask(int id) {
        openEditTask(Integer(id));
        return dlgEditTaskDetails::instance();
    }
};
