#pragma once

#include "core/Globals.h"
#include "core/Initialize.h"
#include "platform/FormPort.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeOrbin.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <QDate>
#include <gtest/gtest.h>

// Unloads every form a test left loaded and lets the deleted ones go.
inline void unloadLoadedForms() {
    for (FormPort* form : forms::loaded())
        form->unloadForm();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The program's objects with a fake orbin, the clock at ten on Monday 7 December 2026 and scripted boxes.
class DialogWorld : public ::testing::Test {
protected:
    static QDate today() { return QDate(2026, 12, 7); }

    void SetUp() override {
        createObjects();
        gOrbinWindow = &orbin;
    }
    void TearDown() override {
        unloadLoadedForms();
        gOrbinWindow = nullptr;
        releaseObjects();
    }

    TestEnv env;
    FakeClock clock{QDateTime(today(), QTime(10, 0))};
    FakePrompter prompter;
    FakeOrbin orbin;
};
