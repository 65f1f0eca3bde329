#include "Functions.h"
#include "Failure.h"
#include "FakeClock.h"
#include "FakeForm.h"
#include "FormPort.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <memory>

namespace {

QDate dec(int day) {
    return QDate(2026, 12, day);
}

} // namespace

TEST(DayText, AroundMondaySevenDecember) {
    FakeClock clock; // Monday 7 December 2026
    EXPECT_EQ(dayText(dec(7)), "Today");
    EXPECT_EQ(dayText(dec(8)), "Tomorrow");
    EXPECT_EQ(dayText(dec(6)), "Sunday");
    EXPECT_EQ(dayText(dec(9)), "Wednesday");
    EXPECT_EQ(dayText(dec(13)), "Sunday");
    EXPECT_EQ(dayText(dec(14)), "Mon 14");
    EXPECT_EQ(dayText(dec(5)), "Sat 5");
    EXPECT_EQ(dayText(QDate(2026, 11, 30)), "Mo 30 Nov");
    EXPECT_EQ(dayText(QDate(2027, 1, 1)), "F 1/1/27");
    EXPECT_EQ(dayText(QDate(2025, 12, 7)), "S 7/12/25"); // same month number, other year
}

TEST(DayText, TomorrowGivesWayAcrossMonthAndYear) {
    FakeClock clock(QDateTime(QDate(2026, 12, 31), QTime(8, 0)));
    EXPECT_EQ(dayText(QDate(2027, 1, 1)), "F 1/1/27");
    clock.set(QDateTime(QDate(2026, 11, 30), QTime(8, 0)));
    EXPECT_EQ(dayText(dec(1)), "Tu 1 Dec");
}

TEST(FillWeekDays, WeekendColoursAndBoldToday) {
    FakeClock clock;
    // From Saturday 5 December: Sat 5, Sunday, Today, Tomorrow, Wednesday, Thursday, Friday.
    auto looks = fillWeekDays(dec(5));
    EXPECT_EQ(calendarDays()[0], dec(5));
    EXPECT_EQ(calendarDays()[6], dec(11));
    EXPECT_EQ(looks[0].caption, "Sat 5");
    EXPECT_EQ(looks[0].backColor, WeekendBackColor);
    EXPECT_EQ(looks[1].caption, "Sunday");
    EXPECT_EQ(looks[1].backColor, WeekendBackColor);
    EXPECT_EQ(looks[2].caption, "Today");
    EXPECT_TRUE(looks[2].bold);
    EXPECT_EQ(looks[2].backColor, TodayBackColor);
    for (int i : {3, 4, 5, 6}) {
        EXPECT_FALSE(looks[i].bold) << i;
        EXPECT_EQ(looks[i].backColor, TitleBarTextColor) << i;
    }

    // From Friday 11 December: buttons 1 and 2 are the weekend; no button is today.
    looks = fillWeekDays(dec(11));
    EXPECT_EQ(looks[0].backColor, TitleBarTextColor);
    EXPECT_EQ(looks[1].caption, "Saturday");
    EXPECT_EQ(looks[1].backColor, WeekendBackColor);
    EXPECT_EQ(looks[2].caption, "Sunday");
    EXPECT_EQ(looks[2].backColor, WeekendBackColor);
    EXPECT_EQ(looks[3].caption, "Mon 14");
    for (const auto& l : looks)
        EXPECT_FALSE(l.bold);

    // The shorter forms of another month or year are not seen as weekend.
    clock.set(QDateTime(QDate(2026, 12, 31), QTime(8, 0)));
    looks = fillWeekDays(QDate(2027, 1, 2)); // a Saturday
    EXPECT_EQ(looks[0].caption, "S 2/1/27");
    EXPECT_EQ(looks[0].backColor, TitleBarTextColor);
}

TEST(DayChoices, FromMondayAndApplied) {
    FakeClock clock;
    QStringList box{QStringLiteral("Today")};
    fillDayChoices(dec(7), box);
    EXPECT_EQ(box, QStringList({"Today", "Tomorrow", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday",
                                "Next Monday"}));
    EXPECT_EQ(dayChoices()[7].dateText, "2026-12-14");

    gChosenDate = dec(7);
    applyDayChoice(QStringLiteral("Next Monday"));
    EXPECT_EQ(gChosenDate, dec(14));
    applyDayChoice(QStringLiteral("Tomorrow"));
    EXPECT_EQ(gChosenDate, dec(8));
    applyDayChoice(QStringLiteral("Friday"));
    EXPECT_EQ(gChosenDate, dec(11));
    // Not one of the seven labels: nothing changes (the dialogs handle "Today" themselves).
    applyDayChoice(QStringLiteral("Today"));
    applyDayChoice(QStringLiteral("friday"));
    applyDayChoice(QString());
    EXPECT_EQ(gChosenDate, dec(11));

    // A later fill wins; labels follow the start, dates count from today.
    QStringList second;
    fillDayChoices(dec(9), second);
    EXPECT_EQ(second.first(), "Tomorrow");
    EXPECT_EQ(second.last(), "Next Wednesday");
    applyDayChoice(QStringLiteral("Next Monday"));
    EXPECT_EQ(gChosenDate, dec(11));
}

TEST(DateText, ATypedDateIsReadInTheShortFormWithTheYearNearestToday) {
    FakeClock clock;
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); // short dates as 12/24/26
    EXPECT_EQ(readDateText(shortDateText(dec(24))), dec(24));
    EXPECT_EQ(readDateText(QStringLiteral("12/24/26")), dec(24)); // not 1926
    EXPECT_EQ(readDateText(QStringLiteral("1/2/80")), QDate(1980, 1, 2));
    EXPECT_EQ(readDateText(QStringLiteral(" 12/24/2026 ")), dec(24));
    EXPECT_EQ(readDateText(QStringLiteral("2026-12-24")), dec(24));
    for (const char* none : {"", "Start", "Today", "13/45/26", "2026-02-30"})
        EXPECT_EQ(readDateText(QString::fromLatin1(none)), std::nullopt) << none;
    QLocale::setDefault(before);
}

TEST(Password, ScrambleCodesAndRoundTrip) {
    const QString clear = QStringLiteral("Ab 9!");
    const QString stored = scramblePassword(clear);
    ASSERT_EQ(stored.size(), 5);
    EXPECT_EQ(stored.at(0).unicode(), 192);
    EXPECT_EQ(stored.at(1).unicode(), 219);
    EXPECT_EQ(stored.at(2).unicode(), 32);
    EXPECT_EQ(stored.at(3).unicode(), 253);
    EXPECT_EQ(stored.at(4).unicode(), 33);
    EXPECT_EQ(unscramblePassword(stored), clear);

    const QString edges = QStringLiteral("AZaz09");
    const QChar stored6[] = {QChar(192), QChar(217), QChar(218), QChar(243), QChar(244), QChar(253)};
    EXPECT_EQ(scramblePassword(edges), QString(stored6, 6));
    EXPECT_EQ(unscramblePassword(scramblePassword(edges)), edges);
    // An accented letter lies in the stored range and does not survive.
    const QString accented(QChar(0xE9));
    EXPECT_NE(unscramblePassword(scramblePassword(accented)), accented);
}

TEST(Forms, IsFormLoadedIsCaseBlind) {
    LoadedFakeForm days(QStringLiteral("dlgDays"));
    EXPECT_TRUE(isFormLoaded(QStringLiteral("DLGDAYS")));
    EXPECT_TRUE(isFormLoaded(QStringLiteral("dlgdays")));
    EXPECT_FALSE(isFormLoaded(QStringLiteral("dlgDay")));
    days.unloadForm();
    EXPECT_FALSE(isFormLoaded(QStringLiteral("dlgDays")));
}

TEST(Forms, SetTopMostFindsTheFormByHandle) {
    LoadedFakeForm a(QStringLiteral("a"), 11);
    LoadedFakeForm b(QStringLiteral("b"), 22);
    setTopMost(22);
    EXPECT_FALSE(a.topMost);
    EXPECT_TRUE(b.topMost);
    setTopMost(99); // no such window: nothing happens
}

TEST(Forms, DragMovesByTheOffsetFromThePressPoint) {
    LoadedFakeForm orbin(QStringLiteral("frmFloater"));
    LoadedFakeForm search(QStringLiteral("frmSearch"));
    dragWindow(&orbin, 150, 90, 1, true); // press: records the point, moves by nothing
    dragWindow(&search, 150, 90, 1, false);
    EXPECT_EQ(orbin.rect.left, 1000);
    EXPECT_EQ(orbin.rect.top, 2000);

    dragWindow(&orbin, 300.4, 44.6, 1, false);
    EXPECT_EQ(orbin.rect.left, 1150);
    EXPECT_EQ(orbin.rect.top, 1955);
    EXPECT_EQ(orbin.rect.width, 3000);
    dragWindow(&search, 300, 45, 1, false); // a companion moves by the same offset
    EXPECT_EQ(search.rect.left, 1150);
    EXPECT_EQ(search.rect.top, 1955);
    EXPECT_EQ(orbin.redraws, 2);

    dragWindow(&orbin, 0, 0, 2, false); // not the left button: nothing moves
    EXPECT_EQ(orbin.rect.left, 1150);
    dragWindow(nullptr, 10, 10, 1, false); // a missing form is skipped, nothing escapes
    dragWindow(&orbin, 500, 500, 1, true); // a new press forgets the old point
    EXPECT_EQ(orbin.rect.left, 1150);
}

TEST(Forms, MinimizeToTrayAndBack) {
    LoadedFakeForm orbin(QStringLiteral("frmFloater"));
    LoadedFakeForm dialog(QStringLiteral("dlgNewTaskDetails"));
    LoadedFakeForm closedBefore(QStringLiteral("frmScoreboard"));
    closedBefore.visible = false;
    auto reminder = std::make_unique<LoadedFakeForm>(QStringLiteral("frmReminder"));
    std::unique_ptr<LoadedFakeForm> tray;
    setTrayFormLoader([&] {
        if (!forms::isLoaded(QStringLiteral("frmSysTray")))
            tray = std::make_unique<LoadedFakeForm>(QStringLiteral("frmSysTray"));
        return true;
    });
    minimizeToTray(false, &orbin);
    EXPECT_FALSE(orbin.visible);
    EXPECT_FALSE(dialog.visible);
    EXPECT_FALSE(reminder->visible);
    EXPECT_TRUE(isFormLoaded(QStringLiteral("frmSysTray")));

    // Sent again while in the tray (the hot key): what the first time hid still comes back.
    minimizeToTray(false, &orbin);
    // A form that went while in the tray is not brought back, nor one that takes its place.
    reminder.reset();
    LoadedFakeForm later(QStringLiteral("frmReminder"));
    later.visible = false;

    minimizeToTray(true);
    EXPECT_TRUE(orbin.visible);
    EXPECT_TRUE(dialog.visible) << "a dialog hidden by going to the tray comes back with the orbin";
    EXPECT_FALSE(closedBefore.visible) << "a form that was not in sight stays out of sight";
    EXPECT_FALSE(later.visible);
    EXPECT_TRUE(tray->unloaded);
    EXPECT_FALSE(isFormLoaded(QStringLiteral("frmSysTray")));
    // A second restore (Esc after the tray menu brought the orbin back) shows the orbin alone.
    dialog.visible = false;
    minimizeToTray(true);
    EXPECT_TRUE(orbin.visible);
    EXPECT_FALSE(dialog.visible);

    // No tray on this desktop: every window that was in sight stays so; a hidden one stays hidden.
    setTrayFormLoader([] { return false; });
    minimizeToTray(false, &orbin);
    EXPECT_TRUE(orbin.visible);
    EXPECT_FALSE(dialog.visible);
    dialog.visible = true;
    minimizeToTray(false, &orbin);
    EXPECT_TRUE(dialog.visible);

    // Restoring with no form remembered fails in the caller.
    minimizeToTray(false);
    try {
        minimizeToTray(true);
        FAIL() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.number(), err::ObjectNotSet);
    }
    setTrayFormLoader(nullptr);
}
