#include "dialogs/dlgNewMeetingDetails.h"

#include "core/DayChoices.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "dialogs/DayChoiceBox.h"
#include "dialogs/DialogControls.h"
#include "dialogs/LineControl.h"
#include "dialogs/ShapeControl.h"
#include "platform/Clock.h"
#include "platform/Failure.h"
#include "platform/Prompter.h"
#include "platform/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <cmath>

using namespace dialogcontrols;

namespace {

// Where the dialog has the controls it shares with the edit dialog. The date list as wide as its longest
// choice ("Next Wednesday"), and the date box the rest of the frame, so that a whole date shows.
constexpr MeetingForm::Places Shared = {
    .titleLabel = {225, 330, 360, 240},
    .titleAlignment = Qt::AlignLeft | Qt::AlignTop,
    .titleBox = {675, 210, 6315, 365},
    .objectiveFrame = {210, 675, 6765, 690},
    .objectiveBox = {450, 250, 5865, 285},
    .dayFrame = {255, 4560, 3630, 600},
    .dayList = {150, 180, 1845, 315},
    .dateBox = {2085, 210, 1425, 285},
};

// The dial buttons inside the Time frame, but01 to but12 (left, top, width; all 240 high).
struct DialPlace {
    double left, top, width;
};
constexpr DialPlace DialPlaces[12] = {
    {1995, 330, 250},  {2415, 765, 250},  {2535, 1335, 250}, {2415, 1860, 250},
    {1995, 2265, 255}, {1410, 2415, 250}, {810, 2265, 250},  {390, 1860, 250},
    {270, 1335, 255},  {390, 765, 250},   {810, 315, 250},   {1410, 210, 250},
};
constexpr double DialButtonHeight = 240;
// The centre of the dial, where the hands start, and the hands' lengths (twips).
constexpr double CentreX = 1530, CentreY = 1430;
constexpr double HourHandLength = 500, MinuteHandLength = 750;
constexpr double FaceRadius = 1290;

// The duration buttons: two columns of four rows in the Duration frame, in tab order.
struct Duration {
    const char* name;
    const char* caption;
    int minutes;
};
constexpr Duration Durations[dlgNewMeetingDetails::DurationCount] = {
    {"but_5_Min", "5 min", 5},       {"but_15_Min", "15 min", 15}, {"but_30_min", "30 min", 30},
    {"but_40_Min", "45 min", 45},    {"but_60_Min", "1 Hour", 60}, {"but_90_Min", "1h 30 min", 90},
    {"but_120_Min", "2 Hours", 120}, {"but_More", "More", 180},
};

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}
// Button n (1 to 12): the hour it picks (07 to 12 in the morning, 13 to 18 in the afternoon) and the
// minute (05 to 55, and 00 at the top).
QString hourOf(int n) {
    return twoDigits(n <= 6 ? n + 12 : n);
}
int minuteOf(int n) {
    return n * 5 % 60;
}

// A whole number of one or two digits from 0 to high, as typed into the hour or minute box.
bool isTimePart(const QString& text, int high) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,2}$"));
    return digits.match(text).hasMatch() && text.toInt() <= high;
}

// The small picture beside the date: a leaf of a wall calendar.
QPixmap calendarLeaf(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF page(2, 4, size - 4, size - 6);
    p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(page, 3, 3);
    p.setBrush(QColor(0xC0, 0x40, 0x30));
    p.drawRoundedRect(QRectF(page.left(), page.top(), page.width(), page.height() * 0.3), 3, 3);
    p.setPen(QColor(0x50, 0x50, 0x50));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawPoint(QPointF(page.left() + page.width() * (col + 1) / 5.0,
                                page.top() + page.height() * (0.45 + row * 0.18)));
    return pm;
}

} // namespace

dlgNewMeetingDetails::dlgNewMeetingDetails(QWidget* parent)
    : MeetingForm(QStringLiteral("dlgNewMeetingDetails"), QStringLiteral("Schedule Meeting"), DesignWidth,
                  DesignHeight, QStringLiteral(" - dlgNewMeeting.cmbDate_Click: "), parent) {
    buildControls();
    unloadOnEscape(this);
    Form_Load();
}

void dlgNewMeetingDetails::buildControls() {
    buildTitle(Shared);

    // The clock dial: the face, the hands over it, the buttons round it and the time boxes below its centre.
    QGroupBox* dial = frame(this, "Frame2", QStringLiteral("Time"), 270, 1470, 3120, 2955);
    auto* face = new ShapeControl(QStringLiteral("Shape1"), Qt::white, QColor(0x40, 0x40, 0x48), dial);
    placeTwips(face, CentreX - FaceRadius, CentreY - FaceRadius, 2 * FaceRadius, 2 * FaceRadius);
    const QPointF centre(CentreX, CentreY);
    for (int i = 0; i < 12; ++i) {
        const DialPlace& at = DialPlaces[i];
        const QPointF button(at.left + at.width / 2, at.top + DialButtonHeight / 2);
        const QPointF towards =
            (button - centre) / std::hypot(button.x() - centre.x(), button.y() - centre.y());
        m_minuteHand[i] =
            new LineControl(QStringLiteral("Minute") + twoDigits(minuteOf(i + 1)), centre,
                            centre + towards * MinuteHandLength, 2, QColor(0x1F, 0x5F, 0xB0), dial);
        m_hourHand[i] = new LineControl(QStringLiteral("Hour") + twoDigits(i + 1), centre,
                                        centre + towards * HourHandLength, 4, QColor(0x30, 0x30, 0x38), dial);
    }
    AllHourHandsInvisible();
    AllMinuteHandsInvisible();
    for (int i = 0; i < 12; ++i) {
        const DialPlace& at = DialPlaces[i];
        QPushButton* b =
            button(dial, "", QString::number(i + 1), at.left, at.top, at.width, DialButtonHeight);
        b->setObjectName(QStringLiteral("but") + twoDigits(i + 1));
        b->setStyleSheet(QStringLiteral("padding: 0px;"));
        connect(b, &QPushButton::clicked, this, [this, i] { but_Click(i + 1); });
        m_dial[i] = b;
    }
    m_txtHour = textBox(dial, "txtHour", 1185, 1755, 350, 285);
    m_txtHour->setText(QStringLiteral("12"));
    m_txtMin = textBox(dial, "txtMin", 1515, 1755, 350, 285);
    m_txtMin->setText(QStringLiteral("00"));
    for (QLineEdit* t : {m_txtHour, m_txtMin})
        t->setAlignment(Qt::AlignCenter);

    m_frameTimeEstimate =
        frame(this, "frameTimeEstimate", QStringLiteral("Duration"), 4215, 1470, 2355, 3075);
    for (int i = 0; i < DurationCount; ++i) {
        const Duration& d = Durations[i];
        QPushButton* b = button(m_frameTimeEstimate, d.name, QString::fromLatin1(d.caption),
                                180 + 1080.0 * (i % 2), 330 + 700.0 * (i / 2), 915, 465);
        b->setProperty("Minutes", d.minutes);
        b->setEnabled(false);
        const int minutes = d.minutes;
        connect(b, &QPushButton::clicked, this, [this, minutes] { duration_Click(minutes); });
        m_durations << b;
    }
    m_frameTimeEstimate->setEnabled(false);

    buildDay(Shared);

    m_lblProject = label(this, "lblProject", QString(), 0, 0, 15, 15);
    m_lblProject->hide();

    QLabel* image = label(this, "Image1", QString(), 4215, 4650, 480, 480);
    image->setPixmap(calendarLeaf(twips::toPixels(480)));
}

void dlgNewMeetingDetails::Form_Load() {
    trapped(QStringLiteral(" - dlgNewMeetingDetails_Form_Load: "), LowerError, [&] {
        gSettings->setColors(this, DesignBackColor, 6);
        setWindowTitle(QStringLiteral("Schedule Meeting - ") + DayChoiceBox::orbinDayCaption());
        if (gSettings->onTop()) setTopMost(windowHandle());
        setOuterHeight(this, LoadedHeight);
        // A new meeting is on the day the orbin shows, unless another day is chosen.
        const QDate day = DayChoiceBox::orbinDay();
        if (!day.isValid()) {
            m_day->showText(DayChoiceBox::orbinDayCaption());
            throw Failure(err::TypeMismatch);
        }
        m_day->showDate(day);
        gChosenDate = day;
        m_day->fillChoices(appClock().today());
        showForTitle();
    });
}

// ---- The dial ----

void dlgNewMeetingDetails::ShowMinutes() {
    for (int n = 1; n <= 12; ++n)
        m_dial[n - 1]->setText(QString::number(minuteOf(n)));
}

void dlgNewMeetingDetails::ShowHours() {
    for (int n = 1; n <= 12; ++n)
        m_dial[n - 1]->setText(QString::number(n));
}

void dlgNewMeetingDetails::AllHourHandsInvisible() {
    for (LineControl* hand : m_hourHand)
        hand->hide();
}

void dlgNewMeetingDetails::AllMinuteHandsInvisible() {
    for (LineControl* hand : m_minuteHand)
        hand->hide();
}

void dlgNewMeetingDetails::but_Click(int n) {
    if (n < 1 || n > 12) return;
    if (m_dial[n - 1]->text() == QString::number(n)) {
        AllHourHandsInvisible();
        m_hourHand[n - 1]->show();
        ShowMinutes();
        m_txtHour->setText(hourOf(n));
    } else {
        AllMinuteHandsInvisible();
        m_minuteHand[n - 1]->show();
        ShowHours();
        m_txtMin->setText(twoDigits(minuteOf(n)));
    }
}

// ---- Title, day and duration ----

void dlgNewMeetingDetails::txtMeetingTitle_Change() {
    const bool titled = !m_txtMeetingTitle->text().trimmed().isEmpty();
    m_frameTimeEstimate->setEnabled(titled);
    for (QPushButton* b : m_durations)
        b->setEnabled(titled);
}

void dlgNewMeetingDetails::duration_Click(int minutes) {
    if (saveMeeting(Integer(minutes))) unloadForm();
}

bool dlgNewMeetingDetails::timeIsReadable() {
    struct Part {
        QLineEdit* box;
        int high;
        const char* what;
    };
    for (const Part& part : {Part{m_txtHour, 23, "hour"}, Part{m_txtMin, 59, "minute"}}) {
        if (isTimePart(part.box->text(), part.high)) continue;
        prompter().beep();
        prompter().messageBox(
            QStringLiteral("The %1 \"%2\" is not a whole number from 0 to %3. Type one, or "
                           "pick the %1 on the dial.")
                .arg(QString::fromLatin1(part.what), part.box->text(), QString::number(part.high)),
            Prompter::Buttons::OK, Prompter::Icon::Exclamation, QStringLiteral("Quorvane"));
        part.box->setFocus();
        part.box->selectAll();
        return false;
    }
    return true;
}

bool dlgNewMeetingDetails::saveMeeting(Integer minutes) {
    // Every field is checked before the meeting is made, so that a wrong one leaves nothing half stored.
    if (!timeIsReadable()) return false;
    const std::optional<QDate> day = m_day->dateOrComplain();
    if (!day) return false;
    bool stored = false;
    trapped(QStringLiteral(" - dlgNewMeetingDetails.saveMeeting: "), LowerError, [&] {
        const Integer id = gItems->newItem(QStringLiteral("Meeting"));
        if (id.value() < 1) return; // nothing could be added (already reported)
        stored = true;
        gItems->setNow(appClock().now(), id);
        gItems->setDate(*day, id);
        storeTexts(id, m_txtHour->text() + QLatin1Char(':') + m_txtMin->text());
        gItems->setDone(QStringLiteral("false"), id);
        gItems->setDoneDate(QStringLiteral("NotDone"), id);
        gItems->setNote(QString(), id);
        gItems->setPoints(Integer(0), id);
        gItems->setTimingBonus(Integer(0), id);
        gItems->setProject(QStringLiteral("0"), id);
        gItems->setType(QStringLiteral("Meeting"), id);
        gItems->setEstimate(QString::number(minutes.value()), id);
        if (!m_lblProject->text().isEmpty()) gItems->setProject(m_lblProject->text(), id);
        writeItems();
    });
    return stored;
}
