#include "tests/orbin/OrbinFixture.h"

#include "core/Items.h"
#include "dialogs/dlgEditMeetingDetails.h"
#include "dialogs/dlgNewMeetingDetails.h"
#include "platform/Twips.h"

#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <cmath>

// A meeting scheduled on the dial from the orbin's New menu, found on the rim and opened from there.
TEST_F(Orbin, AMeetingPickedOnTheDialStandsOnTheRimAndOpensForEditing) {
    floater->expandFloater();
    QTest::mouseClick(control("btnNew"), Qt::LeftButton);
    action("mnuMeting")->trigger();
    closeMenus();
    auto* dialog = dynamic_cast<dlgNewMeetingDetails*>(forms::find(QStringLiteral("dlgNewMeetingDetails")));
    ASSERT_NE(dialog, nullptr);
    QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("txtMeetingTitle")),
                     QStringLiteral("Budget review"));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("but03")), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("but02")), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("but_40_Min")), Qt::LeftButton);

    const QString file = QString::fromUtf8(TestEnv::readFile(Items::itemsPath()));
    EXPECT_TRUE(file.contains(QStringLiteral("<date>20261207</date><title>Budget review</title><period/>"
                                             "<estimate>45</estimate>")))
        << file.toStdString();
    EXPECT_TRUE(file.contains(QStringLiteral("<meetingtime>15:10</meetingtime>")));

    // On the rim at ten past three: five degrees below the right end of the clock's ellipse.
    ASSERT_EQ(floater->meetingLabels().size(), 1);
    QLabel* label = floater->meetingLabels().first();
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("15:10 - Budget rev")))
        << label->text().toStdString();
    const double angle = 5 * frmFloater::Pi / 180;
    EXPECT_EQ(label->x(), twips::toPixels(std::cos(angle) * 5935 / 2 + 2982));
    EXPECT_EQ(label->y(), twips::toPixels(std::sin(angle) * 5100 / 2 + 3300));
    EXPECT_TRUE(label->isVisible());

    QTest::mouseClick(label, Qt::LeftButton);
    auto* edit = dynamic_cast<dlgEditMeetingDetails*>(forms::find(QStringLiteral("dlgEditMeetingDetails")));
    ASSERT_NE(edit, nullptr);
    auto* time = edit->findChild<QLineEdit*>(QStringLiteral("txtTime"));
    EXPECT_EQ(time->text(), QStringLiteral("15:10"));
    time->setText(QStringLiteral("10:59"));
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(time, &out);
    edit->findChild<QScrollBar*>(QStringLiteral("scrMinute"))
        ->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(time->text(), QStringLiteral("11:00"));
}
