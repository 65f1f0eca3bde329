#include "dialogs/dlgSaving.h"
#include "platform/FormPort.h"

#include <QLabel>
#include <gtest/gtest.h>

TEST(SavingNotice, OneLineInVerdanaUnderTheProgramsName) {
    dlgSaving notice;
    EXPECT_EQ(notice.windowTitle(), QStringLiteral("Quorvane"));
    auto* label = notice.findChild<QLabel*>(QStringLiteral("Label1"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("Saving data to disk..."));
    EXPECT_EQ(label->font().family(), QStringLiteral("Verdana"));
    EXPECT_TRUE(forms::isLoaded(QStringLiteral("dlgSaving")));
}
