#include "IniStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
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

// Ended by the session while start-up shows a box about a damaged items file: the program quits
// cleanly and keeps the damaged file aside.
TEST(Smoke, EndedWhileAStartUpBoxIsUpQuitsCleanly) {
    QTemporaryDir dir;
    const QString ini = dir.path() + QStringLiteral("/Quorvane.ini");
    IniStore store(ini);
    ASSERT_TRUE(store.setValue(QStringLiteral("General"), QStringLiteral("DataDirectory"),
                               dir.path() + QStringLiteral("/data")));
    ASSERT_TRUE(
        store.setValue(QStringLiteral("General"), QStringLiteral("FirstTime"), QStringLiteral("false")));
    QDir().mkpath(dir.path() + QStringLiteral("/data"));
    QFile items(dir.path() + QStringLiteral("/data/items.xml"));
    ASSERT_TRUE(items.open(QIODevice::WriteOnly));
    items.write("<root><item><id>1</id>");
    items.close();

    QProcess quorvane;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUORVANE_SETTINGS_FILE"), ini);
    quorvane.setProcessEnvironment(env);
    quorvane.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/Quorvane"));
    quorvane.start();
    ASSERT_TRUE(quorvane.waitForStarted(10000));
    QThread::msleep(1500); // the first box of the damaged file is up by now
    ASSERT_EQ(quorvane.state(), QProcess::Running);
    ::kill(static_cast<pid_t>(quorvane.processId()), SIGTERM);
    ASSERT_TRUE(quorvane.waitForFinished(20000));
    EXPECT_EQ(quorvane.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(quorvane.exitCode(), 0);
    const QStringList kept =
        QDir(dir.path() + QStringLiteral("/data")).entryList({QStringLiteral("items.xml.damaged-*")});
    ASSERT_EQ(kept.size(), 1) << "the damaged file is kept aside";
    QFile damaged(dir.path() + QStringLiteral("/data/") + kept[0]);
    ASSERT_TRUE(damaged.open(QIODevice::ReadOnly));
    EXPECT_EQ(damaged.readAll(), QByteArray("<root><item><id>1</id>"));
}
