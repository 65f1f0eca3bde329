#include "platform/gui/WindowProcs.h"
#include "tests/pages/PageFixture.h"

namespace {

struct TourPage {
    const char* caption;
    const char* heading;
};
// The pages' window captions and headings, page 1 first.
const TourPage tour[] = {
    {"Welcome To Quorvane !", "Welcome To Quorvane !"},
    {"A general overview of the game", "A general overview of the game"},
    {"The Floater", "The Floater"},
    {"Creating a New Task", "Creating a New Task"},
    {"The Orbin !", "The Orbin !"},
    {"Starting a Task", "Starting a Task"},
    {"Starting a Task", "Completing a Task"},
    {"Starting a Task", "Creating a Repetitive Task"},
    {"The Orbin !", "Creating a New Meeting"},
    {"The Orbin !", "The Scoring System"},
    {"The Orbin !", "Thank you for your time!"},
};

QString pageName(int n) {
    return QStringLiteral("frm_Wel_%1").arg(n, 2, 10, QLatin1Char('0'));
}

} // namespace

TEST_F(Pages, TourWalksFromTheIndexToTheLastPageWhoseStartEndsIt) {
    start(QStringLiteral("welcome"));
    for (int n = 1; n <= 11; ++n) {
        SCOPED_TRACE(n);
        PageForm* p = page();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->objectName(), pageName(n));
        EXPECT_EQ(p->windowTitle(), QString::fromUtf8(tour[n - 1].caption));
        EXPECT_EQ(text(p, "Label1"), QString::fromUtf8(tour[n - 1].heading));
        EXPECT_TRUE(p->isVisible());
        // Every page stays over the other windows, except the one on creating a task.
        EXPECT_EQ(windowprocs::isTopMost(p), n != 4);

        auto* picture = p->findChild<PagePictureBox*>();
        if (n == 1) {
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->objectName(), QStringLiteral("Image1"));
        } else if (n >= 3 && n <= 9) {
            ASSERT_NE(picture, nullptr);
            EXPECT_EQ(picture->objectName(), QStringLiteral("Picture1"));
        } else {
            EXPECT_EQ(picture, nullptr);
        }
        if (picture) {
            EXPECT_FALSE(picture->pixmap().isNull());
        }

        ASSERT_NE(p->button(QStringLiteral("butNext")), nullptr);
        EXPECT_EQ(p->button(QStringLiteral("butNext"))->text(),
                  n == 11 ? QStringLiteral("Start") : QStringLiteral("Next"));
        ASSERT_NE(p->button(QStringLiteral("Command1")), nullptr);
        EXPECT_EQ(p->button(QStringLiteral("Command1"))->text(),
                  n == 1 ? QStringLiteral("Exit Tour") : QStringLiteral("Back"));
        if (n == 1) {
            EXPECT_EQ(p->button(QStringLiteral("Command2")), nullptr);
        } else {
            ASSERT_NE(p->button(QStringLiteral("Command2")), nullptr);
            EXPECT_EQ(p->button(QStringLiteral("Command2"))->text(), QStringLiteral("Exit Tour"));
        }
        EXPECT_EQ(ended, 0);
        click("butNext");
    }
    EXPECT_TRUE(loaded().isEmpty());
    EXPECT_EQ(ended, 1);
}

TEST_F(Pages, TourBackGoesOnePageBackButFromTheLastPageToTheIndex) {
    start(QStringLiteral("welcome"));
    click("labTopic_06"); // completing a task, page 7
    EXPECT_EQ(page()->objectName(), pageName(7));
    click("Command1");
    EXPECT_EQ(page()->objectName(), pageName(6));
    for (int n = 6; n < 11; ++n)
        click("butNext");
    ASSERT_EQ(page()->objectName(), pageName(11));
    click("Command1");
    EXPECT_EQ(page()->objectName(), pageName(1));
    EXPECT_EQ(text(page(), "labTopic_01"), QStringLiteral("1. A general overview of the game"));
    click("butNext");
    click("Command1");
    EXPECT_EQ(page()->objectName(), pageName(1));
    EXPECT_EQ(ended, 0);
}

TEST_F(Pages, TourIndexOpensEachTopic) {
    const char* topics[] = {"1. A general overview of the game",
                            "2. The Floater",
                            "3. Creating a new task",
                            "4. The Orbin",
                            "5. Starting a task",
                            "6. Completing a task",
                            "7. Creating a Repetitive Task",
                            "8. Creating a Meeting",
                            "9. The Scoring System"};
    start(QStringLiteral("welcome"));
    for (int k = 1; k <= 9; ++k) {
        SCOPED_TRACE(k);
        const QByteArray name = QStringLiteral("labTopic_%1").arg(k, 2, 10, QLatin1Char('0')).toLatin1();
        EXPECT_EQ(text(page(), name.constData()), QString::fromUtf8(topics[k - 1]));
        click(name.constData());
        EXPECT_EQ(page()->objectName(), pageName(k + 1));
        EXPECT_EQ(windowprocs::isTopMost(page()), k + 1 != 4);
        // Back to the index by the last page's Back.
        while (page()->objectName() != pageName(11))
            click("butNext");
        click("Command1");
    }
}

TEST_F(Pages, ExitTourEndsTheTourFromEveryPage) {
    for (int n = 1; n <= 11; ++n) {
        SCOPED_TRACE(n);
        ended = 0;
        start(QStringLiteral("welcome"));
        for (int i = 1; i < n; ++i)
            click("butNext");
        ASSERT_EQ(page()->objectName(), pageName(n));
        click(n == 1 ? "Command1" : "Command2");
        EXPECT_TRUE(loaded().isEmpty());
        EXPECT_EQ(ended, 1);
    }
}

TEST_F(Pages, AClickOnAScreenshotSaysItIsOnlyAPictureAndLetsOtherWindowsOverThePage) {
    start(QStringLiteral("welcome"));
    click("Image1"); // the logo is only a logo
    EXPECT_TRUE(prompter.boxes.isEmpty());

    click("labTopic_02");
    ASSERT_TRUE(windowprocs::isTopMost(page()));
    click("Picture1");
    ASSERT_EQ(prompter.boxes.size(), 1);
    const FakePrompter::Box& box = prompter.boxes.front();
    EXPECT_EQ(box.text,
              QStringLiteral("No functionality here.\r\nThis is a picture, not the actual application."));
    EXPECT_EQ(box.title, QStringLiteral("Welcome Screen"));
    EXPECT_EQ(box.buttons, Prompter::Buttons::OK);
    EXPECT_EQ(box.icon, Prompter::Icon::None);
    EXPECT_FALSE(windowprocs::isTopMost(page()));
    EXPECT_EQ(page()->objectName(), pageName(3));

    // The next pages follow their own rule again.
    click("butNext");
    EXPECT_FALSE(windowprocs::isTopMost(page()));
    click("butNext");
    EXPECT_TRUE(windowprocs::isTopMost(page()));
    click("Picture1");
    EXPECT_EQ(prompter.boxes.size(), 2);
    EXPECT_FALSE(windowprocs::isTopMost(page()));
}

TEST_F(Pages, ANewPageTakesThePlaceOfTheOneBeforeAndATourStartedMaximisedStaysSo) {
    start(QStringLiteral("welcome"));
    page()->resize(820, 610);
    page()->move(40, 50);
    const QRect where = page()->geometry();
    click("butNext");
    EXPECT_EQ(page()->geometry(), where);
    modFunctions::endTour();
    flush();

    start(QStringLiteral("welcome"), true);
    EXPECT_TRUE(page()->isMaximized());
    click("labTopic_03");
    EXPECT_TRUE(page()->isMaximized());
}
