#include "tests/orbin/OrbinFixture.h"

#include "dialogs/DialogControls.h"
#include "orbin/frmAbout.h"
#include "orbin/frmWelcome.h"
#include "platform/IniStore.h"
#include "platform/Twips.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

const QString ProgramKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString FolderKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

// The search path and the desktop, set for one test and put back afterwards.
class PathScope {
public:
    explicit PathScope(const QString& path)
        : m_path(qgetenv("PATH")), m_desktop(qgetenv("XDG_CURRENT_DESKTOP")) {
        qputenv("PATH", path.toLocal8Bit());
        qunsetenv("XDG_CURRENT_DESKTOP");
    }
    ~PathScope() {
        qputenv("PATH", m_path);
        qputenv("XDG_CURRENT_DESKTOP", m_desktop);
    }

private:
    QByteArray m_path, m_desktop;
};

void makeProgram(const QString& path) {
    TestEnv::writeFile(path, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

class About : public Orbin {
protected:
    void SetUp() override {
        QCoreApplication::setApplicationVersion(QStringLiteral("1.0.19"));
        Orbin::SetUp();
    }
    void TearDown() override {
        QCoreApplication::setApplicationVersion(QString());
        Orbin::TearDown();
    }
    static void writeMachine(const QByteArray& text) {
        TestEnv::writeFile(IniStore::machineSettingsPath(), text);
    }
    bool unavailableShown() const {
        return !prompter.boxes.isEmpty() && prompter.boxes.last().text == frmAbout::UnavailableText;
    }

    QTemporaryDir bin;
    PathScope path{bin.path()};
};

} // namespace

TEST_F(About, TheBoxShowsTitleAndVersionAndClosesOnOkOrEsc) {
    action("mnuAbout")->trigger();
    QPointer<frmAbout> about = frmAbout::instance();
    ASSERT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About Quorvane"));
    EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("lblTitle"))->text(), QStringLiteral("Quorvane"));
    EXPECT_EQ(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(),
              QStringLiteral("Version 1.0.19"));
    EXPECT_FALSE(about->findChild<QLabel*>(QStringLiteral("lblDisclaimer"))->text().isEmpty());
    EXPECT_EQ(about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->text(),
              QStringLiteral("&System Info..."));
    // One box however often it is asked for.
    action("mnuAbout")->trigger();
    EXPECT_EQ(frmAbout::instance(), about.data());

    QTest::keyClick(about->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::Key_Escape);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmAbout")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(about.isNull());
    frmAbout::instance()->show();
    QTest::mouseClick(frmAbout::instance()->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmAbout")));
}

TEST_F(About, GetKeyValueReadsTextsAndDoubleWordsOfTheMachineSettings) {
    writeMachine("[" + ProgramKey.toUtf8() +
                 "]\nPATH=/opt/tools/sysinfo\nEmpty=\nCount=dword:00000a01\nAll=dword:ffffffff\n"
                 "Long=" +
                 QByteArray(1024, 'x') + "\n");
    QString value = QStringLiteral("left over");
    EXPECT_TRUE(
        frmAbout::GetKeyValue(frmAbout::RootKey::LocalMachine, ProgramKey, QStringLiteral("PATH"), value));
    EXPECT_EQ(value, QStringLiteral("/opt/tools/sysinfo"));
    EXPECT_TRUE(
        frmAbout::GetKeyValue(frmAbout::RootKey::LocalMachine, ProgramKey, QStringLiteral("empty"), value));
    EXPECT_EQ(value, QString());
    // A double word, every byte's digits kept: 0x00000a01 is 2561, all bits set the classic -1.
    EXPECT_TRUE(
        frmAbout::GetKeyValue(frmAbout::RootKey::LocalMachine, ProgramKey, QStringLiteral("Count"), value));
    EXPECT_EQ(value, QStringLiteral("2561"));
    EXPECT_TRUE(
        frmAbout::GetKeyValue(frmAbout::RootKey::LocalMachine, ProgramKey, QStringLiteral("All"), value));
    EXPECT_EQ(value, QStringLiteral("-1"));
    // Missing values and keys, and a text too long for the reading buffer, read as nothing.
    for (const auto& [key, name] :
         {std::pair{ProgramKey, QStringLiteral("Nothing")}, std::pair{FolderKey, QStringLiteral("MSINFO")},
          std::pair{ProgramKey, QStringLiteral("Long")}}) {
        value = QStringLiteral("left over");
        EXPECT_FALSE(frmAbout::GetKeyValue(frmAbout::RootKey::LocalMachine, key, name, value))
            << name.toStdString();
        EXPECT_EQ(value, QString());
    }
    // The file is the help registry's too, read the one way: a text marked as such reads as the text, a
    // double word that is no number as the text it is, and a value of another kind leaves the value alone.
    writeMachine("[" + ProgramKey.toUtf8() +
                 "]\nEscaped=sz:dword:00000001\nOdd=dword:not a number\nExpanding=expand:${HOME}/x\n");
    EXPECT_TRUE(
        frmAbout::GetKeyValue(frmAbout::RootKey::LocalMachine, ProgramKey, QStringLiteral("Escaped"), value));
    EXPECT_EQ(value, QStringLiteral("dword:00000001"));
    EXPECT_TRUE(
        frmAbout::GetKeyValue(frmAbout::RootKey::LocalMachine, ProgramKey, QStringLiteral("Odd"), value));
    EXPECT_EQ(value, QStringLiteral("dword:not a number"));
    value = QStringLiteral("left over");
    EXPECT_TRUE(frmAbout::GetKeyValue(frmAbout::RootKey::LocalMachine, ProgramKey,
                                      QStringLiteral("Expanding"), value));
    EXPECT_EQ(value, QStringLiteral("left over"));
}

TEST_F(About, SystemInfoStartsTheNamedProgramOrTheDesktopsOwnOrSaysThereIsNone) {
    frmAbout::instance()->show();
    QTest::mouseClick(frmAbout::instance()->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")),
                      Qt::LeftButton);
    ASSERT_TRUE(unavailableShown()) << "nothing named, nothing on the path";
    EXPECT_EQ(prompter.boxes.last().buttons, Prompter::Buttons::OK);
    EXPECT_EQ(prompter.boxes.last().icon, Prompter::Icon::None);
    EXPECT_TRUE(floater->isShrunk());
    EXPECT_TRUE(launcher.started.isEmpty());

    // The desktop's own program on the search path.
    makeProgram(bin.filePath(QStringLiteral("gnome-system-monitor")));
    frmAbout::instance()->StartSysInfo();
    ASSERT_EQ(launcher.started.size(), 1);
    EXPECT_EQ(launcher.started[0].first, bin.filePath(QStringLiteral("gnome-system-monitor")));
    EXPECT_EQ(launcher.started[0].second, Launcher::WindowState::Normal);

    // A folder holding the program, then the program's own path, come first.
    const QString folder = bin.filePath(QStringLiteral("tools"));
    makeProgram(folder + QStringLiteral("/MSINFO32.EXE"));
    writeMachine("[" + FolderKey.toUtf8() + "]\nMSINFO=" + folder.toUtf8() + "\n");
    frmAbout::instance()->StartSysInfo();
    EXPECT_EQ(launcher.started.last().first, folder + QStringLiteral("/MSINFO32.EXE"));
    writeMachine("[" + ProgramKey.toUtf8() + "]\nPATH=/opt/sysinfo\n[" + FolderKey.toUtf8() +
                 "]\nMSINFO=" + folder.toUtf8() + "\n");
    frmAbout::instance()->StartSysInfo();
    EXPECT_EQ(launcher.started.last().first, QStringLiteral("/opt/sysinfo"));

    // A program that does not start is no system information either.
    const qsizetype boxes = prompter.boxes.size();
    launcher.startSucceeds = false;
    frmAbout::instance()->StartSysInfo();
    EXPECT_EQ(prompter.boxes.size(), boxes + 1);
    EXPECT_TRUE(unavailableShown());
}

TEST_F(About, MachineSettingsThatCannotBeReadMeanNoSystemInfo) {
    // In place of the file, something no one can read it from.
    QDir().mkpath(IniStore::machineSettingsPath());
    frmAbout::instance()->StartSysInfo();
    EXPECT_TRUE(launcher.started.isEmpty());
    EXPECT_TRUE(unavailableShown());
}

TEST_F(Orbin, TheWelcomeCardUnfoldsTheGuideOnYesAndNoClosesIt) {
    action("mnuIntroduction")->trigger();
    QPointer<frmWelcome> card = frmWelcome::instance();
    ASSERT_TRUE(card->isVisible());
    EXPECT_EQ(card->windowTitle(), QStringLiteral("Click on the button called \"Start Task\""));
    EXPECT_EQ(card->height(), twips::toPixels(frmWelcome::FoldedHeight - dialogcontrols::CaptionAllowance));
    const QList<QLabel*> headings = card->findChildren<QLabel*>(QStringLiteral("Label3"));
    const QList<QLabel*> steps = card->findChildren<QLabel*>(QStringLiteral("Label4"));
    ASSERT_EQ(headings.size(), 3);
    ASSERT_EQ(steps.size(), 9);
    for (QLabel* l : headings + steps)
        EXPECT_FALSE(l->isVisible());
    shot(card, QStringLiteral("welcome-folded"));

    QTest::mouseClick(card->findChild<QPushButton*>(QStringLiteral("btnYes")), Qt::LeftButton);
    EXPECT_EQ(card->height(), twips::toPixels(frmWelcome::UnfoldedHeight - dialogcontrols::CaptionAllowance));
    EXPECT_FALSE(card->findChild<QPushButton*>(QStringLiteral("btnYes"))->isVisible());
    EXPECT_FALSE(card->findChild<QPushButton*>(QStringLiteral("btnNo"))->isVisible());
    for (QLabel* l : headings + steps) {
        EXPECT_TRUE(l->isVisible());
        EXPECT_LE(l->geometry().bottom(), card->height()) << l->text().toStdString() << " fits on the card";
    }
    shot(card, QStringLiteral("welcome-unfolded"));
    EXPECT_EQ(headings[1]->text(), QStringLiteral("Starting a task"));
    EXPECT_EQ(steps[1]->text(),
              QStringLiteral("Give the task a name. Let's call it \"Make a cup of tea\". "));
    EXPECT_EQ(steps[2]->text(),
              QStringLiteral(
                  "Estimate the task to take less than 5 minutes by clicking the button called \"< 5 min\""));
    EXPECT_EQ(card->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Getting started"));

    card->unloadForm();
    frmWelcome* again = frmWelcome::instance();
    again->show();
    QTest::mouseClick(again->findChild<QPushButton*>(QStringLiteral("btnNo")), Qt::LeftButton);
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmWelcome")));
}
