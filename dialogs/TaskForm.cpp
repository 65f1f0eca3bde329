#include "dialogs/TaskForm.h"

#include "dialogs/DayChoiceBox.h"
#include "dialogs/DialogControls.h"
#include "platform/Failure.h"
#include "platform/FormPort.h"
#include "platform/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

using namespace dialogcontrols;

namespace {

// The margin of the controls along the window's edges, in twips.
constexpr double Margin = 120;
constexpr double RowHeight = 330;

} // namespace

QString TaskForm::escapeNote(const QString& note) {
    QString out;
    out.reserve(note.size() + 8);
    for (qsizetype i = 0; i < note.size(); ++i) {
        const QChar c = note.at(i);
        if (c == QLatin1Char('\\')) {
            out += QStringLiteral("\\\\");
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            // A line break: CR LF as one, and a lone LF or CR as well.
            if (c == QLatin1Char('\r') && i + 1 < note.size() && note.at(i + 1) == QLatin1Char('\n')) ++i;
            out += QStringLiteral("\\n");
        } else {
            out += c;
        }
    }
    return out;
}

QString TaskForm::unescapeNote(const QString& stored) {
    QString out;
    out.reserve(stored.size());
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const QChar c = stored.at(i);
        const QChar next = i + 1 < stored.size() ? stored.at(i + 1) : QChar();
        if (c == QLatin1Char('\\') && next == QLatin1Char('n')) {
            out += QLatin1Char('\n');
            ++i;
        } else if (c == QLatin1Char('\\') && next == QLatin1Char('\\')) {
            out += QLatin1Char('\\');
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

TaskForm::TaskForm(const QString& name, const QString& caption, double widthTwips, QWidget* parent)
    : FormWidget(name, parent, ItemDialogFlags), m_widthTwips(widthTwips) {
    designForm(this, caption, widthTwips, 3000);
}

void TaskForm::MakeTopMost(quintptr hWnd) {
    setTopMost(hWnd);
}

void TaskForm::MakeNormal(quintptr hWnd) {
    for (FormPort* form : forms::loaded())
        if (form->windowHandle() == hWnd) form->setTopMost(false);
}

// ---- Controls ----

QRadioButton* TaskForm::radio(QWidget* parent, const char* name, const QString& caption, double left,
                              double top, double width) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(QString::fromLatin1(name));
    placeTwips(r, left, top, width, 300);
    return r;
}

QLabel* TaskForm::hiddenLabel(const char* name, const QString& text) {
    QLabel* l = label(this, name, text, 0, 0, 15, 15);
    l->hide();
    return l;
}

void TaskForm::buildTitle() {
    label(this, "Label4", QStringLiteral("Task:"), Margin, 120, 600, RowHeight)
        ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_txtTaskTitle = textBox(this, "txtTaskTitle", 720, 120, m_widthTwips - 720 - Margin, RowHeight);
}

void TaskForm::buildNote(double top, double height) {
    m_txtTaskBody = new QPlainTextEdit(this);
    m_txtTaskBody->setObjectName(QStringLiteral("txtTaskBody"));
    m_txtTaskBody->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtTaskBody->setTabChangesFocus(true);
    placeTwips(m_txtTaskBody, Margin, top, m_widthTwips - 2 * Margin, height);
}

void TaskForm::buildDay(const char* frameName, double left, double top, double width) {
    m_fraDate = frame(this, frameName, QStringLiteral("Date"), left, top, width, 1035);
    m_day = new DayChoiceBox(m_fraDate, QRectF(Margin, 270, width - 2 * Margin, RowHeight),
                             QRectF(Margin, 630, width - 2 * Margin, RowHeight), this);
    connect(m_day, &DayChoiceBox::cmbDate_Click, m_day, &DayChoiceBox::choose);
}

void TaskForm::buildRepeat(const char* frameName, double left, double top, double width, double height) {
    m_fraRepeat = frame(this, frameName, QStringLiteral("Repeat"), left, top, width, height);
    const bool oneRow = width >= 6000;
    const double column = oneRow ? (width - 2 * Margin) / 4 : (width - 2 * Margin) / 2;
    auto place = [&](const char* name, const QString& caption, int i) {
        const double x = Margin + column * (oneRow ? i : i % 2);
        const double y = oneRow ? 300 : 270 + 360.0 * (i / 2);
        return radio(m_fraRepeat, name, caption, x, y, column - 30);
    };
    m_radOnceOnly = place("radOnceOnly", QStringLiteral("No Repeat"), 0);
    m_radEveryDay = place("radEveryDay", QStringLiteral("Every Day"), 1);
    m_radEveryWeek = place("radEveryWeek", QStringLiteral("Every week"), 2);
    m_radEveryMonth = place("radEveryMonth", QStringLiteral("Every month"), 3);
    m_radOnceOnly->setChecked(true);
}

// ---- The day ----

QDate TaskForm::dateInField() const {
    const std::optional<QDate> day = m_day->date();
    if (!day) throw Failure(err::TypeMismatch);
    return *day;
}

std::optional<QDate> TaskForm::dayToStore() const {
    if (m_day->keepsStored()) return std::nullopt;
    return dateInField();
}

// ---- Repeat ----

QString TaskForm::repeatCode() const {
    QString code;
    if (m_radEveryDay->isChecked()) code = QStringLiteral("D");
    if (m_radEveryWeek->isChecked()) code = QStringLiteral("W");
    if (m_radEveryMonth->isChecked()) code = QStringLiteral("M");
    return code;
}

void TaskForm::setRepeatCode(const QString& code) {
    if (code == QStringLiteral("D"))
        m_radEveryDay->setChecked(true);
    else if (code == QStringLiteral("W"))
        m_radEveryWeek->setChecked(true);
    else if (code == QStringLiteral("M"))
        m_radEveryMonth->setChecked(true);
    else
        m_radOnceOnly->setChecked(true);
}

// ---- The window ----

void TaskForm::setHeightTwips(double outerHeight) {
    setFixedSize(twips::toPixels(m_widthTwips), twips::toPixels(outerHeight - CaptionAllowance));
}
