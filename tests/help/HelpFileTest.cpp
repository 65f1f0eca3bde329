#include "help/ChmFile.h"
#include "help/HelpWindow.h"
#include "help/Sitemap.h"
#include "tests/support/TestEnv.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>
#include <gtest/gtest.h>

// The help file that ships beside the program is compiled from help/content/ by tools/help-build and kept
// in the repository; these tests hold it to its sources.

namespace {

QString sources() {
    return QStringLiteral(QV_HELP_SOURCES);
}

QString shipped() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/qvn_OnlineHelp.chm");
}

QByteArray readSource(const QString& relative) {
    QFile f(sources() + u'/' + relative);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList sourceFiles() {
    QStringList out;
    QDirIterator it(sources(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = QDir(sources()).relativeFilePath(it.next());
        if (!relative.endsWith(QStringLiteral(".hhp"))) out.append(relative);
    }
    out.sort();
    return out;
}

QStringList projectFiles() {
    QStringList out;
    bool inFiles = false;
    for (const QString& line :
         QString::fromUtf8(readSource(QStringLiteral("qvn_OnlineHelp.hhp"))).split(u'\n')) {
        const QString t = line.trimmed();
        if (t.startsWith(u'['))
            inFiles = t == QStringLiteral("[FILES]");
        else if (inFiles && !t.isEmpty())
            out.append(t);
    }
    return out;
}

QByteArray shippedBytes() {
    QFile f(shipped());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Opens a file as the viewer would and reads everything in it; false when it does not open.
bool openAndReadAll(const QString& path) {
    std::shared_ptr<const ChmFile> chm = ChmFile::open(path);
    if (!chm) return false;
    for (const QString& f : chm->files())
        chm->read(f);
    HelpWindow window(chm, chm->defaultWindow());
    window.showFirstTopic();
    window.search(QStringLiteral("task"));
    return true;
}

void collectTopics(const QList<SitemapEntry>& entries, QStringList& out) {
    for (const SitemapEntry& e : entries) {
        out.append(e.topics);
        collectTopics(e.children, out);
    }
}

} // namespace

TEST(HelpFile, TheShippedFileHoldsEverySourceFileAsItStands) {
    const std::unique_ptr<ChmFile> chm = ChmFile::open(shipped());
    ASSERT_TRUE(chm) << "cannot open " << shipped().toStdString();
    const QStringList files = sourceFiles();
    ASSERT_GE(files.size(), 15);
    for (const QString& relative : files) {
        const std::optional<QByteArray> inside = chm->read(relative);
        ASSERT_TRUE(inside.has_value()) << relative.toStdString() << " is missing: run tools/help-build";
        EXPECT_TRUE(*inside == readSource(relative))
            << relative.toStdString() << " differs from its source: run tools/help-build";
    }
    // Nothing in the project that is not among the sources, and the other way round.
    QStringList listed = projectFiles();
    listed << QStringLiteral("contents.hhc") << QStringLiteral("index.hhk");
    listed.sort();
    EXPECT_EQ(listed, files);
}

TEST(HelpFile, EveryLinkPictureAndEntryLeadsToAFileInside) {
    const std::unique_ptr<ChmFile> chm = ChmFile::open(shipped());
    ASSERT_TRUE(chm);
    EXPECT_EQ(chm->title(), QStringLiteral("Quorvane Help"));
    EXPECT_EQ(chm->defaultTopic(), QStringLiteral("/index.htm"));
    ASSERT_TRUE(chm->window(chm->defaultWindow()));
    EXPECT_EQ(chm->window(chm->defaultWindow())->caption, QStringLiteral("Quorvane Help"));
    EXPECT_EQ(chm->topicOfId(1003), QStringLiteral("/tasks.htm"));

    static const QRegularExpression reference(QStringLiteral(R"re((?:href|src)="([^"#:]+)(?:#[^"]*)?")re"),
                                              QRegularExpression::CaseInsensitiveOption);
    QSet<QString> pages;
    for (const QString& path : chm->files()) {
        if (!path.endsWith(QStringLiteral(".htm"))) continue;
        pages.insert(path);
        const QString html = QString::fromUtf8(chm->read(path).value_or(QByteArray()));
        EXPECT_FALSE(sitemap::pageTitle(html.toUtf8()).isEmpty()) << path.toStdString();
        EXPECT_FALSE(sitemap::linkNames(html.toUtf8()).isEmpty()) << path.toStdString();
        for (auto it = reference.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(chm->contains(target)) << path.toStdString() << " -> " << target.toStdString();
        }
    }
    QStringList contents;
    collectTopics(sitemap::parse(chm->read(chm->contentsFile()).value_or(QByteArray())), contents);
    QStringList keywords;
    collectTopics(sitemap::parse(chm->read(chm->indexFile()).value_or(QByteArray())), keywords);
    EXPECT_GE(keywords.size(), 40);
    for (const QString& topic : contents + keywords)
        EXPECT_TRUE(chm->contains(topic.section(u'#', 0, 0))) << topic.toStdString();
    // Every page can be reached from the contents.
    for (const QString& page : pages)
        EXPECT_TRUE(contents.contains(page.mid(1))) << page.toStdString() << " is not in the contents";
}

TEST(HelpFile, ContentsAndIndexNestAsWritten) {
    const QByteArray hhc = R"(<UL>
<LI><OBJECT type="text/sitemap"><param name="Name" value="First &amp; best"><param name="Local" value="a.htm"></OBJECT>
<LI><OBJECT type="text/sitemap"><param name="Name" value="Book"></OBJECT>
<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="Inner"><param name="Local" value="b.htm"><param name="Local" value="c.htm"></OBJECT>
<!-- <LI><OBJECT type="text/sitemap"><param name="Name" value="Commented"></OBJECT> -->
</UL>
<LI><OBJECT type="text/sitemap"><param name='Name' value='Last'><param name=Local value=d.htm></OBJECT>
</UL>)";
    const QList<SitemapEntry> entries = sitemap::parse(hhc);
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].name, QStringLiteral("First & best"));
    EXPECT_EQ(entries[0].topics, QStringList{QStringLiteral("a.htm")});
    EXPECT_TRUE(entries[1].topics.isEmpty());
    ASSERT_EQ(entries[1].children.size(), 1);
    EXPECT_EQ(entries[1].children[0].topics, (QStringList{QStringLiteral("b.htm"), QStringLiteral("c.htm")}));
    EXPECT_EQ(entries[2].name, QStringLiteral("Last"));
    EXPECT_EQ(entries[2].topics, QStringList{QStringLiteral("d.htm")});
    // Lists nested past all reason (a damaged or hostile file) keep their entries, at a depth that a
    // reader can walk.
    QByteArray deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<UL><LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"x\"></OBJECT>";
    int levels = 0, kept = 0;
    for (QList<SitemapEntry> level = sitemap::parse(deep); !level.isEmpty(); ++levels) {
        kept += int(level.size());
        const QList<SitemapEntry> inner = level.back().children;
        level = inner;
    }
    EXPECT_EQ(kept, 5000);
    EXPECT_LE(levels, 64);
    // Cut off in the middle of a tag, with a run of tag openings that never end (minutes to read once).
    const QList<SitemapEntry> cut =
        sitemap::parse(hhc.left(hhc.indexOf("<LI><OBJECT type=\"text/sitemap\"><param name='Name'")) +
                       QByteArray("<a ").repeated(400000));
    ASSERT_EQ(cut.size(), 2);
    EXPECT_EQ(cut[1].children.size(), 1);
    EXPECT_EQ(ChmFile::normalPath(QStringLiteral("a/./b/../c.htm")), QStringLiteral("/a/c.htm"));
    EXPECT_EQ(ChmFile::normalPath(QStringLiteral("\\x\\y.png")), QStringLiteral("/x/y.png"));
}

TEST(HelpFile, AFileThatIsNoCompiledHelpDoesNotOpen) {
    const QString path = QDir::tempPath() + QStringLiteral("/quorvane-not-help.chm");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html>not a help file</html>");
    f.close();
    EXPECT_FALSE(ChmFile::open(path));
    EXPECT_FALSE(ChmFile::open(path + QStringLiteral(".gone")));
    QFile::remove(path);
}

TEST(HelpFile, ADamagedHelpFileIsRefusedOrReadWithoutHarm) {
    const QByteArray good = shippedBytes();
    ASSERT_FALSE(good.isEmpty());
    // The compressed section's control block, and its reset table (found by the fixed fields of its header).
    const qsizetype control = good.indexOf("LZXC") - 4;
    qsizetype resets = -1;
    for (qsizetype at = 0; resets < 0 && at + 0x28 <= good.size(); ++at) {
        const char* p = good.constData() + at;
        if (qFromLittleEndian<quint32>(p) == 2 && qFromLittleEndian<quint32>(p + 0x0c) == 0x28 &&
            qFromLittleEndian<quint64>(p + 0x20) == 0x8000)
            resets = at;
    }
    ASSERT_GT(control, 0);
    ASSERT_GT(resets, 0);
    const qsizetype entries = resets + 0x28;

    TestEnv env;
    const QString path = env.root() + QStringLiteral("damaged.chm");
    const auto damaged = [&](const std::function<void(QByteArray&)>& change) {
        QByteArray bytes = good;
        change(bytes);
        TestEnv::writeFile(path, bytes);
        return path;
    };
    // Tables that would send the reader out of its buffers: the file is not opened at all.
    EXPECT_FALSE(openAndReadAll(damaged([&](QByteArray& b) { b[control + 9] = '\x33'; })))
        << "a version no compiler writes";
    EXPECT_FALSE(openAndReadAll(damaged([&](QByteArray& b) { b[control + 8] = 1; })))
        << "a window of two bytes";
    EXPECT_FALSE(openAndReadAll(damaged([&](QByteArray& b) {
        qToLittleEndian<quint32>(0, b.data() + control + 0x14);
    }))) << "no windows per reset";
    EXPECT_FALSE(openAndReadAll(damaged([&](QByteArray& b) { b[entries + 8 * 2 + 2] = '\xb6'; })))
        << "a block far beyond the content";
    EXPECT_FALSE(openAndReadAll(damaged([&](QByteArray& b) {
        const quint64 second = qFromLittleEndian<quint64>(b.constData() + entries + 16);
        qToLittleEndian<quint64>(second + 1, b.data() + entries + 8);
    }))) << "blocks out of order";
    // Cut short or overwritten anywhere: opened or not, nothing breaks.
    for (qsizetype at :
         {qsizetype(0x20), qsizetype(0x100), control, resets + 0x30, good.size() / 2, good.size() - 1})
        openAndReadAll(damaged([&](QByteArray& b) { b.truncate(at); }));
    for (qsizetype at = 0; at < good.size(); at += good.size() / 16)
        openAndReadAll(damaged([&](QByteArray& b) { b.replace(at, 512, QByteArray(512, '\xa5')); }));
    // The good file still reads.
    EXPECT_TRUE(openAndReadAll(damaged([](QByteArray&) {})));
}
