#include "platform/IniStore.h"
#include "tests/support/RealPrograms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>

namespace {

// The build installed into a prefix of its own, as `cmake --install <build> --prefix <prefix>` does.
class Installed : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // Its one component named, the install keeps its list of the files it made apart from the one that
        // a person's own install left in the build folder.
        QProcess install;
        install.start(QStringLiteral(QV_CMAKE),
                      {QStringLiteral("--install"), QStringLiteral(QV_BUILD_DIR), QStringLiteral("--prefix"),
                       prefix(), QStringLiteral("--component"), QStringLiteral("Unspecified")});
        ASSERT_TRUE(install.waitForFinished(120000));
        ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().toStdString();
    }

    // The programs it started go with the test, the tour among them.
    void TearDown() override {
        for (const pid_t id : processesWith("QUORVANE_SETTINGS_FILE=" + settings().toUtf8()))
            ::kill(id, SIGTERM);
    }

    QString settings() const { return dir.path() + QStringLiteral("/config/Quorvane/Quorvane.ini"); }
    QString prefix() const { return dir.path() + QStringLiteral("/prefix"); }
    QString entryPath() const { return prefix() + QStringLiteral("/share/applications/quorvane.desktop"); }
    QString programFolder() const { return prefix() + QStringLiteral("/lib/quorvane/"); }
    // A value of the desktop entry's group.
    QString entry(const QString& key) const {
        QFile file(entryPath());
        if (!file.open(QIODevice::ReadOnly)) return {};
        for (const QByteArray& line : file.readAll().split('\n'))
            if (line.startsWith(key.toUtf8() + '=')) return QString::fromUtf8(line.mid(key.size() + 1));
        return {};
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(Installed, TheProgramStartsFromItsDesktopEntryAndFindsItsTourReadersAndHelp) {
    // Its parts lie where it looks for them: the tour and the readers in Articles/ and the help file
    // beside the program.
    for (const QString& name :
         {QStringLiteral("Welcome"), QStringLiteral("Article1"), QStringLiteral("Article10")})
        EXPECT_TRUE(QFileInfo(programFolder() + QStringLiteral("Articles/") + name).isExecutable())
            << name.toStdString();
    QFile help(programFolder() + QStringLiteral("qvn_OnlineHelp.chm"));
    QFile shipped(QStringLiteral(QV_HELP_FILE));
    ASSERT_TRUE(help.open(QIODevice::ReadOnly) && shipped.open(QIODevice::ReadOnly));
    EXPECT_EQ(help.readAll(), shipped.readAll());
    const QImage icon(prefix() + QStringLiteral("/share/icons/hicolor/256x256/apps/") +
                      entry(QStringLiteral("Icon")) + QStringLiteral(".png"));
    EXPECT_EQ(icon.size(), QSize(256, 256)) << "the entry's icon stands in the desktop's icon theme";

    // Started as the desktop's menu starts it, with settings and a desktop data folder of its own and no
    // DataDirectory: the data goes to the desktop's data folder.
    const QStringList command = QProcess::splitCommand(entry(QStringLiteral("Exec")));
    ASSERT_EQ(command, QStringList{prefix() + QStringLiteral("/bin/quorvane")});
    const QStringList installed = QDir(programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QUORVANE_SETTINGS_FILE"), settings());
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path() + QStringLiteral("/share"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.path() + QStringLiteral("/config"));
    QProcess quorvane;
    quorvane.setProcessEnvironment(env);
    quorvane.start(command.first(), {});
    ASSERT_TRUE(quorvane.waitForStarted(10000));

    // At its first start it opens the tour from its own folder.
    const QByteArray mark = "QUORVANE_SETTINGS_FILE=" + settings().toUtf8();
    const QString tour = programFolder() + QStringLiteral("Articles/Welcome");
    pid_t tourId = 0;
    const bool tourStarted = waitUntil([&] {
        for (const pid_t id : processesWith(mark))
            if (QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(id)) == tour) tourId = id;
        return tourId != 0 || quorvane.state() != QProcess::Running;
    });
    EXPECT_TRUE(tourStarted && tourId != 0) << "the installed tour was started";

    // The session ends it through its quit path, which saves the day.
    ASSERT_EQ(quorvane.state(), QProcess::Running);
    ::kill(static_cast<pid_t>(quorvane.processId()), SIGTERM);
    ASSERT_TRUE(quorvane.waitForFinished(20000));
    EXPECT_EQ(quorvane.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(quorvane.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/share/Quorvane/items.xml")));
    EXPECT_EQ(IniStore(settings()).value(QStringLiteral("General"), QStringLiteral("FirstTime")),
              QStringLiteral("false"));
    EXPECT_EQ(QDir(programFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), installed)
        << "nothing is written into the program's own folder";
}

TEST_F(Installed, TheDesktopEntryIsValid) {
    const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validate.isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed (Debian package desktop-file-utils, which "
                        "tools/deps installs): the desktop entry was not checked";
    QProcess check;
    check.setProcessChannelMode(QProcess::MergedChannels);
    check.start(validate, {entryPath()});
    ASSERT_TRUE(check.waitForFinished(30000));
    EXPECT_EQ(check.exitCode(), 0);
    EXPECT_EQ(check.readAll(), QByteArray()) << "no errors, warnings or hints";
}
