#include "ChmFile.h"
#include "Sitemap.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
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
