#include "platform/Failure.h"
#include "tests/pages/PageFixture.h"

#include <QFile>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

namespace {

QStringList allChains() {
    QStringList names{QStringLiteral("welcome")};
    for (int n = 1; n <= 10; ++n)
        names << QStringLiteral("article%1").arg(n);
    return names;
}

} // namespace

// What a page says must be readable at the size its program opens with, without scrolling.
TEST_F(Pages, EveryPagesTextFitsItsWindow) {
    for (const QString& chainName : allChains()) {
        const ChainSpec spec = loadChain(QStringLiteral(":/%1/pages.xml").arg(chainName));
        for (const PageSpec& p : spec.pages) {
            SCOPED_TRACE(p.name.toStdString());
            PageChain chain(spec);
            // Show exactly this page, at the chain's size.
            auto* form = new PageForm(p, spec.size, &chain);
            form->resize(spec.size);
            form->show();
            QCoreApplication::processEvents();
            auto* column = form->findChild<QScrollArea*>(QStringLiteral("textColumn"));
            ASSERT_NE(column, nullptr);
            EXPECT_EQ(column->verticalScrollBar()->maximum(), 0)
                << "the text is " << column->verticalScrollBar()->maximum() << " pixels too long";
            for (QLabel* label : form->findChildren<QLabel*>())
                EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->objectName();
            form->unloadForm();
            flush();
        }
    }
}

TEST_F(Pages, BrokenContentIsRefusedWithWhatIsWrong) {
    QTemporaryDir dir;
    const auto tryContent = [&](const QByteArray& xml) -> QString {
        const QString path = dir.filePath(QStringLiteral("pages.xml"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(xml);
        f.close();
        try {
            loadChain(path);
        } catch (const Failure& e) {
            return e.description();
        }
        return QStringLiteral("accepted");
    };
    const QByteArray head = "<chain width='800' height='600'>";
    EXPECT_TRUE(
        tryContent(head + "<page name='a'><text>x</text><button name='b' do='end'>Go</button></page></chain>")
            .endsWith(QStringLiteral("accepted")));
    EXPECT_TRUE(tryContent(head + "<page name='a'><text>x</text>").contains(QStringLiteral("at byte")));
    EXPECT_TRUE(tryContent(head + "<page name='a'><button name='b' to='z'>Go</button></page></chain>")
                    .contains(QStringLiteral("leads to z")));
    EXPECT_TRUE(tryContent(head + "<page name='a'><link to='a'>x</link><picture name='p' file='no.png'/>"
                                  "<button name='b' do='end'>Go</button></page></chain>")
                    .contains(QStringLiteral("no file")));
    EXPECT_TRUE(tryContent(head + "<page name='a'><text>x</text><picture name='p'/>"
                                  "<button name='b' do='end'>Go</button></page></chain>")
                    .contains(QStringLiteral("no file")));
    EXPECT_TRUE(tryContent(head + "<page name='a'><text>x</text></page></chain>")
                    .contains(QStringLiteral("no button")));
    EXPECT_TRUE(
        tryContent(head + "<page name='a'><txt>x</txt><button name='b' do='end'>Go</button></page></chain>")
            .contains(QStringLiteral("unknown element <txt>")));
    EXPECT_TRUE(
        tryContent(head + "<page name='a'><text>x</text><button name='b' do='end'>Go</button></page>"
                          "<page name='a'><text>y</text><button name='b' do='end'>Go</button></page></chain>")
            .contains(QStringLiteral("page a twice")));

    // A picture that does not read as one leaves its page without it, and the page is still shown.
    QFile damaged(dir.filePath(QStringLiteral("damaged.png")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x89PNG\r\n not a picture");
    damaged.close();
    ASSERT_TRUE(tryContent(head + "<page name='a'><text>x</text><picture name='p' file='damaged.png'/>"
                                  "<button name='b' do='end'>Go</button></page></chain>")
                    .endsWith(QStringLiteral("accepted")));
    PageChain chain(loadChain(dir.filePath(QStringLiteral("pages.xml"))));
    PageForm* shown = chain.start();
    ASSERT_NE(shown, nullptr);
    QCoreApplication::processEvents();
    EXPECT_TRUE(shown->isVisible());
    EXPECT_TRUE(shown->findChild<PagePictureBox*>(QStringLiteral("p"))->pixmap().isNull());

    try {
        loadChain(dir.filePath(QStringLiteral("missing.xml")));
        ADD_FAILURE() << "a missing content file was accepted";
    } catch (const Failure& e) {
        EXPECT_EQ(e.number(), err::FileNotFound);
    }
}
