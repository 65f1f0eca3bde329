#pragma once

#include "core/Globals.h"
#include "core/HotKey.h"
#include "core/Settings.h"
#include "platform/FormPort.h"
#include "platform/IniStore.h"
#include "tests/dialogs/DialogWorld.h"
#include "tests/support/CoreObjects.h"
#include "tests/support/FakeForm.h"
#include "tests/support/FakeOrbin.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TestEnv.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>

// The settings windows' world: a settings file written first, the settings read from it, a fake orbin
// on top of the others, scripted boxes.
class SettingsWorld : public ::testing::Test {
protected:
    void SetUp() override {
        seed();
        objects.emplace();
        gHotKey = new HotKey();
        orbinForm.topMost = true;
        orbin.formPort = &orbinForm;
        gOrbinWindow = &orbin;
    }
    void TearDown() override {
        unloadLoadedForms();
        gOrbinWindow = nullptr;
        objects.reset();
    }
    // Runs before the settings are read: the place to write the settings file.
    virtual void seed() {}

    // Opens a settings window shown and active, so that the focus moves as it does for a person.
    template <class Form> static Form* open() {
        Form* form = Form::instance();
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form));
        return form;
    }
    // Presses Alt+key where focused is. A button's shortcut shows the button pressed and clicks it a moment
    // later: this waits until no button of the window is pressed any more, the click done.
    static void pressShortcut(QWidget* focused, Qt::Key key) {
        QList<QPointer<QAbstractButton>> buttons;
        for (QAbstractButton* b : focused->window()->findChildren<QAbstractButton*>())
            buttons << b;
        QTest::keyClick(focused, key, Qt::AltModifier);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return std::none_of(buttons.begin(), buttons.end(),
                                    [](const QPointer<QAbstractButton>& b) { return b && b->isDown(); });
            },
            30000));
    }
    // A value as the settings file holds it now.
    std::optional<QString> stored(const char* section, const char* name) const {
        return IniStore(env.settingsFile()).value(QString::fromLatin1(section), QString::fromLatin1(name));
    }
    // The loaded form of that name as its class.
    template <class Form> static Form* loaded(const char* name) {
        return qobject_cast<Form*>(dynamic_cast<QWidget*>(forms::find(QString::fromLatin1(name))));
    }
    // Acts on a modal form once the call that shows it is waiting for it.
    template <class Form> static void whenShown(const char* name, std::function<void(Form*)> act) {
        QTimer::singleShot(0, [name, act] {
            Form* form = loaded<Form>(name);
            ASSERT_NE(form, nullptr);
            act(form);
        });
    }
    int boxesTitled(const QString& title) const {
        int n = 0;
        for (const auto& box : prompter.boxes)
            n += box.title == title;
        return n;
    }

    TestEnv env;
    FakePrompter prompter;
    FakeOrbin orbin;
    FakeForm orbinForm{QStringLiteral("frmFloater")};
    std::optional<CoreObjects> objects;
};
