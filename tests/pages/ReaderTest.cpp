#include "platform/gui/WindowProcs.h"
#include "tests/pages/PageFixture.h"

namespace {

struct Reader {
    int pages;
    const char* title;
    const char* closeButton;
    const char* closeCaption;
};
// Article1 to Article10.
const Reader readers[] = {
    {1, "10 Days Quorvane", "Command1", "Done!"},
    {2, "Day 2 - Put it ALL Quorvane!", "Command1", "Done!"},
    {3, "Day 3 - Managing Interruptions", "Command1", "Done!"},
    {2, "Day 4 - Managing Emails", "Command1", "Done"},
    {1, "Day 5 - Switching off after work", "Command1", "Done!"},
    {2, "Day 6 - Working with Projects", "Command1", "Done"},
    {2, "Day 7 - The Nibble", "Command1", "Done"},
    {1, "Day 8 - Not my day", "Command1", "Done"},
    {3, "Day 9 - Too Much To Do", "Command2", "Done"},
    {1, "Day 10 - Have a Orbin!", "Command2", "Done"},
};

} // namespace

TEST_F(Pages, EveryReaderPagesWithNextToItsCloseButtonWhichEndsIt) {
    for (int n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        const Reader& r = readers[n - 1];
        ended = 0;
        start(QStringLiteral("article%1").arg(n));
        const QString first = QStringLiteral("frmArticle_%1").arg(n, 2, 10, QLatin1Char('0'));
        EXPECT_EQ(text(page(), "labTitle"), QString::fromUtf8(r.title));
        for (int k = 0; k < r.pages; ++k) {
            SCOPED_TRACE(k);
            PageForm* p = page();
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(p->objectName(), k == 0 ? first : first + QStringLiteral("_") + QChar(u'a' + k));
            EXPECT_EQ(p->windowTitle(), QStringLiteral("10 Days Quorvane"));
            // Only the second page of the projects article lets other windows over it.
            EXPECT_EQ(windowprocs::isTopMost(p), !(n == 6 && k == 1));
            auto* picture = p->findChild<PagePictureBox*>(QStringLiteral("Image1"));
            ASSERT_NE(picture, nullptr);
            EXPECT_FALSE(picture->pixmap().isNull());
            // One button on each page.
            ASSERT_EQ(p->findChildren<QPushButton*>().size(), 1);
            if (k + 1 < r.pages) {
                ASSERT_NE(p->button(QStringLiteral("Command1")), nullptr);
                EXPECT_EQ(p->button(QStringLiteral("Command1"))->text(), QStringLiteral("Next"));
                click("Command1");
            } else {
                ASSERT_NE(p->button(QString::fromLatin1(r.closeButton)), nullptr);
                EXPECT_EQ(p->button(QString::fromLatin1(r.closeButton))->text(),
                          QString::fromUtf8(r.closeCaption));
                EXPECT_EQ(ended, 0);
                click(r.closeButton);
            }
        }
        EXPECT_TRUE(loaded().isEmpty());
        EXPECT_EQ(ended, 1);
    }
}

TEST_F(Pages, ClosingAReaderUnloadsEveryPageButArticle1ClosesOnlyItsOwn) {
    // Two pages of Article9 up at once: Done on the last closes the other too.
    start(QStringLiteral("article9"));
    PageForm* other = m_chain->start();
    ASSERT_EQ(loaded().size(), 2);
    QTest::mouseClick(other->button(QStringLiteral("Command1")), Qt::LeftButton);
    flush();
    QTest::mouseClick(m_chain->current()->button(QStringLiteral("Command1")), Qt::LeftButton);
    flush();
    ASSERT_EQ(m_chain->current()->objectName(), QStringLiteral("frmArticle_09_c"));
    QTest::mouseClick(m_chain->current()->button(QStringLiteral("Command2")), Qt::LeftButton);
    flush();
    EXPECT_TRUE(loaded().isEmpty());
    EXPECT_EQ(ended, 1);

    ended = 0;
    start(QStringLiteral("article1"));
    PageForm* second = m_chain->start();
    QTest::mouseClick(second->button(QStringLiteral("Command1")), Qt::LeftButton);
    flush();
    EXPECT_EQ(loaded().size(), 1);
    EXPECT_EQ(ended, 0);
    // Closing the window ends the reader as well.
    page()->close();
    flush();
    EXPECT_EQ(ended, 1);
}
