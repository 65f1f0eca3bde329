#include "dialogs/MeetingForm.h"

#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "dialogs/DayChoiceBox.h"
#include "dialogs/DialogControls.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace dialogcontrols;

MeetingForm::MeetingForm(const QString& name, const QString& caption, double width, double height,
                         const QString& dayClickLocation, QWidget* parent)
    : FormWidget(name, parent, ItemDialogFlags), m_dayClickLocation(dayClickLocation) {
    designForm(this, caption, width, height);
}

void MeetingForm::buildTitle(const Places& at) {
    const QRectF& l = at.titleLabel;
    label(this, "Label4", QStringLiteral("Title"), l.x(), l.y(), l.width(), l.height())
        ->setAlignment(at.titleAlignment);
    const QRectF& t = at.titleBox;
    m_txtMeetingTitle = textBox(this, "txtMeetingTitle", t.x(), t.y(), t.width(), t.height());
    connect(m_txtMeetingTitle, &QLineEdit::textChanged, this, [this] { txtMeetingTitle_Change(); });

    const QRectF& f = at.objectiveFrame;
    QGroupBox* objectives =
        frame(this, "frameObjectives",
              QStringLiteral("Meeting Objective (Define what you want to achieve with this meeting)"), f.x(),
              f.y(), f.width(), f.height());
    const QRectF& o = at.objectiveBox;
    m_txtObjective1 = textBox(objectives, "txtObjective1", o.x(), o.y(), o.width(), o.height());
}

void MeetingForm::buildDay(const Places& at) {
    const QRectF& f = at.dayFrame;
    QGroupBox* date = frame(this, "Frame3", QStringLiteral("Date"), f.x(), f.y(), f.width(), f.height());
    m_day = new DayChoiceBox(date, at.dayList, at.dateBox, this);
    connect(m_day, &DayChoiceBox::cmbDate_Click, this, &MeetingForm::cmbDate_Click);
}

void MeetingForm::cmbDate_Click(const QString& text) {
    trapped(m_dayClickLocation, LowerError, [&] { m_day->choose(text); });
}

void MeetingForm::storeTexts(Integer id, const QString& time) const {
    gItems->setTitle(m_txtMeetingTitle->text(), id);
    gItems->setObj1(m_txtObjective1->text(), id);
    gItems->setMeetingTime(time, id);
}

void MeetingForm::writeItems() {
    gItems->saveItemXML();
    if (gOrbinWindow) gOrbinWindow->updateInfo();
}

void MeetingForm::showForTitle() {
    show();
    activateWindow();
    m_txtMeetingTitle->setFocus();
}
