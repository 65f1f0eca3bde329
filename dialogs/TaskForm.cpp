#include "TaskForm.h"

#include "Clock.h"
#include "Failure.h"
#include "FormPort.h"
#include "Functions.h"
#include "Twips.h"
#include "WindowProcs.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using windowprocs::placeTwips;

namespace {

// The margin of the controls along the window's edges, in twips.
constexpr double Margin = 120;
constexpr double RowHeight = 330;
constexpr double DayFrameHeight = 1095;

// The design colour of the form, which the colour table may replace.
constexpr qint64 DesignBackColor = 0x8000000CLL;

// A date as the user types it: the short date text of the desktop's language, its long text, or
// yyyy-MM-dd. A short form with a two-digit year counts that year near today, not in the 1900s.
QDate readTypedDate(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return {};
    const QLocale locale;
    QDate d = locale.toDate(t, QLocale::ShortFormat);
    if (d.isValid()) {
        if (!locale.dateFormat(QLocale::ShortFormat).contains(QStringLiteral("yyyy")))
            while (d.year() < appClock().today().year() - 50)
                d = d.addYears(100);
        return d;
    }
    d = locale.toDate(t, QLocale::LongFormat);
    if (d.isValid()) return d;
    return QDate::fromString(t, Qt::ISODate);
}

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
    : FormWidget(name, parent,
                 Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_widthTwips(widthTwips) {
    setWindowTitle(caption);
    setFormBackColor(DesignBackColor);
    setFixedSize(twips::toPixels(widthTwips), twips::toPixels(3000));
}

void TaskForm::MakeTopMost(quintptr hWnd) {
    setTopMost(hWnd);
}

void TaskForm::MakeNormal(quintptr hWnd) {
    for (FormPort* form : forms::loaded())
        if (form->windowHandle() == hWnd) form->setTopMost(false);
}

// ---- Controls ----

QPushButton* TaskForm::button(QWidget* parent, const char* name, const QString& caption, double left,
                              double top, double width, double height) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    placeTwips(b, left, top, width, height);
    return b;
}

QGroupBox* TaskForm::frame(const char* name, const QString& caption, double left, double top, double width,
                           double height) {
    auto* f = new QGroupBox(caption, this);
    f->setObjectName(QString::fromLatin1(name));
    placeTwips(f, left, top, width, height);
    return f;
}

QRadioButton* TaskForm::radio(QWidget* parent, const char* name, const QString& caption, double left,
                              double top, double width) {
    auto* r = new QRadioButton(caption, parent);
    r->setObjectName(QString::fromLatin1(name));
    placeTwips(r, left, top, width, 300);
    return r;
}

QLabel* TaskForm::hiddenLabel(const char* name, const QString& text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->hide();
    return label;
}

void TaskForm::buildTitle() {
    m_Label4 = new QLabel(QStringLiteral("Task:"), this);
    m_Label4->setObjectName(QStringLiteral("Label4"));
    placeTwips(m_Label4, Margin, 165, 600, 255);
    m_txtTaskTitle = new QLineEdit(this);
    m_txtTaskTitle->setObjectName(QStringLiteral("txtTaskTitle"));
    placeTwips(m_txtTaskTitle, 720, 120, m_widthTwips - 720 - Margin, RowHeight);
}

void TaskForm::buildNote(double top, double height) {
    m_txtTaskBody = new QPlainTextEdit(this);
    m_txtTaskBody->setObjectName(QStringLiteral("txtTaskBody"));
    m_txtTaskBody->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtTaskBody->setTabChangesFocus(true);
    placeTwips(m_txtTaskBody, Margin, top, m_widthTwips - 2 * Margin, height);
}

void TaskForm::buildDay(const char* frameName, double left, double top, double width) {
    m_fraDay = frame(frameName, QStringLiteral("Date"), left, top, width, DayFrameHeight);
    m_cmbDate = new QComboBox(m_fraDay);
    m_cmbDate->setObjectName(QStringLiteral("cmbDate"));
    placeTwips(m_cmbDate, Margin, 270, width - 2 * Margin, RowHeight);
    m_txtDate = new QLineEdit(QStringLiteral("Today"), m_fraDay);
    m_txtDate->setObjectName(QStringLiteral("txtDate"));
    placeTwips(m_txtDate, Margin, 660, width - 2 * Margin, RowHeight);
    connect(m_cmbDate, &QComboBox::activated, this, &TaskForm::cmbDate_Click);
}

void TaskForm::buildRepeat(const char* frameName, double left, double top, double width, double height) {
    m_fraRepeat = frame(frameName, QStringLiteral("Repeat"), left, top, width, height);
    const bool oneRow = width >= 6000;
    const double column = oneRow ? (width - 2 * Margin) / 4 : (width - 2 * Margin) / 2;
    auto place = [&](const char* name, const QString& caption, int i) {
        const double x = Margin + column * (oneRow ? i : i % 2);
        const double y = oneRow ? 330 : 300 + 360.0 * (i / 2);
        return radio(m_fraRepeat, name, caption, x, y, column - 30);
    };
    m_radOnceOnly = place("radOnceOnly", QStringLiteral("No Repeat"), 0);
    m_radEveryDay = place("radEveryDay", QStringLiteral("Every Day"), 1);
    m_radEveryWeek = place("radEveryWeek", QStringLiteral("Every week"), 2);
    m_radEveryMonth = place("radEveryMonth", QStringLiteral("Every month"), 3);
    m_radOnceOnly->setChecked(true);
}

// ---- The day ----

void TaskForm::fillDays(bool withToday) {
    m_cmbDate->clear();
    QStringList choices;
    if (withToday) choices << QStringLiteral("Today");
    fillDayChoices(appClock().today(), choices);
    m_cmbDate->addItems(choices);
    m_cmbDate->setCurrentIndex(withToday ? 0 : -1);
}

void TaskForm::cmbDate_Click(int index) {
    const QString chosen = m_cmbDate->itemText(index);
    applyDayChoice(chosen);
    if (m_cmbDate->itemText(0) != QStringLiteral("Today")) m_cmbDate->insertItem(0, QStringLiteral("Today"));
    if (chosen == QStringLiteral("Today")) gChosenDate = appClock().today();
    showDate(gChosenDate);
}

void TaskForm::showDate(const QDate& date) {
    showDate(date, QLocale().toString(date, QLocale::ShortFormat));
}

void TaskForm::showDate(const QDate& date, const QString& text) {
    m_shownDate = date;
    m_shownText = text;
    m_txtDate->setText(text);
}

QDate TaskForm::dateInField() const {
    const QString text = m_txtDate->text();
    if (m_shownDate.isValid() && text == m_shownText) return m_shownDate;
    const QDate typed = readTypedDate(text);
    if (!typed.isValid()) throw Failure(err::TypeMismatch);
    return typed;
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

void TaskForm::setHeightTwips(double height) {
    setFixedSize(twips::toPixels(m_widthTwips), twips::toPixels(height));
}

void TaskForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        unloadForm();
        return;
    }
    FormWidget::keyPressEvent(event);
}
