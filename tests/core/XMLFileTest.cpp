#include "core/File.h"
#include "core/Globals.h"
#include "core/Settings.h"
#include "core/XML.h"
#include "core/XmlArchive.h"
#include "core/XmlLayout.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakePrompter.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray StartText =
    "<root>\r\n<item><id>0</id><now/><date/><title/><type>Task</type></item>\r\n</root>";

class XMLFileTest : public ::testing::Test {
protected:
    void SetUp() override { gSettings = new Settings(); }
    void TearDown() override {
        delete gSettings;
        gSettings = nullptr;
    }
    QString dataFile(const QString& name) const { return env.dataDir() + name; }
    QString archive() const { return dataFile("archive.xml"); }
    QByteArray archiveText() const { return TestEnv::readFile(archive()); }
    // Moves the old ones of items into the archive as a start would, the items file then left unwritten (the
    // program ended before it) unless written is set.
    bool moveOld(const QByteArray& items, bool written = false) {
        pugi::xml_document doc;
        if (!File::readXMLText(doc, "<root>\r\n" + items + "</root>").ok()) return false;
        const bool moved = xml.archiveData(doc);
        if (written) xmlarchive::settle(archive(), doc);
        return moved;
    }

    TestEnv env;
    FakePrompter prompts;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0))};
    File file;
    XML xml;
};

// Lets no file grow beyond bytes while it lives, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_handler)(int) = nullptr;
};

// An item of an archive test.
QByteArray archiveItem(int id, const QByteArray& date) {
    return "<item><id>" + QByteArray::number(id) + "</id><date>" + date + "</date><title>item " +
           QByteArray::number(id) + " &amp; more</title></item>";
}

// Sets the file's time of last change back to what it was.
void keepTime(const QString& path, const struct stat& was) {
    const timespec times[2] = {was.st_atim, was.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

pugi::xml_document parsed(const QByteArray& text) {
    pugi::xml_document doc;
    const XmlParseError e = File::readXMLText(doc, text);
    EXPECT_TRUE(e.ok()) << e.reason.toStdString();
    return doc;
}

} // namespace

TEST_F(XMLFileTest, ReadAndWriteKeepTheTextAsItStands) {
    const QByteArray text =
        "<root>\r\n<item><id>0</id><now/><title>a &amp; b &lt;c&gt; \"q\" 'x'</title></item>\r\n"
        "<!-- kept --><item><id>1</id><note><![CDATA[x]]></note></item></root>";
    const pugi::xml_document doc = parsed(text);
    EXPECT_EQ(File::xmlText(doc), text);

    // A written file reads back the same, and saving goes through a complete replacement.
    File::writeXMLFile(doc, dataFile("sub/t.xml"));
    EXPECT_EQ(TestEnv::readFile(dataFile("sub/t.xml")), text);
    EXPECT_EQ(QDir(env.dataDir() + "sub").entryList(QDir::Files | QDir::Hidden), QStringList{"t.xml"})
        << "no temporary file is left behind";
}

TEST_F(XMLFileTest, CharactersXmlCannotHoldNeverReachTheFile) {
    pugi::xml_document doc = parsed("<root><item><id>1</id><title/></item></root>");
    const QString nasty = QStringLiteral("it's \"odd\" <b> & c\r\nline") + QChar(0x01) + QChar(0xFFFF) +
                          QChar(0xD800) + QStringLiteral("end");
    static XPathQuery title("//root/item/title[../id=$id]", {"id"});
    ASSERT_TRUE(xml.setValue(doc, title.set("id", "1"), nasty));
    File::writeXMLFile(doc, dataFile("n.xml"));

    pugi::xml_document back;
    ASSERT_TRUE(File::readXMLFile(back, dataFile("n.xml")).ok());
    EXPECT_EQ(xml.getValue(back, title.set("id", "1")), QStringLiteral("it's \"odd\" <b> & c\r\nlineend"));
}

TEST_F(XMLFileTest, AFailedLoadIsShownLineByLineAndGivesAnEmptyDocument) {
    TestEnv::writeFile(dataFile("bad.xml"),
                       "<root>\r\n<item><id>1</id>\r\n<title>x</titel></item>\r\n</root>");
    XmlParseError error;
    const pugi::xml_document doc = file.loadXMLFromDisk(dataFile("bad.xml"), true, &error);
    EXPECT_FALSE(doc.first_child());
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_EQ(prompts.boxes[0].title, "Quorvane");
    EXPECT_EQ(prompts.boxes[0].icon, Prompter::Icon::Exclamation);
    const QStringList lines = prompts.boxes[0].text.split("\r\n");
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[0], "The XML Document failed to load!");
    EXPECT_EQ(lines[1], "File: " + dataFile("bad.xml"));
    EXPECT_TRUE(lines[2].startsWith("Error: " + QString::number(error.code) + ": "))
        << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(" Line #: 3"));
    EXPECT_EQ(lines[3], "Line Position: " + QString::number(error.linePos));
    EXPECT_GT(error.linePos, 1);
    EXPECT_TRUE(lines[4].startsWith("Position In File: "));
    EXPECT_EQ(lines[5], "Source Text: <title>x</titel></item>");

    // Not asked to show: no box, still empty. A missing file has its own code.
    file.loadXMLFromDisk(dataFile("bad.xml"), false, &error);
    file.loadXMLFromDisk(dataFile("none.xml"), false, &error);
    EXPECT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(error.fileNotFound());
    EXPECT_EQ(error.code, -2146697211);
}

TEST_F(XMLFileTest, ListQueryValueAndSetValue) {
    pugi::xml_document doc = parsed("<root><item><id>1</id><t>a</t></item><item><id>2</id><t/></item>"
                                    "<item><id>3</id><t>c</t></item></root>");
    EXPECT_EQ(xml.getElementValue(doc, QStringLiteral("//root/item/t")), QStringList({"a", "c"}));
    EXPECT_EQ(xml.getElementValue(doc, QStringLiteral("//root/item/zz")), QStringList({""}));
    EXPECT_EQ(xml.getValue(doc, QStringLiteral("//root/item/t[../id='3']")), "c");
    EXPECT_EQ(xml.getValue(doc, QStringLiteral("//root/item/t[../id='9']")), "");
    EXPECT_EQ(xml.getValue(doc, QStringLiteral("//root/[[")), ""); // a failing selection is no match
    EXPECT_TRUE(prompts.boxes.isEmpty());

    const QByteArray before = File::xmlText(doc);
    EXPECT_FALSE(xml.setValue(doc, QStringLiteral("//root/item/t[../id='9']"), "x"));
    EXPECT_EQ(File::xmlText(doc), before);
    EXPECT_TRUE(xml.setValue(doc, QStringLiteral("//root/item[id='2']"), "n", "extra"));
    EXPECT_TRUE(xml.setValue(doc, QStringLiteral("//root/item/t[../id='2']"), "b"));
    EXPECT_EQ(xml.getElementValue(doc, QStringLiteral("//root/item/t")), QStringList({"a", "b", "c"}));
    EXPECT_EQ(xml.getValue(doc, QStringLiteral("//root/item[id='2']/extra")),
              "n"); // the missing child is made

    EXPECT_TRUE(xml.resetNodeValues(doc.child("root")));
    EXPECT_EQ(xml.getElementValue(doc, QStringLiteral("//t")), QStringList({""}));
    EXPECT_EQ(File::xmlText(doc),
              "<root><item><id/><t/></item><item><id/><t/><extra/></item><item><id/><t/></item>"
              "</root>");
    // A child for a whole document goes to its root element.
    EXPECT_TRUE(xml.addChild(doc, "added", QStringLiteral("v")));
    EXPECT_EQ(xml.getValue(doc, QStringLiteral("/root/added")), "v");
}

TEST_F(XMLFileTest, LogLinesAreAppendedWithCrLf) {
    EXPECT_TRUE(file.writeToLog("Message: one"));
    EXPECT_TRUE(file.writeToLog("Meeting Reminder: two"));
    EXPECT_EQ(TestEnv::readFile(dataFile("msglog.txt")),
              "2026-12-07 09:00:00: Message: one\r\n2026-12-07 09:00:00: Meeting Reminder: two\r\n");
}

TEST_F(XMLFileTest, PathEndsInASlashAndIsStored) {
    EXPECT_EQ(file.Path(), env.dataDir());
    QString folder = env.root() + "stats";
    file.setPath(folder);
    EXPECT_EQ(folder, env.root() + "stats/");
    EXPECT_EQ(file.Path(), env.root() + "stats/");

    // An empty folder is not the root of the file system but the data folder; a relative one lies in the
    // program folder, not in whatever folder the program was started from.
    folder.clear();
    file.setPath(folder);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(file.Path(), env.dataDir());
    folder = "stats";
    file.setPath(folder);
    EXPECT_EQ(file.Path(), env.programDir() + "stats/");
}

// By default the settings folder is the data folder, not the program's own folder (read-only once
// installed); a statistics file beside the program serves while the data folder holds none.
TEST_F(XMLFileTest, PathIsTheDataFolderUnlessOnlyTheProgramFolderHoldsTheStatistics) {
    EXPECT_EQ(file.Path(), env.dataDir());
    TestEnv::writeFile(env.programDir() + "stats.xml", "<root/>");
    EXPECT_EQ(file.Path(), env.programDir());
    TestEnv::writeFile(env.dataDir() + "stats.xml", "<root/>");
    EXPECT_EQ(file.Path(), env.dataDir());
}

TEST_F(XMLFileTest, ADamagedFileIsMovedAsideUnderANewName) {
    TestEnv::writeFile(dataFile("items.xml"), "<root");
    const QString first = File::setAsideDamaged(dataFile("items.xml"));
    EXPECT_EQ(first, dataFile("items.xml.damaged-20261207-090000"));
    TestEnv::writeFile(dataFile("items.xml"), "<x");
    EXPECT_EQ(File::setAsideDamaged(dataFile("items.xml")), first + "-2");
    EXPECT_EQ(TestEnv::readFile(first), "<root");
    EXPECT_EQ(File::setAsideDamaged(dataFile("items.xml")), QString());
}

TEST_F(XMLFileTest, ArchiveTakesItemsOlderThanSevenDays) {
    // Today is 7 December 2026: 29 November is eight days back, 30 November seven.
    pugi::xml_document items = parsed("<root>\r\n<item><id>0</id><date/></item>\r\n"
                                      "<item><id>1</id><date>20261129</date></item>"
                                      "<item><id>2</id><date>20261130</date></item>"
                                      "<item><id>3</id><date>20251231</date></item></root>");
    EXPECT_TRUE(xml.archiveData(items));
    EXPECT_EQ(xml.getElementValue(items, QStringLiteral("//root/item/id")), QStringList({"0", "2"}));
    EXPECT_EQ(
        TestEnv::readFile(dataFile("archive.xml")),
        "<root>\r\n<item><id>1</id><date>20261129</date></item><item><id>3</id><date>20251231</date></item>"
        "</root>");

    // A second run appends to what is there.
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    EXPECT_TRUE(xml.archiveData(items));
    EXPECT_TRUE(TestEnv::readFile(dataFile("archive.xml"))
                    .endsWith("<item><id>2</id><date>20261130</date></item></root>"));
}

TEST_F(XMLFileTest, AnUnreadableArchiveKeepsEveryItem) {
    TestEnv::writeFile(dataFile("archive.xml"), "<root><item>");
    pugi::xml_document items = parsed("<root><item><id>1</id><date>20200101</date></item></root>");
    EXPECT_FALSE(xml.archiveData(items));
    EXPECT_EQ(xml.getElementValue(items, QStringLiteral("//root/item/id")), QStringList({"1"}));
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(prompts.boxes[0].text.startsWith("Error!\r\nQuorvane - XML.archiveData: "));
    EXPECT_EQ(prompts.boxes[0].title, "Quorvane error");
    EXPECT_EQ(TestEnv::readFile(dataFile("archive.xml")), "<root><item>");

    // An archive that cannot be written keeps them too.
    QFile::remove(dataFile("archive.xml"));
    QDir().mkpath(dataFile("archive.xml")); // a folder where the file should go
    EXPECT_FALSE(xml.archiveData(items));
    EXPECT_EQ(xml.getElementValue(items, QStringLiteral("//root/item/id")), QStringList({"1"}));
}

TEST_F(XMLFileTest, AFileInLatin1WithoutADeclarationKeepsItsLettersThroughASave) {
    TestEnv::writeFile(dataFile("hand.xml"), "<root><item><title>Caf\xe9 cr\xe8"
                                             "me</title></item></root>");
    const pugi::xml_document doc = file.loadXMLFromDisk(dataFile("hand.xml"), true);
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(xml.getValue(doc, "//root/item/title"), QStringLiteral("Caf\u00e9 cr\u00e8me"));
    File::writeXMLFile(doc, dataFile("hand.xml"));
    EXPECT_EQ(TestEnv::readFile(dataFile("hand.xml")), "<root><item><title>Caf\xc3\xa9 cr\xc3\xa8"
                                                       "me</title></item></root>");
}

TEST_F(XMLFileTest, OneLogEntryIsOneLineWhateverItsText) {
    EXPECT_TRUE(file.writeToLog(QStringLiteral("Message: two\r\nlines\nand\rmore")));
    EXPECT_EQ(TestEnv::readFile(dataFile("msglog.txt")),
              "2026-12-07 09:00:00: Message: two lines and more\r\n");
}

TEST_F(XMLFileTest, EveryLetterOfAHandWrittenFileSurvivesWhateverItsEncoding) {
    // UTF-8 letters and a byte of the Western code page in one file: each is read as what it is.
    TestEnv::writeFile(dataFile("mixed.xml"), "<root><t>Caf\xc3\xa9</t><t>caf\xe9</t></root>");
    // A declared code page the parser does not know, and a declaration of UTF-8 that is not so.
    TestEnv::writeFile(dataFile("cp.xml"), "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n"
                                           "<root><t>\x80 10 na\xefve</t></root>");
    TestEnv::writeFile(dataFile("wrong.xml"), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                                              "<root><t>\xe0 bient\xf4t</t></root>");
    const QStringList expected[] = {{QStringLiteral("Caf\u00e9"), QStringLiteral("caf\u00e9")},
                                    {QStringLiteral("\u20ac 10 na\u00efve")},
                                    {QStringLiteral("\u00e0 bient\u00f4t")}};
    const char* const names[] = {"mixed.xml", "cp.xml", "wrong.xml"};
    for (int i = 0; i < 3; ++i) {
        pugi::xml_document doc = file.loadXMLFromDisk(dataFile(names[i]), true);
        EXPECT_EQ(xml.getElementValue(doc, "//t"), expected[i]) << names[i];
        // Saved and read again, they stay: the file is now UTF-8 and says so.
        File::writeXMLFile(doc, dataFile(names[i]));
        doc = file.loadXMLFromDisk(dataFile(names[i]), true);
        EXPECT_EQ(xml.getElementValue(doc, "//t"), expected[i]) << names[i];
    }
    EXPECT_TRUE(
        TestEnv::readFile(dataFile("cp.xml")).startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST_F(XMLFileTest, WhatIsSavedAlwaysLoadsAgainAsTheSameDocument) {
    // Names made of a byte order mark; text starting with one; control characters that, left out, would
    // join what is around them into the end of an instruction or a comment; an element whose only text
    // is left out.
    const QByteArray text = "<root><\xEF\xBB\xBF a=\"\x01v\"/><\xEF\xBB\xBFn>\xEF\xBB\xBFx</\xEF\xBB\xBFn>"
                            "<?pi a?\x01>b?><!-- -\x01-> ---x- --><![CDATA[a]]]]><![CDATA[>b]]><e>\x01</e>"
                            "<?\xEF\xBB\xBF?></root>";
    pugi::xml_document doc = parsed(text);
    const QByteArray saved = File::xmlText(doc);
    pugi::xml_document back;
    const XmlParseError e = File::readXMLText(back, saved);
    ASSERT_TRUE(e.ok()) << e.reason.toStdString() << "\n" << saved.constData();
    EXPECT_EQ(File::xmlText(back), saved);
    EXPECT_EQ(xml.getValue(back, "/root/*[2]"), QStringLiteral("\ufeffx"));
    EXPECT_TRUE(saved.contains("<e/>")) << saved.constData();

    // However deep the nesting, the writer and the emptying of texts get through it.
    const int depth = 100000;
    const QByteArray deep =
        "<root>" + QByteArray("<n>").repeated(depth) + "x" + QByteArray("</n>").repeated(depth) + "</root>";
    pugi::xml_document deepDoc = parsed(deep);
    File::writeXMLFile(deepDoc, dataFile("deep.xml"));
    EXPECT_EQ(TestEnv::readFile(dataFile("deep.xml")), deep);
    EXPECT_TRUE(xml.resetNodeValues(deepDoc));
    EXPECT_EQ(File::xmlText(deepDoc).size(), deep.size() - 4); // the innermost "<n>x</n>" is "<n/>"
}

TEST_F(XMLFileTest, AFullDiskIsReportedAsSuchAndTheFileStaysWhole) {
    TestEnv::writeFile(dataFile("items.xml"), "<root/>");
    pugi::xml_document doc = parsed("<root><item>" + QByteArray(4000, 'x') + "</item></root>");
    {
        FileSizeLimit limit(1024);
        EXPECT_FALSE(file.saveXMLToDisk(doc, dataFile("items.xml")));
    }
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(prompts.boxes[0].text.contains("61 - Disk full")) << prompts.boxes[0].text.toStdString();
    EXPECT_EQ(TestEnv::readFile(dataFile("items.xml")), "<root/>");
    EXPECT_EQ(QDir(env.dataDir()).entryList(QDir::Files), QStringList{"items.xml"});
}

TEST_F(XMLFileTest, TheArchiveTakesEachItemOfTheListOnce) {
    // An item inside another one's note goes with it; it is not an item of the list.
    pugi::xml_document items = parsed("<root><item><date>2</date><note><root><item><date>2</date></item>"
                                      "</root></note></item></root>");
    EXPECT_TRUE(xml.archiveData(items));
    EXPECT_EQ(File::xmlText(items), "<root/>");
    EXPECT_EQ(TestEnv::readFile(dataFile("archive.xml")),
              "<root>\r\n<item><date>2</date><note><root><item><date>2</date></item></root></note></item>"
              "</root>");

    // An item the archive holds already (a run ended before the items file was written) is not added twice.
    const QByteArray one = "<item><id>1</id><date>20200101</date></item>";
    const QByteArray two = "<item><id>2</id><date>20200102</date></item>";
    TestEnv::writeFile(dataFile("archive.xml"), "<root>\r\n" + one + "</root>");
    items = parsed("<root>" + one + two + one + "</root>");
    EXPECT_TRUE(xml.archiveData(items));
    EXPECT_EQ(File::xmlText(items), "<root/>");
    EXPECT_EQ(TestEnv::readFile(dataFile("archive.xml")), "<root>\r\n" + one + two + "</root>");
}

TEST_F(XMLFileTest, PugixmlsWriterWritesWhatTheWalkWrites) {
    // Documents built at random from the pieces stores and hand-edited files hold, in every other round with
    // one awkward piece among them: whichever writer makes the text, the bytes are the same.
    const QString plain[] = {"Buy milk", "a & b", "<", "\"q\" 'a'", "é€✓", "😀", " ", "0", "]]", "?"};
    const QString awkward[] = {"x > y",
                               "\t",
                               "\r\n",
                               "\n",
                               "]]>",
                               "--",
                               "-",
                               "?>",
                               QString(QChar(0xFEFF)),
                               QString(QChar(1)),
                               QString(QChar(0xFFFE)),
                               QString(QChar(0xD800))};
    QRandomGenerator rng(7);
    QString odd; // the awkward piece of the round, if any
    auto text = [&] {
        QString t;
        for (int n = rng.bounded(4); n > 0; --n) {
            const int k = rng.bounded(static_cast<int>(std::size(plain)) + 1);
            t += k < static_cast<int>(std::size(plain)) ? plain[k] : odd;
        }
        return t.toUtf8();
    };
    int byPugixml = 0;
    int asWritten = 0;
    for (int round = 0; round < 300; ++round) {
        odd = round % 2 ? awkward[round / 2 % std::size(awkward)] : QString();
        pugi::xml_document doc;
        if (rng.bounded(4) == 0) {
            pugi::xml_node decl = doc.append_child(pugi::node_declaration);
            decl.append_attribute("version") = "1.0";
            decl.append_attribute("encoding") = "ISO-8859-1";
        }
        if (rng.bounded(6) == 0) doc.append_child(pugi::node_comment).set_value(text().constData());
        pugi::xml_node root = doc.append_child("root");
        std::vector<pugi::xml_node> open{root};
        for (int i = 0; i < 40; ++i) {
            pugi::xml_node parent = open[static_cast<size_t>(rng.bounded(static_cast<int>(open.size())))];
            switch (rng.bounded(8)) {
            case 0:
            case 1: {
                pugi::xml_node e = parent.append_child(rng.bounded(2) ? "item" : "title");
                if (rng.bounded(3) == 0) e.append_attribute("a") = text().constData();
                open.push_back(e);
                break;
            }
            case 2:
            case 3:
                parent.append_child(pugi::node_pcdata).set_value(text().constData());
                break;
            case 4:
                parent.append_child(pugi::node_cdata).set_value(text().constData());
                break;
            case 5:
                parent.append_child(pugi::node_comment).set_value(text().constData());
                break;
            case 6: {
                if (odd.isEmpty()) break; // instructions are awkward too
                pugi::xml_node pi = parent.append_child(pugi::node_pi);
                pi.set_name("pi");
                pi.set_value(text().constData());
                break;
            }
            default:
                parent.append_child("e");
            }
        }
        const QByteArray walked = File::xmlTextByWalk(doc);
        ASSERT_EQ(File::xmlText(doc), walked) << "round " << round;
        std::ostringstream printed;
        root.print(printed, "", pugi::format_raw);
        if (walked.endsWith(QByteArray::fromStdString(printed.str()))) ++byPugixml;

        // An element the archive takes for written as the program writes it reads back as those bytes,
        // and so does none that was written otherwise.
        const QByteArray element = File::xmlText(root);
        for (const QByteArray& variant :
             {element, QByteArray(element).replace("&amp;", "&#38;"),
              QByteArray(element).replace("<e/>", "<e></e>"), QByteArray(element).replace("&gt;", ">"),
              QByteArray(element).replace("a=\"", "a = \"")}) {
            if (!xmllayout::asWritten(variant)) continue;
            if (variant == element) ++asWritten;
            pugi::xml_document read;
            ASSERT_TRUE(File::readXMLText(read, variant).ok()) << variant.toStdString();
            ASSERT_EQ(File::xmlText(read), variant);
        }
    }
    // Both ways were taken.
    EXPECT_GT(byPugixml, 100);
    EXPECT_LT(byPugixml, 280);
    EXPECT_GT(asWritten, 60);
    EXPECT_TRUE(xmllayout::asWritten(
        "<item a=\"&quot;\"><t>a &amp; b &lt; c &gt; \"d\" 'e' \xC3\xA9\r\n</t><e/></item>"));
    for (const char* otherwise :
         {"<item>a > b</item>", "<item>&#38;</item>", "<item><e></e></item>", "<item a='1'/>",
          "<item a=\"1\" />", "<item><?pi?></item>", "<item><!-- a -- b --></item>", "<item>\x01</item>",
          "<item>\xC3</item>", "<item>&quot;</item>", "<item a=\"\t\"/>"})
        EXPECT_FALSE(xmllayout::asWritten(otherwise)) << otherwise;

    // A store as the program writes it goes the quick way, to the byte what the walk writes.
    const QByteArray store = StartText + "\r\n<!-- n -->";
    const pugi::xml_document doc = parsed(store);
    EXPECT_EQ(File::xmlText(doc), File::xmlTextByWalk(doc));
    EXPECT_EQ(File::xmlText(doc), store);
}

TEST_F(XMLFileTest, TheArchiveGrowsWithoutBeingWrittenAnew) {
    const QByteArray one = "<item><id>1</id><date>20200101</date><title>caf\xC3\xA9 &amp; tea</title></item>";
    const QByteArray two = "<item><id>2</id><date>20200102</date><note>a</note></item>";
    // Archives as the program writes them, and as hands and other programs may leave them (the second holds
    // the first item written otherwise): the first six of the plain forms, the others not.
    const QByteArray archives[] = {
        "<root>\r\n" + one + "</root>",
        "<root>\r\n" + QByteArray(one).replace("&amp;", "&#38;") + "</root>",
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<root>\r\n</root>\r\n",
        "<!-- mine -->\n<root a=\"x>y\">\n  <item>\n    <id>7</id>\n  </item>\n  <!-- </root> "
        "-->\n</root>\n<?end ?>",
        "<root><item><note><![CDATA[</root>]]><root><item/></root></note></item><other/></root>",
        "<archive>caf\xE9<item/></archive>",
        "<root><item>",
        "<root/>",
        "<!DOCTYPE root><root></root>",
        QByteArray("\xFF\xFE<\0r\0o\0o\0t\0>\0<\0/\0r\0o\0o\0t\0>\0", 28),
        "<root></root><root></root>",
    };
    for (const QByteArray& before : archives) {
        SCOPED_TRACE(before.toStdString());
        prompts.boxes.clear();
        TestEnv::writeFile(dataFile("archive.xml"), before);
        pugi::xml_document items = parsed("<root>\r\n" + one + "\r\n" + two + "\r\n</root>");

        // What the archive held before, with the items it does not hold yet appended to its root.
        pugi::xml_document expected;
        const bool readable = File::readXMLText(expected, before).ok() && expected.document_element();
        if (readable) {
            QSet<QByteArray> held;
            for (const pugi::xml_node& item : expected.document_element().children("item"))
                held.insert(File::xmlText(item));
            for (const pugi::xml_node& item : items.document_element().children("item"))
                if (!held.contains(File::xmlText(item))) expected.document_element().append_copy(item);
        }

        EXPECT_EQ(xml.archiveData(items), readable);
        const QByteArray after = TestEnv::readFile(dataFile("archive.xml"));
        if (!readable) {
            EXPECT_EQ(after, before) << "an archive that cannot be read stays as it is";
            EXPECT_EQ(xml.getElementValue(items, "/root/item/id"), QStringList({"1", "2"}));
            EXPECT_EQ(prompts.boxes.size(), 1);
            continue;
        }
        EXPECT_TRUE(prompts.boxes.isEmpty());
        EXPECT_EQ(File::xmlText(items), "<root>\r\n\r\n\r\n</root>");
        EXPECT_EQ(File::xmlText(parsed(after)), File::xmlText(expected)) << after.toStdString();
        // An archive of the plain forms keeps every byte it had: the items go in before its end tag.
        const qsizetype end = before.lastIndexOf("</");
        if (&before - archives < 6) {
            EXPECT_TRUE(after.startsWith(before.left(end)) && after.endsWith(before.mid(end)));
        }

        // The next move, which reads no more of it than the last one added, comes to what reading it whole
        // gives as well: the item held already stays out.
        const QByteArray three = "<item><id>3</id><date>20200103</date></item>";
        items = parsed("<root>" + one + three + "</root>");
        pugi::xml_document expectedNext = parsed(after);
        QSet<QByteArray> heldNext;
        for (const pugi::xml_node& item : expectedNext.document_element().children("item"))
            heldNext.insert(File::xmlText(item));
        for (const pugi::xml_node& item : items.document_element().children("item"))
            if (!heldNext.contains(File::xmlText(item))) expectedNext.document_element().append_copy(item);
        EXPECT_TRUE(xml.archiveData(items));
        EXPECT_EQ(File::xmlText(parsed(TestEnv::readFile(dataFile("archive.xml")))),
                  File::xmlText(expectedNext));
        EXPECT_TRUE(prompts.boxes.isEmpty());
    }

    // A move that cannot be written whole leaves the archive as it was, and the items where they were.
    const QByteArray before = "<root>\r\n" + QByteArray(2000, ' ') + "</root>";
    TestEnv::writeFile(dataFile("archive.xml"), before);
    pugi::xml_document items = parsed("<root>" + one + two + "</root>");
    prompts.boxes.clear();
    {
        FileSizeLimit limit(2050);
        EXPECT_FALSE(xml.archiveData(items));
    }
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(prompts.boxes[0].text.contains("61 - Disk full")) << prompts.boxes[0].text.toStdString();
    EXPECT_EQ(TestEnv::readFile(dataFile("archive.xml")), before);
    EXPECT_EQ(xml.getElementValue(items, "/root/item/id"), QStringList({"1", "2"}));
    EXPECT_EQ(QDir(env.dataDir()).entryList({"*.saving-*"}, QDir::Files | QDir::Hidden), QStringList());
    // Put back, it takes the move once there is room.
    EXPECT_TRUE(xml.archiveData(items));
    EXPECT_EQ(TestEnv::readFile(dataFile("archive.xml")), before.chopped(7) + one + two + "</root>");

    // When nothing is old enough to move, the archive is left alone, even one that cannot be read.
    TestEnv::writeFile(dataFile("archive.xml"), "<root><item>");
    items = parsed("<root><item><id>3</id><date>20261207</date></item></root>");
    prompts.boxes.clear();
    EXPECT_TRUE(xml.archiveData(items));
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(TestEnv::readFile(dataFile("archive.xml")), "<root><item>");
}

TEST_F(XMLFileTest, AnArchiveLeftAsItWasIsReadOnlyWhereTheLastMovesAddedToIt) {
    QByteArray years = "<root>\r\n";
    for (int i = 0; i < 500; ++i)
        years += archiveItem(1000 + i, "20160101");
    TestEnv::writeFile(archive(), years + "</root>");
    ASSERT_TRUE(
        moveOld(archiveItem(1, "20261101"), true)); // read whole once: the program has not seen it before

    // Spoilt far before its end, with its time of change kept: the next move does not see it, as it reads
    // nothing of what stood there before.
    struct stat was {};
    ASSERT_EQ(::stat(QFile::encodeName(archive()).constData(), &was), 0);
    QByteArray spoilt = archiveText();
    spoilt.replace(8, 5, "<itex");
    TestEnv::writeFile(archive(), spoilt);
    keepTime(archive(), was);
    EXPECT_TRUE(moveOld(archiveItem(2, "20261102"), true));
    EXPECT_TRUE(prompts.boxes.isEmpty());
    EXPECT_EQ(archiveText(), spoilt.chopped(7) + archiveItem(2, "20261102") + "</root>");

    // Changed by other hands (a time of change that is not the one the program left), it is read whole
    // again: here it does not read, so no item leaves the items file.
    spoilt = archiveText();
    TestEnv::writeFile(archive(), spoilt);
    EXPECT_FALSE(moveOld(archiveItem(3, "20261103")));
    ASSERT_EQ(prompts.boxes.size(), 1);
    EXPECT_TRUE(prompts.boxes[0].text.contains(" - XML.archiveData: "));
    EXPECT_EQ(archiveText(), spoilt);
}

TEST_F(XMLFileTest, MovesCutOffBeforeTheItemsFileWasWrittenLeaveEveryItemOnce) {
    const QByteArray a = archiveItem(1, "20261120");
    const QByteArray b = archiveItem(2, "20261202");
    const QByteArray c = archiveItem(3, "20261205");
    TestEnv::writeFile(archive(), "<root>\r\n" + archiveItem(9, "20200101") + "</root>");
    // 7 December: a moves; the program ends before the items file is written.
    ASSERT_TRUE(moveOld(a + b + c));
    // 10 December: a and b are old, a is in the archive already; cut off again.
    clock.set(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
    ASSERT_TRUE(moveOld(a + b + c));
    // The clock set back to 8 December: only a is old. This time the items file is written, b still in it.
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(9, 0)));
    ASSERT_TRUE(moveOld(a + b + c, true));
    // 13 December, from the items file as written: b, in the archive already, and c.
    clock.set(QDateTime(QDate(2026, 12, 13), QTime(9, 0)));
    ASSERT_TRUE(moveOld(b + c, true));
    EXPECT_EQ(archiveText(), "<root>\r\n" + archiveItem(9, "20200101") + a + b + c + "</root>");
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST_F(XMLFileTest, AMoveCutOffMidwayIsPutBackOrKeptWhole) {
    QByteArray years;
    for (int i = 0; i < 20; ++i)
        years += archiveItem(100 + i, "20200101");
    const QByteArray old = "<!-- kept -->\n<root>\r\n" + years + "</root>\n";
    TestEnv::writeFile(archive(), old);
    const QByteArray a = archiveItem(1, "20261101");
    // The program ends in the middle of writing the move (here: it may not make a file longer than that).
    const auto cutShort = [&] {
        const rlimit limit{static_cast<rlim_t>(old.size() + 20), RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_DFL);
        moveOld(a);
        std::exit(0);
    };
    EXPECT_EXIT(cutShort(), ::testing::KilledBySignal(SIGXFSZ), "");
    const QByteArray cut = archiveText();
    ASSERT_NE(cut, old);
    ASSERT_FALSE(cut.endsWith("</root>\n"));
    const QByteArray record = TestEnv::readFile(xmlarchive::recordPath(archive()));

    // The next start puts back what stood there before it moves anything.
    xmlarchive::recover(archive());
    EXPECT_EQ(archiveText(), old);
    ASSERT_TRUE(moveOld(a));
    const QByteArray moved = "<!-- kept -->\n<root>\r\n" + years + a + "</root>\n";
    EXPECT_EQ(archiveText(), moved);

    // Cut off once the archive was written whole but before that was recorded: the move stands, and the
    // item is not added again.
    TestEnv::writeFile(xmlarchive::recordPath(archive()), record);
    xmlarchive::recover(archive());
    ASSERT_TRUE(moveOld(a));
    EXPECT_EQ(archiveText(), moved);

    // Cut off before the archive was touched, and the machine stopped in the middle of it: zeros where the
    // move was written, or the old end alone.
    for (const QByteArray& left : {old.chopped(8) + QByteArray(300, '\0'), old}) {
        TestEnv::writeFile(archive(), left);
        TestEnv::writeFile(xmlarchive::recordPath(archive()), record);
        ASSERT_TRUE(moveOld(a));
        EXPECT_EQ(archiveText(), moved);
    }
    EXPECT_TRUE(prompts.boxes.isEmpty());
}

TEST_F(XMLFileTest, AnArchivePutInItsPlaceIsReadWholeAgain) {
    const QByteArray a = archiveItem(1, "20261101");
    TestEnv::writeFile(archive(), "<root>\r\n</root>");
    ASSERT_TRUE(moveOld(archiveItem(2, "20261102"), true));
    // Another archive (one kept aside, say) takes its place: it holds a already, far from its end.
    const QByteArray other = "<root>\r\n" + a + archiveItem(3, "20261103") + "</root>";
    TestEnv::writeFile(archive() + ".new", other);
    ASSERT_TRUE(QFile::remove(archive()));
    ASSERT_TRUE(QFile::rename(archive() + ".new", archive()));
    ASSERT_TRUE(moveOld(a + archiveItem(4, "20261104")));
    EXPECT_EQ(archiveText(),
              "<root>\r\n" + a + archiveItem(3, "20261103") + archiveItem(4, "20261104") + "</root>");
}

TEST_F(XMLFileTest, WhatStandsInsideARootIsLaidOutItemByItem) {
    const QByteArray content = "\r\n<item><note><root><item>x</item></root></note></item><!-- </root> -->"
                               "<other><item/></other><![CDATA[<item>]]><?pi </x>?><item a=\"1\"/>text";
    const std::optional<xmllayout::Layout> layout = xmllayout::scanContent(content);
    ASSERT_TRUE(layout.has_value());
    QList<QByteArray> items;
    for (const auto& [start, length] : layout->items)
        items << content.mid(start, length);
    EXPECT_EQ(items, QList<QByteArray>(
                         {"<item><note><root><item>x</item></root></note></item>", "<item a=\"1\"/>"}));
    // What closes the root, or leaves an element open, or is not one of the plain forms, is not content.
    for (const QByteArray& other : {QByteArray("<item></item></root>"), QByteArray("<item><id>1</id>"),
                                    QByteArray("<item></other>"), QByteArray("<item>\0</item>", 15),
                                    QByteArray("<!DOCTYPE x><item/>"), QByteArray("<item><!-- </item>")})
        EXPECT_FALSE(xmllayout::scanContent(other).has_value()) << other.toStdString();
    EXPECT_TRUE(xmllayout::scanContent("").has_value());
}

TEST_F(XMLFileTest, ARecordThatDoesNotStandForTheArchiveIsNotTaken) {
    const QByteArray a = archiveItem(1, "20261101");
    const QByteArray b = archiveItem(2, "20261102");
    TestEnv::writeFile(archive(), "<root>\r\n" + a + "</root>");
    // Garbled, or the record of some other file: the archive is read whole, and a is known as held.
    TestEnv::writeFile(dataFile("other.xml"), "<root>\r\n</root>");
    ASSERT_TRUE(xmlarchive::note(dataFile("other.xml")));
    for (const QByteArray& record : {QByteArray("Quorvane archive record 1\ndevice 1\n"),
                                     TestEnv::readFile(xmlarchive::recordPath(dataFile("other.xml")))}) {
        TestEnv::writeFile(xmlarchive::recordPath(archive()), record);
        EXPECT_TRUE(moveOld(a + b, true));
        EXPECT_EQ(archiveText(), "<root>\r\n" + a + b + "</root>");
        EXPECT_NE(TestEnv::readFile(xmlarchive::recordPath(archive())), record) << "recorded afresh";
        TestEnv::writeFile(archive(), "<root>\r\n" + a + "</root>");
    }
    EXPECT_TRUE(prompts.boxes.isEmpty());
}
