#include "platform/AtomicFile.h"
#include "platform/Failure.h"
#include "tests/support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Folder {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.path() + u'/' + name; }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    QStringList names() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); }
    // The permission bits, as `stat -c %a` shows them.
    unsigned mode(const QString& name) const {
        struct stat s {};
        return ::stat(QFile::encodeName(path(name)).constData(), &s) == 0 ? s.st_mode & 07777 : 0;
    }
};

} // namespace

TEST(AtomicFile, ASaveReplacesTheFileWholeKeepingItsPermissionsAndItsLink) {
    Folder f;
    f.write("data.xml", "old");
    QFile::setPermissions(f.path("data.xml"), QFile::ReadOwner | QFile::WriteOwner);
    atomicfile::write(f.path("data.xml"), "new");
    EXPECT_EQ(f.read("data.xml"), "new");
    EXPECT_EQ(QFile::permissions(f.path("data.xml")) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);

    // A link is followed: its target gets the content and the link stays a link.
    ASSERT_TRUE(QFile::link(f.path("data.xml"), f.path("link.xml")));
    atomicfile::write(f.path("link.xml"), "through the link");
    EXPECT_TRUE(QFileInfo(f.path("link.xml")).isSymLink());
    EXPECT_EQ(f.read("data.xml"), "through the link");

    // A folder that is missing is made.
    atomicfile::write(f.path("sub/deeper/x.ini"), "x");
    EXPECT_EQ(f.read("sub/deeper/x.ini"), "x");
    EXPECT_EQ(f.names(), QStringList({"data.xml", "link.xml"})) << "no temporary file is left";
}

TEST(AtomicFile, NewFilesAndFoldersAreTheUsersAloneAndAnExistingFileKeepsItsMode) {
    Folder f;
    // Whatever the process's mask lets through, a new file and a folder the save makes are private.
    const mode_t mask = ::umask(0);
    atomicfile::write(f.path("made/items.xml"), "new");
    EXPECT_EQ(f.mode("made/items.xml"), 0600u);
    EXPECT_EQ(f.mode("made"), 0700u);

    // A mode that the user gave a file stays; a private write makes it the user's alone.
    f.write("status.ini", "old");
    ::chmod(QFile::encodeName(f.path("status.ini")).constData(), 0640);
    atomicfile::write(f.path("status.ini"), "again");
    EXPECT_EQ(f.mode("status.ini"), 0640u);
    atomicfile::write(f.path("status.ini"), "secret", atomicfile::Access::Private);
    EXPECT_EQ(f.mode("status.ini"), 0600u);
    EXPECT_EQ(f.read("status.ini"), "secret");
    ::umask(mask);
}

TEST(AtomicFile, OnlyTheLeftoversOfSavesThatEndedAreRemoved) {
    Folder f;
    f.write("items.xml", "kept");
    f.write("items.xml.saving-Ab12Cd", "left by a save that was cut short");
    f.write("items.xml.saving-Zz99zz", "a save still going on");
    f.write("items.xml.backup", "the user's own");
    f.write("items.xml.saving-toolong", "not ours");
    f.write("items.xml.saving-Ab-2Cd", "not ours either");
    f.write("Items.xml.saving-Ab12Cd", "another file's, in a folder that tells cases apart");
    f.write("projects.xml.saving-Ab12Cd", "another file's");

    const int live = ::open(QFile::encodeName(f.path("items.xml.saving-Zz99zz")).constData(), O_RDONLY);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    EXPECT_EQ(atomicfile::removeLeftovers(f.path("items.xml")), 1);
    ::close(live);

    EXPECT_EQ(f.names(), QStringList({"items.xml", "items.xml.backup", "items.xml.saving-Ab-2Cd",
                                      "Items.xml.saving-Ab12Cd", "items.xml.saving-toolong",
                                      "items.xml.saving-Zz99zz", "projects.xml.saving-Ab12Cd"}));
    EXPECT_EQ(atomicfile::removeLeftovers(f.path("items.xml")), 1) << "once the save is over";
    EXPECT_EQ(atomicfile::removeLeftovers(f.path("none/items.xml")), 0);
}
