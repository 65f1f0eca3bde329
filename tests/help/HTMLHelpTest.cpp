#include "core/HTMLHelp.h"

#include "platform/IniStore.h"
#include "platform/MachineRegistry.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

// The tests' view of the help object's private helpers.
struct HTMLHelpProbe {
    static QString versionText(const QString& path) { return HTMLHelp::getFileVersionText(path); }
    static quint32 root(const QString& name) { return HTMLHelp::rootKeyFromName(name); }
    static QString longPath(const QString& path) { return HTMLHelp::toLongPath(path); }
    static QString cut(const QString& text) { return HTMLHelp::cutAtNull(text); }
    static QStringList list(const QString& root, const QString& key) {
        return HTMLHelp::listRegistryKey(root, key);
    }
};

namespace {

const QString HelpFilesSection = QStringLiteral("Software\\Microsoft\\Windows\\HTML Help");
const QString ViewerSection =
    QStringLiteral("HKCR\\CLSID\\{4662DAB0-D393-11D0-9A56-00C04FB68B66}\\InprocServer32");
const QString BrowserSection =
    QStringLiteral("HKCR\\CLSID\\{0A89A860-D7B1-11CE-8350-444553540000}\\InProcServer32");

// A viewer that records every call and answers with a set window handle.
struct FakeViewer final : HelpViewer {
    struct Call {
        qint32 owner;
        QByteArray file;
        int command;
        hh::Data data;
    };
    FakeViewer() { setHelpViewer(this); }
    ~FakeViewer() override { setHelpViewer(nullptr); }
    FakeViewer(const FakeViewer&) = delete;
    FakeViewer& operator=(const FakeViewer&) = delete;

    qint32 htmlHelp(qint32 owner, const QByteArray& file, int command, const hh::Data& data) override {
        calls.append({owner, file, command, data});
        return handle;
    }
    QPoint cursorPosition() override { return {300, 200}; }
    void deleteSystemMenuCommand(qint32 window, int command) override {
        menuDeletes.append({window, command});
    }
    void sendSystemCommand(qint32 window, int command) override { systemCommands.append({window, command}); }

    QList<Call> calls;
    QList<QPair<qint32, int>> menuDeletes;
    QList<QPair<qint32, int>> systemCommands;
    qint32 handle = 4711;
};

struct World {
    TestEnv env;
    FakePrompter prompter;
    FakeViewer viewer;
    HTMLHelp help;

    World() { MachineRegistry::clearProvided(); }
    ~World() { MachineRegistry::clearProvided(); }
    QString machineFile() const { return IniStore::machineSettingsPath(); }
    void writeMachine(const QByteArray& text) const { TestEnv::writeFile(machineFile(), text); }
    QString file(const QString& relative, const QByteArray& bytes = "ITSF") const {
        const QString path = env.root() + relative;
        TestEnv::writeFile(path, bytes);
        return path;
    }
    QStringList boxTexts() const {
        QStringList out;
        for (const auto& b : prompter.boxes)
            out.append(b.text);
        return out;
    }
};

} // namespace

TEST(HTMLHelp, TheMachineStoreLiesBesideTheUsersOwnAndNeverInIt) {
    World w;
    EXPECT_EQ(w.machineFile(), w.env.root() + QStringLiteral("config/Quorvane/Machine.ini"));
    w.help.HHRegister(w.file(QStringLiteral("docs/Guide.chm")));
    EXPECT_TRUE(QFile::exists(w.machineFile()));
    EXPECT_FALSE(QFile::exists(w.env.settingsFile()));
}

TEST(HTMLHelp, DisplayCommandsCallTheViewerWithTheirCommandAndData) {
    World w;
    const QString chm = w.file(QStringLiteral("docs/Guide.CHM"));
    w.help.setCHMFile(chm);
    w.help.setHHTopicURL(QStringLiteral("tasks.htm"));
    w.help.setHHTopicID(1002);
    w.help.setHHKeyword(QStringLiteral("estimate;score"));
    w.help.setHHALink(QStringLiteral("OrbinControls"));
    w.help.setHHDefaultURL(QStringLiteral("index.htm"));
    w.help.setHHMsgText(QStringLiteral("Nothing found"));
    w.help.setHHMsgTitle(QStringLiteral("Lookup"));

    w.help.HHDisplayContents(77);
    w.help.HHDisplayIndex(77);
    w.help.HHDisplaySearch(77);
    w.help.HHDisplayTopicURL(77);
    w.help.HHDisplayTopicID(77);
    w.help.HHDisplayKeyword(77);
    w.help.HHDisplayALink(77);

    const QList<int> commands{hh::DisplayToc,  hh::DisplayIndex, hh::DisplaySearch, hh::DisplayTopic,
                              hh::HelpContext, hh::DisplayTopic, hh::KeywordLookup, hh::ALinkLookup};
    ASSERT_EQ(w.viewer.calls.size(), commands.size());
    for (qsizetype i = 0; i < commands.size(); ++i) {
        EXPECT_EQ(w.viewer.calls[i].command, commands[i]) << i;
        EXPECT_EQ(w.viewer.calls[i].owner, 0) << "not on top: the viewer has no owner";
        EXPECT_EQ(w.viewer.calls[i].file, QFile::encodeName(chm));
    }
    EXPECT_EQ(std::get<QByteArray>(w.viewer.calls[3].data), QByteArray("tasks.htm"));
    EXPECT_EQ(std::get<qint64>(w.viewer.calls[4].data), 1002);
    EXPECT_EQ(std::get<hh::SearchQuery>(w.viewer.calls[2].data).size, 32);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(w.viewer.calls[5].data));
    const auto& keyword = std::get<hh::LinkLookup>(w.viewer.calls[6].data);
    EXPECT_EQ(keyword.size, 28);
    EXPECT_EQ(keyword.keywords, QByteArray("estimate;score"));
    EXPECT_EQ(keyword.url, QByteArray("index.htm"));
    EXPECT_EQ(keyword.msgText, QByteArray("Nothing found"));
    EXPECT_EQ(keyword.msgTitle, QByteArray("Lookup"));
    EXPECT_EQ(std::get<hh::LinkLookup>(w.viewer.calls[7].data).keywords, QByteArray("OrbinControls"));
    EXPECT_TRUE(w.prompter.boxes.isEmpty());
    EXPECT_EQ(w.help.HHWndHandle(), 4711);

    // On top, the caller's window owns the viewer; a window definition follows the file after ">".
    w.viewer.calls.clear();
    w.help.setHHShowOnTop(true);
    w.help.setHHWindow(QStringLiteral(" main "));
    w.help.HHDisplayContents(77);
    EXPECT_EQ(w.viewer.calls.at(0).owner, 77);
    EXPECT_EQ(w.viewer.calls.at(0).file, QFile::encodeName(chm + QStringLiteral("> main ")));
}

TEST(HTMLHelp, AFileThatIsNoHelpFileOrIsNotThereShowsItsBoxAndNothingElse) {
    World w;
    w.help.setCHMFile(w.file(QStringLiteral("docs/Guide.chm.bak")));
    w.help.HHDisplayContents(0);
    ASSERT_EQ(w.prompter.boxes.size(), 1);
    EXPECT_EQ(w.prompter.boxes[0].text, w.help.CHMFile() + QStringLiteral(" is not a valid HTML Help file."));
    EXPECT_EQ(w.prompter.boxes[0].title, QStringLiteral("HTML Help Class"));
    EXPECT_EQ(w.prompter.boxes[0].icon, Prompter::Icon::Exclamation);

    // A bare name is completed from the program folder before anything is looked for.
    w.help.setCHMFile(QStringLiteral("qvn_OnlineHelp.chm"));
    w.help.HHDisplayContents(0);
    const QString full = w.env.programDir() + QStringLiteral("qvn_OnlineHelp.chm");
    EXPECT_EQ(w.help.CHMFile(), full);
    EXPECT_EQ(
        w.prompter.boxes.back().text,
        QStringLiteral("The file ") + full +
            QStringLiteral(" does not exist.\nPlease make sure the correct path and file name have been "
                           "specified."));
    EXPECT_TRUE(w.viewer.calls.isEmpty());

    // A keyword lookup is one display: one box.
    w.prompter.boxes.clear();
    w.help.setCHMFile(QStringLiteral("qvn_OnlineHelp.chm"));
    w.help.HHDisplayKeyword(0);
    EXPECT_EQ(w.prompter.boxes.size(), 1);

    // Nothing showed: reading the handle says so.
    EXPECT_EQ(w.help.HHWndHandle(), 0);
    EXPECT_EQ(w.prompter.boxes.back().text, QStringLiteral("No HTML Help window handle to retrieve."));
}

TEST(HTMLHelp, ABareNameIsFoundThroughItsRegistrationWhileThatFileIsThere) {
    World w;
    const QString registered = w.file(QStringLiteral("shared/qvn_OnlineHelp.chm"));
    w.help.HHRegister(registered);
    EXPECT_EQ(IniStore(w.machineFile()).value(HelpFilesSection, QStringLiteral("qvn_OnlineHelp.chm")),
              w.env.root() + QStringLiteral("shared/"));

    QString bare = QStringLiteral("qvn_OnlineHelp.chm");
    EXPECT_TRUE(w.help.EnsureFileExists(bare));
    EXPECT_EQ(bare, registered);
    EXPECT_EQ(w.help.HHRegFileName(), QStringLiteral("qvn_OnlineHelp.chm"));
    EXPECT_EQ(w.help.HHRegFilePath(), w.env.root() + QStringLiteral("shared/"));
    EXPECT_TRUE(w.help.HHRegFileExists());
    // That registration belongs to its own name: an empty name finds nothing through it.
    QString empty;
    EXPECT_FALSE(w.help.EnsureFileExists(empty));
    EXPECT_EQ(w.prompter.boxes.size(), 1);
    w.prompter.boxes.clear();

    // The registered file goes away: the program folder's copy is used, without a word about the old one.
    QFile::remove(registered);
    const QString local = w.file(QStringLiteral("program/qvn_OnlineHelp.chm"));
    bare = QStringLiteral("qvn_OnlineHelp.chm");
    EXPECT_TRUE(w.help.EnsureFileExists(bare));
    EXPECT_EQ(bare, local);
    EXPECT_FALSE(w.help.HHRegFileExists());
    EXPECT_TRUE(w.prompter.boxes.isEmpty());

    // With neither there the box names the program folder's file; a folder of that name is no file.
    QFile::remove(local);
    QDir().mkpath(local);
    bare = QStringLiteral("qvn_OnlineHelp.chm");
    EXPECT_FALSE(w.help.EnsureFileExists(bare));
    ASSERT_EQ(w.prompter.boxes.size(), 1);
    EXPECT_TRUE(
        w.prompter.boxes[0].text.startsWith(QStringLiteral("The file ") + local + QStringLiteral(" does")));
}

TEST(HTMLHelp, ARegistrationWithoutAFolderIsCheckedOnceInTheProgramFolder) {
    World w;
    w.writeMachine("[" + HelpFilesSection.toUtf8() + "]\nqvn_OnlineHelp.chm=\n");
    QString bare = QStringLiteral("qvn_OnlineHelp.chm");
    EXPECT_FALSE(w.help.EnsureFileExists(bare)); // returns at all: no endless lookup
    EXPECT_EQ(w.prompter.boxes.size(), 1);

    const QString local = w.file(QStringLiteral("program/qvn_OnlineHelp.chm"));
    w.prompter.boxes.clear();
    w.help.HHCheckRegistry(QStringLiteral("qvn_OnlineHelp.chm"));
    EXPECT_EQ(w.help.HHRegFileName(), QStringLiteral("qvn_OnlineHelp.chm"));
    EXPECT_EQ(w.help.HHRegFilePath(), QString());
    EXPECT_TRUE(w.help.HHRegFileExists());
    EXPECT_TRUE(w.prompter.boxes.isEmpty());
    // That file is the one used, by its full path, wherever the program was started from.
    bare = QStringLiteral("qvn_OnlineHelp.chm");
    EXPECT_TRUE(w.help.EnsureFileExists(bare));
    EXPECT_EQ(bare, local);
    EXPECT_TRUE(w.prompter.boxes.isEmpty());
}

TEST(HTMLHelp, RegisteringTwiceOrUnregisteringAStrangerChangesNothing) {
    World w;
    const QString chm = w.file(QStringLiteral("docs/Guide.chm"));
    w.help.HHRegister(chm);
    const QByteArray stored = TestEnv::readFile(w.machineFile());
    w.help.HHRegister(chm);
    EXPECT_EQ(TestEnv::readFile(w.machineFile()), stored);
    ASSERT_EQ(w.prompter.boxes.size(), 1);
    EXPECT_EQ(w.prompter.boxes[0].text,
              QStringLiteral("The file ") + chm +
                  QStringLiteral(
                      " is already registered.  HHRegister will not be run as no action need be taken."));
    EXPECT_EQ(w.prompter.boxes[0].icon, Prompter::Icon::Information);

    w.help.HHUnRegister(QStringLiteral("Other.chm"));
    EXPECT_EQ(w.prompter.boxes.back().text,
              QStringLiteral(
                  "The file Other.chm is not registered.  HHUnRegister will not be run as no action need "
                  "be taken."));
    EXPECT_EQ(TestEnv::readFile(w.machineFile()), stored);

    w.help.HHUnRegister(chm);
    EXPECT_FALSE(IniStore(w.machineFile()).value(HelpFilesSection, QStringLiteral("Guide.chm")).has_value());
    EXPECT_EQ(w.help.HHRegFileName(), QString());
    EXPECT_FALSE(w.help.HHRegFileExists());
}

TEST(HTMLHelp, AMachineStoreThisUserMayNotWriteRefusesRegistrationAndInstallation) {
    World w;
    const QString chm = w.file(QStringLiteral("docs/Guide.chm"));
    MachineRegistry::provideKey(
        MachineRegistry::LocalMachine,
        QStringLiteral("SOFTWARE\\Classes\\TypeLib\\{ADB880A2-D8FF-11CF-9377-00AA003B7A11}"));
    EXPECT_TRUE(w.help.HHInstalled());

    // A place that cannot be written as a file at all (rights bind even the superuser there).
    const QString blocked = w.env.root() + QStringLiteral("blocked.ini");
    QDir().mkpath(blocked);
    qputenv("QUORVANE_MACHINE_SETTINGS_FILE", blocked.toUtf8());
    EXPECT_FALSE(w.help.HHInstalled());
    w.help.HHRegister(chm);
    EXPECT_EQ(w.boxTexts(), QStringList{QStringLiteral("HTML Help Class: HHRegister Error")});
    qunsetenv("QUORVANE_MACHINE_SETTINGS_FILE");

    // A file this user may only read.
    w.writeMachine("; shared by everyone\n");
    QFile::setPermissions(w.machineFile(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    if (!QFileInfo(w.machineFile()).isWritable()) {
        EXPECT_FALSE(w.help.HHInstalled());
        w.help.HHRegister(chm);
        EXPECT_EQ(w.prompter.boxes.size(), 2);
        EXPECT_EQ(TestEnv::readFile(w.machineFile()), QByteArray("; shared by everyone\n"));
    }
    QFile::setPermissions(w.machineFile(), QFile::ReadOwner | QFile::WriteOwner);
}

TEST(HTMLHelp, VersionsComeFromTheLibrariesFileNamesAndAreNamedHonestly) {
    World w;
    // Nothing registered: the stop boxes, and no versions.
    EXPECT_EQ(w.help.HHVersion(), QString());
    EXPECT_EQ(w.help.IEFriendlyName(), QStringLiteral("unknown"));
    EXPECT_EQ(w.boxTexts(),
              (QStringList{QStringLiteral("Hhctrl.ocx is not registered.  Please install HTML Help."),
                           QStringLiteral("Shdocvw.dll is not registered.  Please install Internet "
                                          "Explorer.")}));
    EXPECT_EQ(w.prompter.boxes[0].icon, Prompter::Icon::Critical);

    w.prompter.boxes.clear();
    const QString viewer = w.file(QStringLiteral("lib/libchm.so.1.0.0"));
    const QString pages = w.file(QStringLiteral("lib/libQt6Widgets.so.6.4.2"));
    MachineRegistry::provide(MachineRegistry::ClassesRoot, ViewerSection.mid(5), QString(), viewer);
    MachineRegistry::provide(MachineRegistry::ClassesRoot, BrowserSection.mid(5), QString(), pages);
    EXPECT_EQ(w.help.HHVersion(), QStringLiteral("1.00.0000"));
    EXPECT_EQ(w.help.IEVersion(), QStringLiteral("6.04.02.00"));
    EXPECT_EQ(w.help.HHFriendlyName(), QStringLiteral("unknown"));
    EXPECT_TRUE(w.prompter.boxes.isEmpty());

    // An entry in the machine file wins over what the program provides; a moved file is reported.
    w.writeMachine("[" + ViewerSection.toUtf8() + "]\n@=expand:${QV_TEST_LIBS}/libchm.so.1.0.0\n");
    qputenv("QV_TEST_LIBS", (w.env.root() + QStringLiteral("gone")).toUtf8());
    w.help.HHVersion();
    qunsetenv("QV_TEST_LIBS");
    EXPECT_EQ(w.boxTexts(),
              QStringList{QStringLiteral("Hhctrl.ocx is not in its registered location.  Please "
                                         "reinstall HTML Help.")});
}

TEST(HTMLHelp, VersionTextsAndMinimumsFollowTheirRules) {
    EXPECT_EQ(HTMLHelpProbe::versionText(QStringLiteral("/x/hh.so.4.72.7290.0")),
              QStringLiteral("4.72.7290.00"));
    EXPECT_EQ(HTMLHelpProbe::versionText(QStringLiteral("/x/ie.so.5.0.2919.800")),
              QStringLiteral("5.00.2919.800"));
    EXPECT_EQ(HTMLHelpProbe::versionText(QStringLiteral("/x/ie.so.4.70.1155")),
              QStringLiteral("4.70.1155.00"));
    EXPECT_EQ(HTMLHelpProbe::versionText(QStringLiteral("/x/a.so.2.1.0.7")), QStringLiteral("2.01.0007"));
    // The third number is a signed word: past 32767 it counts as below 1.
    EXPECT_EQ(HTMLHelpProbe::versionText(QStringLiteral("/x/a.so.1.2.40000.3")), QStringLiteral("1.02.0003"));
    EXPECT_EQ(HTMLHelpProbe::versionText(QStringLiteral("/x/plain.so")), QString());

    World w;
    const QString viewer = w.file(QStringLiteral("lib/hh.so.4.74.8702.0"));
    const QString pages = w.file(QStringLiteral("lib/ie.so.4.70.1155.0"));
    MachineRegistry::provide(MachineRegistry::ClassesRoot, ViewerSection.mid(5), QString(), viewer);
    MachineRegistry::provide(MachineRegistry::ClassesRoot, BrowserSection.mid(5), QString(), pages);
    EXPECT_TRUE(w.help.HHVerifyMinConfig(16, 256)); // "4.74.8702.00" >= "4.72.7290"
    EXPECT_EQ(w.help.HHFriendlyName(), QStringLiteral("1.3"));
    EXPECT_EQ(w.help.IEVersion(), QStringLiteral("4.70.1155.00"));
    EXPECT_EQ(w.help.IEFriendlyName(), QStringLiteral("unknown")) << "the table holds 4.70.1155.0000";
    EXPECT_FALSE(w.help.HHVerifyMinConfig(16, 257));
    EXPECT_FALSE(w.help.HHVerifyMinConfig(27, 256));
    EXPECT_EQ(w.help.HHFriendlyName(), QStringLiteral("unknown"));

    // Compared as text: a version beginning with 10 is less than one beginning with 4.
    const QString newer = w.file(QStringLiteral("lib/hh.so.10.0.1.0"));
    MachineRegistry::provide(MachineRegistry::ClassesRoot, ViewerSection.mid(5), QString(), newer);
    EXPECT_FALSE(w.help.HHVerifyMinConfig(16, 256));
    EXPECT_TRUE(w.prompter.boxes.isEmpty());
}

TEST(HTMLHelp, RegistryHelpersReadTheirTextsAsTheyStand) {
    World w;
    EXPECT_EQ(HTMLHelpProbe::root(QStringLiteral("hklm")), MachineRegistry::LocalMachine);
    EXPECT_EQ(HTMLHelpProbe::root(QStringLiteral("HKCR")), MachineRegistry::ClassesRoot);
    EXPECT_EQ(HTMLHelpProbe::root(QStringLiteral("HKEY")), 0u);
    EXPECT_EQ(HTMLHelpProbe::root(w.file(QStringLiteral("some.file"))), 1u);
    EXPECT_EQ(HTMLHelpProbe::cut(QStringLiteral("abc") + QChar(0) + QStringLiteral("def")),
              QStringLiteral("abc"));
    EXPECT_EQ(HTMLHelpProbe::longPath(QStringLiteral("/no/tilde")), QStringLiteral("/no/tilde"));
    const QString tilde = w.file(QStringLiteral("a~1/b.chm"));
    EXPECT_EQ(HTMLHelpProbe::longPath(tilde), tilde);

    EXPECT_EQ(HTMLHelpProbe::list(QStringLiteral("HKLM"), QStringLiteral("Software\\None")),
              QStringList{QStringLiteral("Error")});
    w.writeMachine("[Software\\Vendor]\n[SOFTWARE\\Vendor\\One]\n@=first\n"
                   "[Software\\Vendor\\Two\\Deeper]\nx=1\n[HKCR\\Software\\Vendor\\Other]\n");
    EXPECT_EQ(HTMLHelpProbe::list(QStringLiteral("HKLM"), QStringLiteral("Software\\Vendor")),
              (QStringList{QStringLiteral("One=first"), QStringLiteral("Two=")}));
}

TEST(HTMLHelp, APopupCarriesItsStyleOnceAndThenTheDefaults) {
    World w;
    w.help.setHHPopupType(4);
    w.help.setHHPopupText(QStringLiteral("Drag here to move the orbin."));
    w.help.setHHPopupTextBold(true);
    w.help.setHHPopupTextItalic(true);
    w.help.setHHPopupTextFont(QStringLiteral("DejaVu Sans"));
    w.help.setHHPopupTextSize(QStringLiteral("12"));
    w.help.setHHPopupCustomColors(true);
    w.help.setHHPopupCustomTextColor(0xFF);
    w.help.setHHPopupCustomBackColor(0xFFFFFF);
    w.help.setHHPopupTextColor(0x10);
    w.help.HHDisplayPopup(33);
    w.help.HHDisplayPopup(33);

    ASSERT_EQ(w.viewer.calls.size(), 2);
    const auto& first = std::get<hh::Popup>(w.viewer.calls[0].data);
    EXPECT_EQ(w.viewer.calls[0].command, hh::DisplayTextPopup);
    EXPECT_EQ(w.viewer.calls[0].owner, 33);
    EXPECT_TRUE(w.viewer.calls[0].file.isEmpty());
    EXPECT_EQ(first.text, QByteArray("Drag here to move the orbin."));
    EXPECT_EQ(first.font, QByteArray("DejaVu Sans, 12, ascii, Bold Italic "));
    EXPECT_EQ(first.textColor, 0xFF);
    EXPECT_EQ(first.backColor, 0xFFFFFF);
    EXPECT_EQ(first.pt, QPoint(300, 200));
    EXPECT_EQ(first.margins, QRect(QPoint(-1, -1), QPoint(-1, -1)));
    const auto& second = std::get<hh::Popup>(w.viewer.calls[1].data);
    EXPECT_EQ(second.font, QByteArray("Arial, 10, ascii, "));
    EXPECT_EQ(second.textColor, 0);
    EXPECT_EQ(second.backColor, 0);
    EXPECT_TRUE(w.help.HHPopupCustomColors());

    // Type 3 shows nothing and keeps the style for later; type 4 without text shows nothing either.
    w.help.setHHPopupTextUnderline(true);
    w.help.setHHPopupType(3);
    w.help.HHDisplayPopup(33);
    w.help.setHHPopupType(4);
    w.help.setHHPopupText(QString());
    w.help.HHDisplayPopup(33);
    EXPECT_EQ(w.viewer.calls.size(), 2);
    w.help.setHHPopupText(QStringLiteral("x"));
    w.help.HHDisplayPopup(33);
    EXPECT_EQ(std::get<hh::Popup>(w.viewer.calls.back().data).font,
              QByteArray("Arial, 10, ascii, Underline"));
}

TEST(HTMLHelp, APopupFromTheHelpFileNamesItsTextFileAndEntry) {
    World w;
    const QString chm = w.file(QStringLiteral("docs/Guide.chm"));
    w.help.setCHMFile(chm);
    w.help.setHHPopupType(1);
    w.help.setHHPopupID(3);
    w.help.setHHPopupFile(QStringLiteral("controls.doc"));
    w.help.HHDisplayPopup(0);
    EXPECT_TRUE(w.viewer.calls.isEmpty());
    EXPECT_EQ(w.boxTexts(),
              QStringList{QStringLiteral("The file specified as the text popup source, 'controls.doc', "
                                         "is not a valid popup file.")});
    w.help.setHHPopupFile(QStringLiteral("controls.TXT"));
    w.help.HHDisplayPopup(0);
    ASSERT_EQ(w.viewer.calls.size(), 1);
    EXPECT_EQ(w.viewer.calls[0].file, QFile::encodeName(chm + QStringLiteral("::/controls.TXT")));
    EXPECT_EQ(std::get<hh::Popup>(w.viewer.calls[0].data).idString, 3u);
}

TEST(HTMLHelp, SmallMembersDoWhatTheySayAndNoMore) {
    World w;
    EXPECT_EQ(w.help.HHSetHelpFile(1), w.env.programDir() + QStringLiteral("Library.chm"));
    EXPECT_EQ(w.help.HHSetHelpFile(2), QStringLiteral("Library.txt"));
    EXPECT_EQ(w.help.HHSetHelpFile(3), QString());
    EXPECT_EQ(w.help.CHMFile(), QString());
    w.help.HHDeleteJumpURLSysMenu(12);
    w.help.HHInvokeWhatsThisHelp(12);
    EXPECT_EQ(w.viewer.menuDeletes, (QList<QPair<qint32, int>>{{12, 61439}}));
    EXPECT_EQ(w.viewer.systemCommands, (QList<QPair<qint32, int>>{{12, 61824}}));
    w.help.HHClose();
    ASSERT_EQ(w.viewer.calls.size(), 1);
    EXPECT_EQ(w.viewer.calls[0].command, hh::CloseAll);
    EXPECT_TRUE(w.viewer.calls[0].file.isEmpty());
}
