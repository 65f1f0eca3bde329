#include "dialogs/dlgNewTaskDetails.h"

#include "core/DayChoices.h"
#include "core/ErrorReport.h"
#include "core/Globals.h"
#include "core/Items.h"
#include "core/OrbinWindow.h"
#include "core/Settings.h"
#include "dialogs/DayChoiceBox.h"
#include "dialogs/DialogControls.h"
#include "platform/Clock.h"
#include "platform/NumberText.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace dialogcontrols;

namespace {

const QString Error = QStringLiteral(" Error");

// The estimate buttons from left to right: caption, minutes (the Tag) and array index.
struct Estimate {
    const char* caption;
    const char* tag;
    int index;
};
constexpr Estimate Estimates[] = {{"< 5 min", "5", 0}, {"10 min", "10", 2}, {"15 min", "15", 1},
                                  {"20 min", "20", 3}, {"30 min", "30", 4}, {"45 min", "45", 5}};

constexpr double EstimateFrameWidth = 5160;
constexpr double EstimateFrameHeight = 735;
constexpr double NoteTop = 1680;
constexpr double NoteHeight = 4410;
constexpr double RepeatTop = 6180;

} // namespace

dlgNewTaskDetails::dlgNewTaskDetails(QWidget* parent)
    : TaskForm(QStringLiteral("dlgNewTaskDetails"), QStringLiteral("New Task"), Width, parent) {
    buildControls();
    unloadOnEscape(this);
    setHeightTwips(SimpleHeight);
    Form_Load();
}

void dlgNewTaskDetails::buildControls() {
    buildTitle();
    buildDay("fraDate", 120, 540, 2880);

    m_frameSelectPeriod = frame(this, "frameSelectPeriod", QStringLiteral("Period"), 3120, 540, 3360, 1035);
    const char* names[] = {"rad1st", "rad2nd", "rad3rd", "rad4th"};
    const QString captions[] = {QStringLiteral("Morning"), QStringLiteral("Mid Day"),
                                QStringLiteral("Afternoon"), QStringLiteral("Evening")};
    for (int i = 0; i < 4; ++i)
        m_rad[i] = radio(m_frameSelectPeriod, names[i], captions[i], 150 + 1560.0 * (i % 2),
                         270 + 360.0 * (i / 2), 1500);
    m_rad[0]->setChecked(true);

    buildNote(NoteTop, NoteHeight);
    buildRepeat("Frame1", 120, RepeatTop, Width - 240, EstimateFrameHeight);

    m_frameTimeEstimate = frame(this, "frameTimeEstimate", QStringLiteral("Estimate Time"), 120,
                                SimpleEstimateTop, EstimateFrameWidth, EstimateFrameHeight);
    for (int pos = 0; pos < EstimateCount; ++pos) {
        const Estimate& e = Estimates[pos];
        QPushButton* b = button(m_frameTimeEstimate, "but_5_Min", QString::fromLatin1(e.caption),
                                128 + 825.0 * pos, 285, 780, 330);
        b->setProperty("Index", e.index);
        b->setProperty("Tag", QString::fromLatin1(e.tag));
        b->setEnabled(false);
        m_but_5_Min[e.index] = b;
        const int index = e.index;
        connect(b, &QPushButton::clicked, this, [this, index] { but_5_Min_Click(index); });
    }
    m_frameTimeEstimate->setEnabled(false);

    m_butAdvanced = button(this, "butAdvanced", QStringLiteral("Advanced"), 5400, 0, 1080, 330);
    m_lblProject = hiddenLabel("lblProject", QString());
    m_txtID = hiddenLabel("txtID", QString());

    connect(m_butAdvanced, &QPushButton::clicked, this, [this] { switchMode(); });
    connect(m_txtTaskTitle, &QLineEdit::textChanged, this, &dlgNewTaskDetails::txtTaskTitle_Change);
    // Enter in the title box chooses the shortest estimate, whether or not the estimates are enabled.
    connect(m_txtTaskTitle, &QLineEdit::returnPressed, this, [this] { but_5_Min_Click(0); });
}

void dlgNewTaskDetails::Form_Load() {
    trapped(QStringLiteral(" - dlgNewtaskDetails.Form_Load: "), Error, [&] {
        gSettings->setColors(this, DesignBackColor, 6);
        gSettings->positionForm(this, true, false);
        if (gSettings->onTop()) MakeTopMost(windowHandle());
        switchMode(true);
        setWindowTitle(QStringLiteral("New Task - ") + DayChoiceBox::orbinDayCaption());
        const int period = gItems->SelectedPeriod().value();
        m_rad[period >= 2 && period <= 4 ? period - 1 : 0]->setChecked(true);
        gChosenDate = appClock().today();
        m_day->fillChoices(appClock().today());
        m_day->showOrbinDay();
        show();
        raise();
        activateWindow();
        m_txtTaskTitle->setFocus();
    });
}

void dlgNewTaskDetails::switchMode(std::optional<bool> simple) {
    trapped(QStringLiteral(" - dlgNewTaskDetails.switchMode: "), Error, [&] {
        const bool toSimple = simple.value_or(!m_txtTaskBody->isHidden());
        m_txtTaskBody->setVisible(!toSimple);
        m_fraRepeat->setVisible(!toSimple);
        const double top = toSimple ? SimpleEstimateTop : AdvancedEstimateTop;
        placeTwips(m_frameTimeEstimate, 120, top, EstimateFrameWidth, EstimateFrameHeight);
        placeTwips(m_butAdvanced, 5400, top + 285, 1080, 330);
        setHeightTwips(toSimple ? SimpleHeight : AdvancedHeight);
        m_butAdvanced->setText(toSimple ? QStringLiteral("Advanced") : QStringLiteral("Simple"));
    });
}

void dlgNewTaskDetails::txtTaskTitle_Change() {
    const bool any = !m_txtTaskTitle->text().isEmpty();
    m_frameTimeEstimate->setEnabled(any);
    for (QPushButton* b : m_but_5_Min)
        b->setEnabled(any);
}

void dlgNewTaskDetails::but_5_Min_Click(int index) {
    if (index < 0 || index >= EstimateCount) return;
    const Integer minutes = numtext::toInteger(m_but_5_Min[index]->property("Tag"));
    if (saveTask(minutes)) unloadForm();
}

bool dlgNewTaskDetails::saveTask(Integer minutes) {
    bool stored = false;
    trapped(QStringLiteral(" - dlgNewTaskDetails.saveTask: "), QStringLiteral(" error"), [&] {
        // Everything that can be refused comes before the item is made: a refusal stores nothing and
        // leaves the dialog open with what was typed.
        const QDate date = dateInField();
        const Integer id = gItems->newItem(QStringLiteral("Task"));
        if (id < Integer(1)) return; // no item could be made (already reported)
        int period = 1;
        for (int p = 2; p <= 4; ++p)
            if (m_rad[p - 1]->isChecked()) period = p;
        gItems->setNow(appClock().now(), id);
        gItems->setDate(date, id);
        gItems->setTitle(m_txtTaskTitle->text(), id);
        gItems->setPeriod(QString::number(period), id);
        gItems->setEstimate(QString::number(minutes.value()), id);
        gItems->setDone(QStringLiteral("false"), id);
        gItems->setDoneDate(QStringLiteral("NotDone"), id);
        gItems->setNote(escapeNote(m_txtTaskBody->toPlainText()), id);
        gItems->setPoints(Integer(0), id);
        gItems->setTimingBonus(Integer(0), id);
        gItems->setType(QStringLiteral("Task"), id);
        gItems->setObj3(repeatCode(), id);
        const QString project = m_lblProject->text();
        gItems->setProject(project.isEmpty() ? QStringLiteral("0") : project, id);
        stored = true;
        gItems->saveItemXML();
        if (gOrbinWindow) gOrbinWindow->updateInfo();
    });
    return stored;
}

void dlgNewTaskDetails::formUnload() {
    if (gSettings) gSettings->saveFormPosition(this, true, false);
}
