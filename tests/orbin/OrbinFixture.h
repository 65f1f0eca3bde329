#pragma once

#include "core/Globals.h"
#include "core/Initialize.h"
#include "orbin/frmFloater.h"
#include "platform/FormPort.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeLauncher.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/ItemXml.h"
#include "tests/support/TestEnv.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

// A program started as far as the orbin: the objects, a shown orbin, scripted boxes, a recording launcher.
class Orbin : public ::testing::Test {
protected:
    void SetUp() override {
        seed();
        createObjects();
        floater = new frmFloater();
        gOrbinWindow = floater;
        floater->showWindow();
    }
    void TearDown() override {
        closeMenus();
        if (!gQuitting) quitApplication(true);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Runs before the objects are made: the place to write settings and data files.
    virtual void seed() {}
    // Writes the items file with these items (from seed()).
    void writeItems(const QByteArray& items) const {
        TestEnv::writeFile(env.dataDir() + QStringLiteral("items.xml"), itemsFileWith(items));
    }
    // The clock's day and the day after, as the items file writes them.
    static inline const QString Today = QStringLiteral("20261207");
    static inline const QString Tomorrow = QStringLiteral("20261208");

    template <class T = QWidget> T* control(const char* name) const {
        return floater->findChild<T*>(QString::fromLatin1(name));
    }
    QAction* action(const char* name) const {
        return floater->mnuPopUp()->findChild<QAction*>(QString::fromLatin1(name),
                                                        Qt::FindChildrenRecursively);
    }
    static void closeMenus() {
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    }
    static bool menuOpen() {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        return menu && menu->objectName() == QStringLiteral("mnuPopUp");
    }
    // The double-click interval runs out: a pending menu opens now instead of after a wait.
    void passDoubleClickInterval() const {
        if (floater->menuPending()) floater->showPopupMenu();
    }
    // Saves what w shows as NAME.png in the folder named by QV_SHOTS_DIR, when it is set (the look of a
    // window, checked by eye on a real display).
    static void shot(QWidget* w, const QString& name) {
        const QString dir = qEnvironmentVariable("QV_SHOTS_DIR");
        if (dir.isEmpty()) return;
        QCoreApplication::processEvents();
        w->grab().save(dir + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
    int quitQuestions() const {
        int n = 0;
        for (const auto& box : prompter.boxes)
            if (box.text == QStringLiteral("Do you really want to close down Quorvane?")) ++n;
        return n;
    }

    TestEnv env;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(10, 0))};
    FakePrompter prompter;
    FakeLauncher launcher;
    QPointer<frmFloater> floater;
};
