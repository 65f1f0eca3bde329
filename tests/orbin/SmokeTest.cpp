#include "IniStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>

// The real program, started offscreen in a world of its own, ends through its quit routine.
TEST(Smoke, QuorvaneStartsAndEndsThroughItsQuitRoutine) {
    QTemporaryDir dir;
    const QString ini = dir.path() + QStringLiteral("/Quorvane.ini");
    IniStore store(ini);
    ASSERT_TRUE(store.setValue(QStringLiteral("General"), QStringLiteral("DataDirectory"),
                               dir.path() + QStringLiteral("/data")));
    ASSERT_TRUE(
        store.setValue(QStringLiteral("General"), QStringLiteral("FirstTime"), QStringLiteral("true")));

    QProcess quorvane;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUORVANE_SETTINGS_FILE"), ini);
    quorvane.setProcessEnvironment(env);
    quorvane.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/Quorvane"));
    quorvane.start();
    ASSERT_TRUE(quorvane.waitForStarted(10000));

    // The post-start routine marks the first use as done once the orbin is up.
    QElapsedTimer waited;
    waited.start();
    while (store.value(QStringLiteral("General"), QStringLiteral("FirstTime")) != QStringLiteral("false") &&
           waited.elapsed() < 20000 && quorvane.state() == QProcess::Running)
        QThread::msleep(50);
    ASSERT_EQ(store.value(QStringLiteral("General"), QStringLiteral("FirstTime")), QStringLiteral("false"));
    ASSERT_EQ(quorvane.state(), QProcess::Running);

    ::kill(static_cast<pid_t>(quorvane.processId()), SIGTERM);
    ASSERT_TRUE(quorvane.waitForFinished(20000));
    EXPECT_EQ(quorvane.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(quorvane.exitCode(), 0);
    EXPECT_TRUE(store.value(QStringLiteral("WindowPos"), QStringLiteral("frmFloater_top")).has_value())
        << "the orbin stored its place as it was unloaded";
}
