#include "platform/IniStore.h"
#include "tests/support/RealPrograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

// The real program, offscreen, in a world of its own: its settings file and data folder in a temporary
// directory.
struct RealProgram {
    QTemporaryDir dir;
    IniStore store{dir.path() + QStringLiteral("/Quorvane.ini")};
    QProcess process;

    // The programs it started (the tour on a first start) run on by themselves; they go with the test.
    ~RealProgram() {
        for (const pid_t id : processesWith("QUORVANE_SETTINGS_FILE=" + store.path().toUtf8()))
            if (id != static_cast<pid_t>(process.processId())) ::kill(id, SIGTERM);
    }

    QString dataDir() const { return dir.path() + QStringLiteral("/data/"); }
    std::optional<QString> setting(const char* section, const char* name) const {
        return store.value(QString::fromLatin1(section), QString::fromLatin1(name));
    }
    void start(const QString& firstTime) {
        store.setValue(QStringLiteral("General"), QStringLiteral("DataDirectory"), dataDir());
        store.setValue(QStringLiteral("General"), QStringLiteral("FirstTime"), firstTime);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QUORVANE_SETTINGS_FILE"), store.path());
        // The program says in its log when a message box is up.
        env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("quorvane.prompter.info=true"));
        process.setProcessEnvironment(env);
        process.setProgram(QCoreApplication::applicationDirPath() + QStringLiteral("/Quorvane"));
        process.start();
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    // Waits until the program's log says that a message box is up; false when it never does.
    bool waitForABox() {
        QByteArray log;
        QElapsedTimer waited;
        waited.start();
        while (!log.contains("box up:") && process.state() == QProcess::Running && waited.elapsed() < 60000) {
            process.waitForReadyRead(1000);
            log += process.readAllStandardError();
        }
        return log.contains("box up:");
    }
    // The session ends the program; it must end cleanly, with exit code 0.
    void endSession() {
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        ASSERT_TRUE(process.waitForFinished(20000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0);
    }
};

} // namespace

TEST(Smoke, QuorvaneStartsAndEndsThroughItsQuitRoutine) {
    RealProgram quorvane;
    quorvane.start(QStringLiteral("true"));
    // The post-start routine marks the first use as done once the orbin is up.
    waitUntil([&] {
        return quorvane.setting("General", "FirstTime") == QStringLiteral("false") ||
               quorvane.process.state() != QProcess::Running;
    });
    ASSERT_EQ(quorvane.setting("General", "FirstTime"), QStringLiteral("false"));
    ASSERT_EQ(quorvane.process.state(), QProcess::Running);
    quorvane.endSession();
    EXPECT_TRUE(quorvane.setting("WindowPos", "frmFloater_top").has_value())
        << "the orbin stored its place as it was unloaded";
    EXPECT_TRUE(QFile::exists(quorvane.dataDir() + QStringLiteral("items.xml"))) << "saved on the way out";
}

// Ended by the session while start-up shows a box about a damaged items file: the program quits
// cleanly and keeps the damaged file aside.
TEST(Smoke, EndedWhileAStartUpBoxIsUpQuitsCleanly) {
    RealProgram quorvane;
    QDir().mkpath(quorvane.dataDir());
    QFile items(quorvane.dataDir() + QStringLiteral("items.xml"));
    ASSERT_TRUE(items.open(QIODevice::WriteOnly));
    items.write("<root><item><id>1</id>");
    items.close();

    quorvane.start(QStringLiteral("false"));
    ASSERT_TRUE(quorvane.waitForABox()) << "the box about the damaged file comes up";
    ASSERT_EQ(quorvane.process.state(), QProcess::Running);
    quorvane.endSession();
    const QStringList kept = QDir(quorvane.dataDir()).entryList({QStringLiteral("items.xml.damaged-*")});
    ASSERT_EQ(kept.size(), 1) << "the damaged file is kept aside";
    QFile damaged(quorvane.dataDir() + kept[0]);
    ASSERT_TRUE(damaged.open(QIODevice::ReadOnly));
    EXPECT_EQ(damaged.readAll(), QByteArray("<root><item><id>1</id>"));
}

// Ended by the session while the items file cannot be saved (its place taken by a folder, as a data folder
// gone read-only would refuse it): the program still ends at once, saves all that can be saved, and logs
// what failed.
TEST(Smoke, EndedWhileASaveFailsItEndsSavesTheRestAndLogsTheFailure) {
    RealProgram quorvane;
    quorvane.start(QStringLiteral("false"));
    // The first start of a day makes the article task; start-up is then all but done.
    waitUntil([&] {
        return quorvane.setting("Articles", "LastCreatedDate") ||
               quorvane.process.state() != QProcess::Running;
    });
    ASSERT_TRUE(quorvane.setting("Articles", "LastCreatedDate").has_value());
    ASSERT_TRUE(QDir().mkpath(quorvane.dataDir() + QStringLiteral("items.xml")));

    quorvane.endSession();
    EXPECT_TRUE(QFile::exists(quorvane.dataDir() + QStringLiteral("projects.xml")));
    EXPECT_TRUE(QFile::exists(quorvane.dataDir() + QStringLiteral("status.ini")));
    EXPECT_TRUE(quorvane.setting("WindowPos", "frmFloater_top").has_value());
    QFile log(quorvane.dataDir() + QStringLiteral("msglog.txt"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Items.saveItemXML: "));
    EXPECT_TRUE(quorvane.process.readAllStandardError().contains("Items.saveItemXML: "));
}
