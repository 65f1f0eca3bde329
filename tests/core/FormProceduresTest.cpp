#include "core/FormProcedures.h"
#include "tests/support/FakeForm.h"

#include <gtest/gtest.h>

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
