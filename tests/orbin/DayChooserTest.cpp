#include "tests/orbin/OrbinFixture.h"

#include "core/DayButtons.h"
#include "dialogs/DialogPicture.h"
#include "dialogs/dlgDays.h"
#include "platform/Twips.h"
#include "tests/support/ItemXml.h"

#include <QLabel>
#include <QPushButton>

namespace {

class DayChooser : public Orbin {
protected:
    void seed() override {
        TestEnv::writeFile(
            env.dataDir() + QStringLiteral("items.xml"),
            itemsFileWith(taskXml(1, QStringLiteral("Today's task"), QStringLiteral("20261207"), 1) +
                          taskXml(2, QStringLiteral("A task next week"), QStringLiteral("20261214"), 1)));
    }
    // Opens the chooser as the calendar button does.
    dlgDays* openChooser() const {
        floater->expandFloater();
        QTest::mouseClick(control("cmdShowCalendar"), Qt::LeftButton);
        return dlgDays::instance();
    }
    static QStringList captions(const dlgDays* days) {
        QStringList list;
        for (int i = 0; i < 7; ++i)
            list << days->butCalDay(i)->text();
        return list;
    }
    static qint64 backColor(const QWidget* w) { return w->property("BackColor").toLongLong(); }
    QString shownDay() const { return control<QLabel>("lblDate")->text(); }
    QStringList slotTexts() const {
        QStringList texts;
        for (int n = 1; n <= frmFloater::SlotCount; ++n)
            if (auto* slot =
                    control<QLabel>(QStringLiteral("txtTodo_%1").arg(n, 2, 10, QLatin1Char('0')).toLatin1());
                !slot->text().isEmpty())
                texts << slot->text();
        return texts;
    }
};

QString shortDate(const QDate& d) {
    return QLocale().toString(d, QLocale::ShortFormat);
}

} // namespace

TEST_F(DayChooser, OpensBesideTheOrbinOnTheCurrentWeekAndPagesByWeeks) {
    floater->move(120, 80);
    dlgDays* days = openChooser();
    ASSERT_TRUE(days->isVisible());
    EXPECT_EQ(days->pos(), QPoint(120 + floater->width(), 80 + twips::toPixels(315)));
    // Monday 7 December 2026.
    EXPECT_EQ(captions(days),
              (QStringList{"Today", "Tomorrow", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"}));
    EXPECT_TRUE(days->butCalDay(0)->font().bold());
    EXPECT_EQ(backColor(days->butCalDay(0)), TodayBackColor);
    EXPECT_EQ(backColor(days->butCalDay(5)), WeekendBackColor);

    QTest::mouseClick(days->findChild<QPushButton*>(QStringLiteral("butCalNextWeek")), Qt::LeftButton);
    EXPECT_EQ(captions(days),
              (QStringList{"Mon 14", "Tue 15", "Wed 16", "Thu 17", "Fri 18", "Sat 19", "Sun 20"}));
    EXPECT_FALSE(days->butCalDay(0)->font().bold());
    EXPECT_EQ(backColor(days->butCalDay(0)), TitleBarTextColor);
    QTest::mouseClick(days->findChild<QPushButton*>(QStringLiteral("butCalPreviousWeek")), Qt::LeftButton);
    QTest::mouseClick(days->findChild<QPushButton*>(QStringLiteral("butCalPreviousWeek")), Qt::LeftButton);
    EXPECT_EQ(captions(days).first(), QStringLiteral("Mo 30 Nov"));

    // The close picture hides the chooser; opening it again starts on today.
    QTest::mouseClick(days->findChild<DialogPicture*>(QStringLiteral("imgCloseSearch")), Qt::LeftButton);
    EXPECT_FALSE(days->isVisible());
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("dlgDays")));
    QTest::mouseClick(control("cmdShowCalendar"), Qt::LeftButton);
    EXPECT_TRUE(days->isVisible());
    EXPECT_EQ(captions(days).first(), QStringLiteral("Today"));
}

TEST_F(DayChooser, ADayButtonMakesTheOrbinShowThatDayAndPagingAloneDoesNot) {
    dlgDays* days = openChooser();
    EXPECT_EQ(slotTexts(), QStringList{QStringLiteral("Today's task")});
    QTest::mouseClick(days->findChild<QPushButton*>(QStringLiteral("butCalNextWeek")), Qt::LeftButton);
    EXPECT_EQ(shownDay(), shortDate(QDate(2026, 12, 7)));
    EXPECT_EQ(slotTexts(), QStringList{QStringLiteral("Today's task")});

    QTest::mouseClick(days->butCalDay(0), Qt::LeftButton);
    EXPECT_EQ(shownDay(), shortDate(QDate(2026, 12, 14)));
    EXPECT_EQ(slotTexts(), QStringList{QStringLiteral("A task next week")});
    EXPECT_TRUE(days->isVisible());

    QTest::mouseClick(days->butCalDay(3), Qt::LeftButton);
    EXPECT_EQ(shownDay(), shortDate(QDate(2026, 12, 17)));
    EXPECT_TRUE(slotTexts().isEmpty());
}
