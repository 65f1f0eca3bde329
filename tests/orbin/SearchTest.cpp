#include "tests/orbin/OrbinFixture.h"

#include "core/Items.h"
#include "orbin/frmSearch.h"
#include "platform/Twips.h"

#include "tests/support/ItemXml.h"

#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

const QString SearchPromptText = QStringLiteral("Enter search text here!");

class Search : public Orbin {
protected:
    void seed() override {
        const QByteArray items =
            taskXml(1, QStringLiteral("Write the quarterly report"), Today, 1) +
            meetingXml(2, QStringLiteral("Report review with Sam"), Today, QStringLiteral("15:00")) +
            taskXml(3, QStringLiteral("Enter search text here! is what the box says"), Today, 2) +
            QByteArray(taskXml(4, QStringLiteral("Shouting report"), Today, 1))
                .replace("<type>Task", "<type>TASK") +
            QByteArray(taskXml(5, QStringLiteral("Report of a project"), Today, 1))
                .replace("<type>Task", "<type>Project") +
            QByteArray(taskXml(6, QStringLiteral("Report with no id"), Today, 1))
                .replace("<id>6<", "<id>-6<") +
            taskXml(7, QStringLiteral("Say \"hello\" &amp; wave"), Today, 1) +
            taskXml(8, QStringLiteral("Sam's &lt;b&gt;bold&lt;/b&gt; plan"), Today, 1);
        writeItems(items);
    }
    QLineEdit* box() const { return control<QLineEdit>("txtSearch"); }
    static QListWidget* list() { return frmSearch::instance()->lstSearch(); }
    static QStringList hits() {
        QStringList texts;
        for (int i = 0; i < list()->count(); ++i)
            texts << list()->item(i)->text();
        return texts;
    }
    void typeIn(const QString& text) {
        QTest::mouseClick(box(), Qt::LeftButton);
        box()->selectAll();
        QTest::keyClick(box(), Qt::Key_Delete);
        QTest::keyClicks(box(), text);
    }
    void clickHit(int row) {
        QListWidget* l = list();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
    }
};

} // namespace

TEST_F(Search, AsAPersonSearchesTheHitOpensItsItem) {
    floater->shrinkFloater();
    QTest::mouseClick(control("btnSearch"), Qt::LeftButton);

    // The box comes up over the top strip with the prompt selected, and the prompt is searched for once.
    ASSERT_TRUE(box()->isVisible());
    EXPECT_EQ(box()->text(), QStringLiteral("Enter search text here!"));
    EXPECT_EQ(box()->selectedText(), box()->text());
    // The box shows the prompt from its first letter on.
    box()->grab();
    EXPECT_EQ(box()->cursorPosition(), 0);
    EXPECT_LT(box()->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), 10);
    EXPECT_TRUE(control("fraCloseSearch")->isVisible());
    EXPECT_EQ(hits(), QStringList{QStringLiteral("Enter search text here! is what the box says (Task)")});
    // The list stands beside the orbin, above other windows.
    frmSearch* results = frmSearch::instance();
    EXPECT_TRUE(results->isVisible());
    EXPECT_EQ(results->pos(), floater->pos() + QPoint(twips::toPixels(frmSearch::OffsetLeft),
                                                      twips::toPixels(frmSearch::OffsetTop)));
    EXPECT_TRUE(results->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    // A click in the box takes the prompt away: everything with a title, last in the file first.
    QTest::mouseClick(box(), Qt::LeftButton);
    EXPECT_EQ(box()->text(), QString());
    EXPECT_EQ(hits().size(), 7);
    EXPECT_EQ(hits().first(), QStringLiteral("Sam's <b>bold</b> plan (Task)"));
    QTest::mouseClick(box(), Qt::LeftButton); // any other text stays
    QTest::keyClicks(box(), QStringLiteral("rEpO"));
    EXPECT_EQ(box()->text(), QStringLiteral("rEpO"));
    // Every change searches again; ids below 1 are left out; each hit is its title and its type.
    EXPECT_EQ(hits(), (QStringList{QStringLiteral("Report of a project (Project)"),
                                   QStringLiteral("Shouting report (TASK)"),
                                   QStringLiteral("Report review with Sam (Meeting)"),
                                   QStringLiteral("Write the quarterly report (Task)")}));
    EXPECT_EQ(list()->item(3)->data(Qt::UserRole).toInt(), 1);
    // A long text stops short of the close cross over the end of the box.
    QTest::keyClicks(box(), QStringLiteral(" and a great deal more than the box can show"));
    box()->grab(); // the box scrolls its text as it paints
    const QRect cursor = box()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_LT(box()->mapToParent(cursor.topLeft()).x(), control("fraCloseSearch")->geometry().left());
    box()->setText(QStringLiteral("rEpO"));

    // A task opens in the edit-task dialog, the type read in any letter case...
    clickHit(3);
    EXPECT_EQ(gItems->currentID(), Integer(1));
    ASSERT_TRUE(forms::isLoaded(QStringLiteral("dlgEditTaskDetails")));
    QPointer<QWidget> first = dynamic_cast<QWidget*>(forms::find(QStringLiteral("dlgEditTaskDetails")));
    clickHit(1);
    EXPECT_EQ(gItems->currentID(), Integer(4));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull()) << "the open dialog is loaded afresh on the second task";
    // ...a meeting in the edit-meeting dialog, a project nowhere.
    clickHit(2);
    FormPort* meeting = forms::find(QStringLiteral("dlgEditMeetingDetails"));
    ASSERT_NE(meeting, nullptr);
    EXPECT_EQ(dynamic_cast<QWidget*>(meeting)->property("Tag").toString(), QStringLiteral("2"));
    const int open = static_cast<int>(forms::loaded().size());
    clickHit(0);
    EXPECT_EQ(static_cast<int>(forms::loaded().size()), open);
    EXPECT_TRUE(prompter.boxes.isEmpty());
}

TEST_F(Search, QuotesApostrophesMarkupAndAmpersandsAreFoundAsTyped) {
    floater->btnSearch_Click();
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("\"hello\""), QStringLiteral("Say \"hello\" & wave (Task)")},
        {QStringLiteral("& w"), QStringLiteral("Say \"hello\" & wave (Task)")},
        {QStringLiteral("sam's"), QStringLiteral("Sam's <b>bold</b> plan (Task)")},
        {QStringLiteral("<b>"), QStringLiteral("Sam's <b>bold</b> plan (Task)")},
    };
    for (const auto& [text, hit] : cases) {
        SCOPED_TRACE(text.toStdString());
        typeIn(text);
        EXPECT_EQ(hits(), QStringList{hit});
    }
    typeIn(QStringLiteral("']|//*[title='"));
    EXPECT_TRUE(hits().isEmpty());
    EXPECT_TRUE(prompter.boxes.isEmpty());
    EXPECT_TRUE(box()->isVisible());
}

TEST_F(Search, TheCrossAndEveryShrinkCloseTheSearchAndTheListFollowsADrag) {
    floater->expandFloater();
    floater->btnSearch_Click();
    QPointer<frmSearch> results = frmSearch::instance();

    // Dragged by its handle, the orbin takes the list along.
    QWidget* handle = control("imgDragArrow");
    const QPoint was = results->pos();
    QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(25, 15), handle->mapToGlobal(QPointF(25, 15)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(25, 15));
    EXPECT_EQ(results->pos(), was + QPoint(20, 10));

    QTest::mouseClick(control("imgCloseSearch"), Qt::LeftButton);
    EXPECT_FALSE(box()->isVisible());
    EXPECT_FALSE(control("fraCloseSearch")->isVisible());
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmSearch")));
    EXPECT_FALSE(floater->isShrunk()) << "closing the search leaves the window as it is";
    floater->imgCloseSearch_Click(); // closing again is harmless
    EXPECT_TRUE(prompter.boxes.isEmpty());

    // Opened again, the box starts with the prompt; any shrink closes it all.
    typeIn(QStringLiteral("x"));
    floater->btnSearch_Click();
    EXPECT_EQ(box()->text(), QStringLiteral("Enter search text here!"));
    floater->shrinkFloater();
    EXPECT_FALSE(box()->isVisible());
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmSearch")));
}

TEST_F(Search, TheBoxsCrossIsNotTheQuitCrossAndThePromptStandsWholeBesideIt) {
    floater->btnSearch_Click();
    QWidget* cross = control("imgCloseSearch");
    QWidget* quit = control("imgClose");
    const QRect crossAt(cross->mapTo(floater, QPoint(0, 0)), cross->size());
    // Inside the box, and a clear step away from the quit cross beside it.
    EXPECT_TRUE(box()->geometry().contains(crossAt));
    EXPECT_GE(quit->geometry().left() - crossAt.right() - 1, 5);
    // Drawn otherwise: nothing of it is red.
    const QImage look = cross->grab().toImage();
    int red = 0;
    for (int y = 0; y < look.height(); ++y)
        for (int x = 0; x < look.width(); ++x) {
            const QColor c = look.pixelColor(x, y);
            red += c.alpha() > 0 && c.red() > c.green() + 40 && c.red() > c.blue() + 40;
        }
    EXPECT_EQ(red, 0);
    EXPECT_NE(look, quit->grab().toImage());
    // The prompt stands whole in the box: from its first letter, in sight, to its last, which ends before
    // the cross.
    auto cursorAt = [&](int position) {
        box()->setCursorPosition(position);
        box()->grab(); // the box scrolls its text as it paints
        return box()->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x();
    };
    const int end = cursorAt(static_cast<int>(box()->text().size()));
    const int start = cursorAt(0);
    EXPECT_GE(start, 0);
    EXPECT_EQ(end - start, box()->fontMetrics().horizontalAdvance(SearchPromptText)) << "the prompt scrolls";
    EXPECT_LT(box()->mapToParent(QPoint(end, 0)).x(), crossAt.left());
}

TEST_F(Search, AClickWhereSearchStandsUnderTheMessageBoardOpensTheSearch) {
    // The board stands over the top strip for a while (as when the day's running task comes back at a
    // start); a click where Search stands is meant for Search.
    floater->showMessage(
        QStringLiteral("Starting task Write the quarterly report. Estimated time: 30 minutes"));
    QWidget* board = control("lblMessageBoard");
    ASSERT_TRUE(board->isVisible());
    QWidget* search = control("btnSearch");
    QTest::mouseClick(board, Qt::LeftButton, {}, board->mapFrom(floater, search->geometry().center()));
    EXPECT_FALSE(board->isVisible());
    ASSERT_NE(box(), nullptr);
    EXPECT_TRUE(box()->isVisible());
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("frmSearch")));

    // Elsewhere a click only takes the board away.
    floater->imgCloseSearch_Click();
    floater->showMessage(QStringLiteral("Task done!"));
    QTest::mouseClick(board, Qt::LeftButton, {}, board->rect().center());
    EXPECT_FALSE(board->isVisible());
    EXPECT_FALSE(box()->isVisible());
    EXPECT_FALSE(forms::isLoaded(QStringLiteral("frmSearch")));
}
