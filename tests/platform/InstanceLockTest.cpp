#include "InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(InstanceLock, OneCopyPerSettingsFileAndALockOfAGoneCopyIsTakenOver) {
    QTemporaryDir dir;
    const QString settings = dir.path() + QStringLiteral("/config/Quorvane.ini");
    {
        const InstanceLock first(settings);
        EXPECT_EQ(first.state(), InstanceLock::State::Held) << "the folder is made when it is not there";
        const InstanceLock second(settings);
        EXPECT_EQ(second.state(), InstanceLock::State::HeldElsewhere);
        EXPECT_EQ(InstanceLock(dir.path() + QStringLiteral("/other.ini")).state(), InstanceLock::State::Held)
            << "another settings file is another world";
    }
    EXPECT_EQ(InstanceLock(settings).state(), InstanceLock::State::Held) << "given back when the copy ends";

    // A copy that was killed left its lock behind; its process is gone.
    QFile left(InstanceLock::lockPath(settings));
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.write("2147483646\nQuorvane\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    left.close();
    EXPECT_EQ(InstanceLock(settings).state(), InstanceLock::State::Held);
}

TEST(InstanceLock, AFolderWhereNoLockCanBeMadeLetsTheProgramGoOn) {
    QTemporaryDir dir;
    QFile blocker(dir.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // The settings "folder" is a plain file: nothing can be made in it.
    EXPECT_EQ(InstanceLock(blocker.fileName() + QStringLiteral("/Quorvane.ini")).state(),
              InstanceLock::State::Unavailable);
}

TEST(InstanceLock, AProgramStartedByTheHolderDoesNotKeepTheLockAfterIt) {
    QTemporaryDir dir;
    const QString settings = dir.path() + QStringLiteral("/Quorvane.ini");
    QProcess child;
    {
        const InstanceLock holder(settings);
        ASSERT_EQ(holder.state(), InstanceLock::State::Held);
        child.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        ASSERT_TRUE(child.waitForStarted());
    }
    EXPECT_EQ(InstanceLock(settings).state(), InstanceLock::State::Held)
        << "a tour or an article still open must not keep the next start out";
    child.kill();
    child.waitForFinished();
}
