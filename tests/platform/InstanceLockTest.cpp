#include "platform/InstanceLock.h"
#include "tests/support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>

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

TEST(InstanceLock, ASecondCopyOnTheSameSettingsOrDataIsRefusedWhateverPathItWasGiven) {
    QTemporaryDir dir;
    const QString root = dir.path() + u'/';
    const QString settings = root + QStringLiteral("config/Quorvane.ini");
    const QString data = root + QStringLiteral("data/");
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("config")));
    QFile(settings).open(QIODevice::WriteOnly);
    ASSERT_TRUE(QFile::link(settings, root + QStringLiteral("link.ini")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("config"), root + QStringLiteral("configs")));
    ASSERT_TRUE(QFile::link(root + QStringLiteral("config/New.ini"), root + QStringLiteral("new.ini")));

    const InstanceLock first(settings, data);
    ASSERT_EQ(first.state(), InstanceLock::State::Held);
    EXPECT_TRUE(QFileInfo(data).isDir()) << "a data folder not made yet is made to hold the lock";
    EXPECT_EQ(QFileInfo(data).permissions() & 0x0077, QFileDevice::Permissions());
    ASSERT_TRUE(QFile::link(root + QStringLiteral("data"), root + QStringLiteral("datalink")));
    const auto second = [&](const char* settingsPath, const char* dataFolder) {
        return InstanceLock(root + QLatin1String(settingsPath), root + QLatin1String(dataFolder)).state();
    };
    // The same settings file, through a link to it or to its folder, or spelled otherwise.
    EXPECT_EQ(second("link.ini", "other/"), InstanceLock::State::HeldElsewhere);
    EXPECT_EQ(second("configs/Quorvane.ini", "other/"), InstanceLock::State::HeldElsewhere);
    EXPECT_EQ(second("data/../config//Quorvane.ini", "other/"), InstanceLock::State::HeldElsewhere);
    // Other settings that name the same data folder.
    EXPECT_EQ(second("other.ini", "data"), InstanceLock::State::HeldElsewhere);
    EXPECT_EQ(second("other.ini", "datalink/"), InstanceLock::State::HeldElsewhere);
    EXPECT_EQ(second("other.ini", "config/../data/"), InstanceLock::State::HeldElsewhere);
    EXPECT_EQ(second("other.ini", "other/"), InstanceLock::State::Held) << "another store is another world";
    {
        // A settings file not made yet, through a link that already points at it.
        const InstanceLock fresh(root + QStringLiteral("new.ini"), root + QStringLiteral("fresh/"));
        ASSERT_EQ(fresh.state(), InstanceLock::State::Held);
        EXPECT_EQ(second("config/New.ini", "other/"), InstanceLock::State::HeldElsewhere);
    }
    // A data folder that cannot be made holds no lock; the settings' lock still does.
    QFile(root + QStringLiteral("plain")).open(QIODevice::WriteOnly);
    EXPECT_EQ(second("third.ini", "plain/data/"), InstanceLock::State::Held);
}

TEST(InstanceLock, NoLockFileIsHeldOpenForWritingSoThatItsFolderCanBeMadeReadOnly) {
    QTemporaryDir dir;
    const InstanceLock lock(dir.path() + QStringLiteral("/Quorvane.ini"),
                            dir.path() + QStringLiteral("/data"));
    ASSERT_EQ(lock.state(), InstanceLock::State::Held);
    // (A file system with a file open for writing refuses to be remounted read-only.)
    int held = 0;
    for (const QFileInfo& fd :
         QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files | QDir::System)) {
        if (!fd.symLinkTarget().startsWith(QFileInfo(dir.path()).canonicalFilePath())) continue;
        ++held;
        QFile info(QStringLiteral("/proc/self/fdinfo/") + fd.fileName());
        ASSERT_TRUE(info.open(QIODevice::ReadOnly));
        const QByteArray flags = info.readAll().split('\n').value(1); // "flags:\t0100000" (octal)
        EXPECT_EQ(flags.mid(flags.indexOf('\t') + 1).toInt(nullptr, 8) & O_ACCMODE, O_RDONLY)
            << fd.symLinkTarget();
    }
    EXPECT_EQ(held, 2);
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
