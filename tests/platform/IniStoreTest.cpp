#include "platform/IniStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct IniFile {
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/sub/Quorvane.ini");
    IniStore store{path};

    void write(const QByteArray& bytes) {
        QDir().mkpath(dir.path() + QStringLiteral("/sub"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST(IniStore, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
    IniFile ini;
    ASSERT_TRUE(
        ini.store.setValue(QStringLiteral("General"), QStringLiteral("ConfirmExit"), QStringLiteral("0")));
    ASSERT_TRUE(
        ini.store.setValue(QStringLiteral("general"), QStringLiteral("confirmExit"), QStringLiteral("1")));
    EXPECT_EQ(ini.store.value(QStringLiteral("GENERAL"), QStringLiteral("CONFIRMEXIT")), QStringLiteral("1"));
    EXPECT_EQ(ini.read(), QByteArray("[General]\nConfirmExit=1\n"));
}

TEST(IniStore, MissingFileAndMissingValuesReadAsAbsent) {
    IniFile ini;
    EXPECT_FALSE(ini.store.value(QStringLiteral("General"), QStringLiteral("x")).has_value());
    EXPECT_TRUE(ini.store.sectionValues(QStringLiteral("Colors")).isEmpty());
    EXPECT_TRUE(ini.store.removeAll());
}

TEST(IniStore, WritingOneValueLeavesEveryOtherLineOfAHandEditedFileAlone) {
    IniFile ini;
    const QByteArray original = "stray line before any section\r\n"
                                "; a comment\r\n"
                                "[General]\r\n"
                                "Title = a;b,c=d \"quoted\"\r\n"
                                "junk without equals\r\n"
                                "\xff\xfe\x01 binary\r\n"
                                "\r\n"
                                "[Period]\r\n"
                                "StartTimePeriod2=11:30"; // no final newline
    ini.write(original);
    EXPECT_EQ(ini.store.value(QStringLiteral("General"), QStringLiteral("title")),
              QStringLiteral("a;b,c=d \"quoted\""));
    ASSERT_TRUE(ini.store.setValue(QStringLiteral("General"), QStringLiteral("onTop"), QStringLiteral("0")));
    ASSERT_TRUE(ini.store.setValue(QStringLiteral("Period"), QStringLiteral("StartTimePeriod2"),
                                   QStringLiteral("12:00")));
    const QByteArray expected = "stray line before any section\r\n"
                                "; a comment\r\n"
                                "[General]\r\n"
                                "Title = a;b,c=d \"quoted\"\r\n"
                                "junk without equals\r\n"
                                "\xff\xfe\x01 binary\r\n"
                                "onTop=0\n"
                                "\r\n"
                                "[Period]\r\n"
                                "StartTimePeriod2=12:00\n";
    EXPECT_EQ(ini.read(), expected);
}

TEST(IniStore, ValuesThatNeedQuotingComeBackExactly) {
    IniFile ini;
    const QStringList values = {
        QStringLiteral("  padded  "),        QStringLiteral("\"starts with a quote"),
        QStringLiteral("two\r\nlines"),      QStringLiteral("tab\there"),
        QStringLiteral("back\\slash"),       QString(),
        QStringLiteral("x=y;z,w"),           QString(QChar(0x01)) + QStringLiteral("ctl"),
        QStringLiteral("\u00c0\u00da\u00f4")};
    for (int i = 0; i < values.size(); ++i)
        ASSERT_TRUE(ini.store.setValue(QStringLiteral("S"), QStringLiteral("v%1").arg(i), values[i]));
    for (int i = 0; i < values.size(); ++i)
        EXPECT_EQ(ini.store.value(QStringLiteral("S"), QStringLiteral("v%1").arg(i)), values[i]) << i;
    EXPECT_EQ(ini.store.sectionValues(QStringLiteral("s")).size(), values.size());
}

TEST(IniStore, DamagedFilesNeverBreakReading) {
    IniFile ini;
    for (const QByteArray& junk : {QByteArray(), QByteArray("\0\0\0[", 4), QByteArray("[[[]]]\n=\n==\n[x"),
                                   QByteArray("[General\nonTop=1\n"), QByteArray(4096, '\xff')}) {
        ini.write(junk);
        (void)ini.store.value(QStringLiteral("General"), QStringLiteral("onTop"));
        (void)ini.store.sectionValues(QStringLiteral("General"));
        ASSERT_TRUE(
            ini.store.setValue(QStringLiteral("General"), QStringLiteral("onTop"), QStringLiteral("0")));
        EXPECT_EQ(ini.store.value(QStringLiteral("General"), QStringLiteral("onTop")), QStringLiteral("0"));
        EXPECT_TRUE(
            ini.read().startsWith(junk.left(junk.indexOf('\n') < 0 ? junk.size() : junk.indexOf('\n'))));
    }
}

TEST(IniStore, SectionValuesKeepStoredOrderAndTheFirstOfTwins) {
    IniFile ini;
    ini.write("[Colors]\n3=111\n0=222\n3=333\n[Other]\n1=x\n[colors]\n7=444\n");
    const auto pairs = ini.store.sectionValues(QStringLiteral("Colors"));
    ASSERT_EQ(pairs.size(), 3);
    EXPECT_EQ(pairs[0], qMakePair(QStringLiteral("3"), QStringLiteral("111")));
    EXPECT_EQ(pairs[1], qMakePair(QStringLiteral("0"), QStringLiteral("222")));
    EXPECT_EQ(pairs[2], qMakePair(QStringLiteral("7"), QStringLiteral("444")));
}

TEST(IniStore, NamesThatCannotBeStoredAreRefused) {
    IniFile ini;
    EXPECT_FALSE(ini.store.setValue(QStringLiteral("General"), QString(), QStringLiteral("1")));
    EXPECT_FALSE(ini.store.setValue(QStringLiteral("General"), QStringLiteral("a=b"), QStringLiteral("1")));
    EXPECT_FALSE(ini.store.setValue(QStringLiteral("General"), QStringLiteral("a\nb"), QStringLiteral("1")));
    EXPECT_FALSE(ini.store.setValue(QStringLiteral("Gen]eral"), QStringLiteral("a"), QStringLiteral("1")));
    EXPECT_TRUE(ini.read().isEmpty());
}

TEST(IniStore, RemoveAllDeletesTheStore) {
    IniFile ini;
    ASSERT_TRUE(ini.store.setValue(QStringLiteral("General"), QStringLiteral("a"), QStringLiteral("1")));
    EXPECT_TRUE(ini.store.removeAll());
    EXPECT_FALSE(QFile::exists(ini.path));
    EXPECT_FALSE(ini.store.value(QStringLiteral("General"), QStringLiteral("a")).has_value());
}

TEST(IniStore, AStoreThatCannotBeReadIsNeverWrittenOver) {
    IniFile ini;
    QDir().mkpath(ini.path); // something is there, but no readable file
    EXPECT_FALSE(
        ini.store.setValue(QStringLiteral("General"), QStringLiteral("FirstTime"), QStringLiteral("false")));
    EXPECT_TRUE(QFileInfo(ini.path).isDir());
    EXPECT_FALSE(ini.store.value(QStringLiteral("General"), QStringLiteral("FirstTime")).has_value());
}

TEST(IniStore, AStoreHoldingAPasswordIsTheUsersAloneWhateverItsModeWas) {
    IniFile ini;
    const QByteArray file = QFile::encodeName(ini.path);
    const auto mode = [&] {
        struct stat s {};
        return ::stat(file.constData(), &s) == 0 ? s.st_mode & 07777 : 0;
    };
    ASSERT_TRUE(ini.store.setValue(QStringLiteral("General"), QStringLiteral("onTop"), QStringLiteral("0")));
    EXPECT_EQ(mode(), 0600u) << "a new store";

    // A store the user opened to the group keeps that, until it holds a password.
    ASSERT_EQ(::chmod(file.constData(), 0640), 0);
    ASSERT_TRUE(
        ini.store.setValue(QStringLiteral("WindowPos"), QStringLiteral("a_top"), QStringLiteral("1")));
    EXPECT_EQ(mode(), 0640u);
    ASSERT_TRUE(
        ini.store.setValue(QStringLiteral("general"), QStringLiteral("Password"), QStringLiteral("x")));
    EXPECT_EQ(mode(), 0600u);
    ASSERT_EQ(::chmod(file.constData(), 0640), 0);
    ASSERT_TRUE(
        ini.store.setValue(QStringLiteral("WindowPos"), QStringLiteral("a_top"), QStringLiteral("2")));
    EXPECT_EQ(mode(), 0600u) << "each write keeps a password private";
}

TEST(IniStore, TheMachineWideStoreLiesBesideTheUsersUnlessNamed) {
    const QByteArray user = qgetenv("QUORVANE_SETTINGS_FILE");
    qputenv("QUORVANE_SETTINGS_FILE", "/tmp/qv-test/config/Quorvane.ini");
    EXPECT_EQ(IniStore::machineSettingsPath(), QStringLiteral("/tmp/qv-test/config/Machine.ini"));
    qputenv("QUORVANE_MACHINE_SETTINGS_FILE", "/tmp/elsewhere/machine.ini");
    EXPECT_EQ(IniStore::machineSettingsPath(), QStringLiteral("/tmp/elsewhere/machine.ini"));
    qunsetenv("QUORVANE_MACHINE_SETTINGS_FILE");
    if (user.isNull())
        qunsetenv("QUORVANE_SETTINGS_FILE");
    else
        qputenv("QUORVANE_SETTINGS_FILE", user);
}

TEST(IniStore, HandWrittenValuesKeepWhatTheirAuthorMeant) {
    IniFile ini;
    // A folder in quotes: a backslash that starts no escape stays, and the quotes go.
    ini.write("[General]\n"
              "DataDirectory=\"C:\\Users\\me\"\n"
              "Trailing=\"C:\\dir\\\"\n"
              "Hex=\"a\\x4\"\n"
              "Known=\"tab\\there \\\"q\\\" \\\\\"\n"
              "Latin1=Caf\xe9 cr\xc3\xa8me\n");
    const auto value = [&](const char* name) { return ini.store.value("General", name).value_or("<none>"); };
    EXPECT_EQ(value("DataDirectory"), QStringLiteral("C:\\Users\\me"));
    EXPECT_EQ(value("Trailing"), QStringLiteral("C:\\dir\\"));
    EXPECT_EQ(value("Hex"), QStringLiteral("a\\x4"));
    EXPECT_EQ(value("Known"), QStringLiteral("tab\there \"q\" \\"));
    // One byte of the Western code page among UTF-8 letters: both kinds are letters.
    EXPECT_EQ(value("Latin1"), QStringLiteral("Caf\u00e9 cr\u00e8me"));
}
