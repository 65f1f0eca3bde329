#include "help/ChmFile.h"
#include "help/HelpBrowser.h"
#include "help/HelpWindow.h"
#include "help/PageBounds.h"
#include "tests/help/HelpFileMaker.h"
#include "tests/support/TestEnv.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QListWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

// The pages of a help file as the viewer shows them: only from inside the file, and never a page that
// would hold the program up for seconds, however the file was made or damaged.

namespace {

const QColor Secret(0x13, 0x57, 0x9b); // the colour of the machine's own picture and style sheet
const QColor Inside(0x2e, 0x8b, 0x57); // the colour of the help file's picture

QByteArray png(int width, int height, const QColor& color) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray contents(const QStringList& pages) {
    QByteArray hhc = "<UL>\n";
    for (const QString& p : pages)
        hhc += "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"" + p.toUtf8() +
               "\"><param name=\"Local\" value=\"" + p.toUtf8() + "\"></OBJECT>\n";
    return hhc + "</UL>\n";
}

bool holdsColor(const QImage& image, const QColor& color) {
    const QRgb wanted = color.rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == wanted) return true;
    return false;
}

// How a laid-out page is built: tables within tables, cells, and characters.
struct Shape {
    int tableDepth = 0;
    qint64 cells = 0;
};
void measure(QTextFrame* frame, int depth, Shape& shape) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            shape.tableDepth = std::max(shape.tableDepth, depth + 1);
            shape.cells += qint64(table->rows()) * table->columns();
            measure(child, depth + 1, shape);
        } else {
            measure(child, depth, shape);
        }
    }
}
Shape shapeOf(const QString& html) {
    QTextDocument doc;
    doc.setHtml(html);
    Shape shape;
    measure(doc.rootFrame(), 0, shape);
    return shape;
}

QString repeated(const QString& text, int times) {
    QString out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

class Pages : public ::testing::Test {
protected:
    void TearDown() override {
        delete window;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Makes a help file of the pages (and pictures) and opens it in a window of the viewer.
    HelpWindow* open(const QList<std::pair<QString, QByteArray>>& files) {
        HelpFileMaker maker;
        QStringList pages;
        for (const auto& [path, bytes] : files) {
            maker.add(path, bytes);
            if (path.endsWith(QStringLiteral(".htm"))) pages << path;
        }
        maker.add(QStringLiteral("contents.hhc"), contents(pages));
        const QString file = env.root() + QStringLiteral("made.chm");
        EXPECT_TRUE(maker.write(file));
        std::shared_ptr<const ChmFile> chm = ChmFile::open(file);
        EXPECT_TRUE(chm);
        if (!chm) return nullptr;
        window = new HelpWindow(chm, QString());
        window->resize(800, 600);
        window->show();
        return window;
    }
    QImage seen() const {
        QCoreApplication::processEvents();
        return window->page()->viewport()->grab().toImage();
    }

    TestEnv env;
    HelpWindow* window = nullptr;
};

} // namespace

TEST_F(Pages, APageShowsPicturesAndStylesFromInsideTheHelpFileOnly) {
    // The machine's own picture and style sheet, each named every way a page could name it.
    const QString local = env.root() + QStringLiteral("local");
    QDir().mkpath(local);
    TestEnv::writeFile(local + QStringLiteral("/secret.png"), png(40, 30, Secret));
    TestEnv::writeFile(local + QStringLiteral("/picture.png"), png(40, 30, Secret));
    TestEnv::writeFile(local + QStringLiteral("/secret.css"),
                       "p { color: #13579b; background-color: #13579b } body { background-color: #13579b }");
    const QByteArray url = QUrl::fromLocalFile(local).toEncoded();
    const QByteArray path = local.toUtf8();
    const QByteArray page = "<html><head>"
                            "<link rel=\"stylesheet\" type=\"text/css\" href=\"" +
                            url +
                            "/secret.css\">"
                            "<link rel=\"stylesheet\" type=\"text/css\" href=\"" +
                            path +
                            "/secret.css\">"
                            "<style>@import url(" +
                            url +
                            "/secret.css);</style></head>"
                            "<body background=\"" +
                            url +
                            "/secret.png\">"
                            "<p id=\"words\">Words of the page</p>"
                            "<table background=\"" +
                            path +
                            "/secret.png\"><tr><td>cell</td></tr></table>"
                            "<p><img src=\"" +
                            url + "/secret.png\"> <img src=\"" + path +
                            "/secret.png\"> "
                            "<img src=\"../../../../../../../../" +
                            path +
                            "/secret.png\"> "
                            "<img src=\"picture.png\"> <img src=\"images/inside.png\"> "
                            "<img src=\"images/broken.png\"></p></body></html>";
    HelpWindow* w = open({{QStringLiteral("local.htm"), page},
                          {QStringLiteral("images/inside.png"), png(40, 30, Inside)},
                          {QStringLiteral("images/broken.png"), "not a picture"}});
    ASSERT_TRUE(w);
    // A relative name that the file does not hold is not looked for beside the program either.
    const QString before = QDir::currentPath();
    QDir::setCurrent(local);
    w->showFirstTopic();
    const QImage image = seen();
    QDir::setCurrent(before);

    EXPECT_EQ(w->page()->topic(), QStringLiteral("/local.htm"));
    EXPECT_TRUE(w->page()->toPlainText().contains(QStringLiteral("Words of the page")));
    EXPECT_TRUE(holdsColor(image, Inside)) << "the help file's own picture is shown";
    EXPECT_FALSE(holdsColor(image, Secret)) << "a picture or style sheet of the machine is shown";
    QTextCursor words = w->page()->document()->find(QStringLiteral("Words"));
    ASSERT_FALSE(words.isNull());
    EXPECT_NE(words.charFormat().foreground().color(), Secret);
}

TEST_F(Pages, ThePicturesOfAPageAreKeptWithinBounds) {
    // Pictures of 36 megabytes each, once decoded (one of them named twice): the first is shown, the others
    // are marked missing.
    const QByteArray big = png(3000, 3000, Inside);
    HelpWindow* w =
        open({{QStringLiteral("big.htm"),
               "<p><img src=\"a.png\"><img src=\"b.png\"><img src=\"c.png\"><img src=\"A.PNG\"></p>"},
              {QStringLiteral("a.png"), big},
              {QStringLiteral("b.png"), big},
              {QStringLiteral("c.png"), big}});
    ASSERT_TRUE(w);
    w->showFirstTopic();
    QTextDocument* doc = w->page()->document();
    int shown = 0;
    for (const char* name : {"a.png", "b.png", "c.png", "A.PNG"})
        if (doc->resource(QTextDocument::ImageResource, QUrl(QString::fromLatin1(name)))
                .value<QImage>()
                .width() == 3000)
            ++shown;
    EXPECT_EQ(shown, 1);
}

TEST(PageBounds, TheHelpFilesOwnPagesAreShownAsWritten) {
    int pages = 0;
    for (QDirIterator it(QStringLiteral(QV_HELP_SOURCES), {QStringLiteral("*.htm")}); it.hasNext(); ++pages) {
        QFile f(it.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(f.readAll());
        EXPECT_EQ(pagebounds::bounded(html), html) << it.filePath().toStdString();
    }
    EXPECT_GE(pages, 13);
    // Nor is a page of moderate size and shape changed: a table of a thousand cells, tables three deep,
    // a long page of paragraphs with pictures and a style.
    const QStringList kept{
        QStringLiteral("<table>") +
            repeated(QStringLiteral("<tr><td>name</td><td>what it does</td></tr>\n"), 500) +
            QStringLiteral("</table>"),
        QStringLiteral("<table><tr><td><table><tr><td><table><tr><td>deep</td></tr></table></td></tr></table>"
                       "</td></tr></table>"),
        QStringLiteral("<style>p { color: blue }</style>") +
            repeated(QStringLiteral("<p>A paragraph of words <img src=\"x.png\"> and more words.</p>\n"), 60),
        QStringLiteral("<p>a<p><b>b<p>c <ul><li>one<li>two</ul>") + repeated(QStringLiteral("<p>more"), 300)};
    for (const QString& html : kept)
        EXPECT_EQ(pagebounds::bounded(html), html) << html.left(80).toStdString();
}

TEST(PageBounds, APageThatWouldHoldTheProgramUpIsShownSimplerAndReadable) {
    struct Case {
        const char* what;
        QString html;
        QString words; // still to be read
        bool simpler = true;
    };
    const QList<Case> cases{
        {"tables nested 40 deep",
         repeated(QStringLiteral("<table><tr><td>level "), 40) + QStringLiteral("deepest"),
         QStringLiteral("deepest")},
        {"nested tables, closed",
         repeated(QStringLiteral("<table border=1><tr><td>a</td><td>"), 20) + QStringLiteral("deepest") +
             repeated(QStringLiteral("</td></tr></table>"), 20),
         QStringLiteral("deepest")},
        {"rows without end",
         QStringLiteral("<table>") + repeated(QStringLiteral("<tr><td>a<td>b<td>c"), 10000) +
             QStringLiteral("last"),
         QStringLiteral("last")},
        {"spans of millions",
         QStringLiteral("<table>") +
             repeated(QStringLiteral("<tr><td colspan=100000 rowspan=\"100000\">x"), 100) +
             QStringLiteral("<tr><td>last"),
         QStringLiteral("last")},
        {"cells without rows or table", repeated(QStringLiteral("<td>cell "), 5000) + QStringLiteral("last"),
         QStringLiteral("last")},
        {"rows closed by their row group",
         repeated(QStringLiteral("<table><tbody><tr></tbody><td>x"), 30) + QStringLiteral("last"),
         QStringLiteral("last"), false},
        {"ten megabytes", QStringLiteral("<p>") + repeated(QStringLiteral("word "), 2'000'000),
         QStringLiteral("word word")},
        {"elements 30 000 deep", repeated(QStringLiteral("<div>"), 30000) + QStringLiteral("deepest"),
         QStringLiteral("deepest")},
        {"pictures in a long paragraph",
         QStringLiteral("<p>") + repeated(QStringLiteral("a <img src=\"x.png\" align=left> "), 5000) +
             QStringLiteral("last"),
         QStringLiteral("last")},
        {"style rules times elements",
         QStringLiteral("<style>") + repeated(QStringLiteral("*{color:red}"), 5000) +
             QStringLiteral("</style>") + repeated(QStringLiteral("<b>x</b>"), 10000) +
             QStringLiteral("last"),
         QStringLiteral("last")},
        {"names Qt reads otherwise",
         QStringLiteral("<table>") + repeated(QStringLiteral("<\"table\"><t&#114;><td>x"), 40) +
             QStringLiteral("last"),
         QStringLiteral("last")},
    };
    for (const Case& c : cases) {
        const QString out = pagebounds::bounded(c.html);
        const Shape shape = shapeOf(out);
        EXPECT_LE(shape.tableDepth, 9) << c.what;
        EXPECT_LE(shape.cells, 10000) << c.what;
        EXPECT_LE(out.size(), 400 * 1024) << c.what;
        QTextDocument doc;
        doc.setHtml(out);
        EXPECT_TRUE(doc.toPlainText().contains(c.words)) << c.what;
        EXPECT_EQ(doc.toPlainText().startsWith(QStringLiteral("This page of the help file is damaged")),
                  c.simpler)
            << c.what;
        int pictures = 0;
        for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().isImageFormat()) ++pictures;
        EXPECT_LE(pictures, 64) << c.what;
    }
}

TEST_F(Pages, ADamagedPageIsShownSimplerInTheViewerAndItsWordsAreFound) {
    // Deep enough to take seconds here without the bound, and hours at twice the depth.
    const QByteArray nested =
        (repeated(QStringLiteral("<table><tr><td>level "), 18) + QStringLiteral("the deepest words"))
            .toUtf8();
    HelpWindow* w = open({{QStringLiteral("nested.htm"), nested}});
    ASSERT_TRUE(w);
    w->showFirstTopic();
    EXPECT_EQ(w->page()->topic(), QStringLiteral("/nested.htm"));
    Shape shape;
    measure(w->page()->document()->rootFrame(), 0, shape);
    EXPECT_LE(shape.tableDepth, 9);
    EXPECT_TRUE(w->page()->toPlainText().contains(QStringLiteral("the deepest words")));
    w->search(QStringLiteral("deepest words"));
    ASSERT_EQ(w->searchResults()->count(), 1);
}
