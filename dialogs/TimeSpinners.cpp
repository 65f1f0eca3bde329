#include "dialogs/TimeSpinners.h"

#include "platform/NumberText.h"
#include "platform/Prompter.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int HourWrapUp = -24;
constexpr int MinuteWrapUp = -60;
constexpr int WrapDown = 1;

std::optional<int> wholeNumber(const QString& text, int low, int high) {
    const std::optional<double> n = numtext::parseNumber(text);
    if (!n || !std::isfinite(*n) || std::floor(*n) != *n || *n < low || *n > high) return std::nullopt;
    return static_cast<int>(*n);
}

} // namespace

TimeSpinners::TimeSpinners(QLineEdit* txtTime, QScrollBar* scrHour, QScrollBar* scrMinute, QObject* parent)
    : QObject(parent), m_txtTime(txtTime), m_scrHour(scrHour), m_scrMinute(scrMinute) {
    m_scrHour->setRange(HourWrapUp, WrapDown);
    m_scrMinute->setRange(MinuteWrapUp, WrapDown);
    for (QScrollBar* bar : {m_scrHour, m_scrMinute}) {
        bar->setSingleStep(1);
        bar->setPageStep(1);
        // A click on a bar takes the focus, so that a time being typed is taken before the step counts.
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setValue(0);
        connect(bar, &QScrollBar::valueChanged, this, [this] { updateTime(); });
    }
    m_txtTime->installEventFilter(this);
    updateTime();
}

int TimeSpinners::hour() const {
    return std::abs(m_scrHour->value());
}

int TimeSpinners::minute() const {
    return std::abs(m_scrMinute->value());
}

void TimeSpinners::setTime(int hour, int minute) {
    m_scrHour->setValue(-hour);
    m_scrMinute->setValue(-minute);
    // Bars already standing there do not change, so the text is written here as well.
    updateTime();
}

// Each position set here runs this again before the step goes on; a wrapped pair changes nothing more.
void TimeSpinners::updateTime() {
    if (m_scrMinute->value() == MinuteWrapUp) {
        m_scrMinute->setValue(0);
        m_scrHour->setValue(m_scrHour->value() - 1);
    }
    if (m_scrHour->value() == HourWrapUp) m_scrHour->setValue(0);
    if (m_scrMinute->value() == WrapDown) {
        m_scrMinute->setValue(MinuteWrapUp + 1);
        m_scrHour->setValue(m_scrHour->value() + 1);
    }
    if (m_scrHour->value() == WrapDown) m_scrHour->setValue(HourWrapUp + 1);
    m_txtTime->setText(timeText(hour(), minute()));
}

void TimeSpinners::showStored(const QString& text) {
    m_stored = text;
    m_txtTime->setText(text);
}

bool TimeSpinners::keepsStored() const {
    return m_stored && m_txtTime->text() == *m_stored;
}

void TimeSpinners::txtTime_LostFocus() {
    if (keepsStored()) return;
    const std::optional<HourMinute> typed = readTime(m_txtTime->text());
    if (!typed) {
        prompter().beep();
        updateTime();
        return;
    }
    if (m_dayOnly && !isTimeOfDay(*typed)) return;
    setTime(typed->hour, typed->minute);
}

std::optional<TimeSpinners::HourMinute> TimeSpinners::readTime(const QString& text) {
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0) return std::nullopt;
    const std::optional<int> h = wholeNumber(text.left(colon), -1, 24);
    const std::optional<int> m = wholeNumber(text.mid(colon + 1), -1, 60);
    if (!h || !m) return std::nullopt;
    return HourMinute{*h, *m};
}

bool TimeSpinners::isTimeOfDay(const HourMinute& t) {
    return t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59;
}

QString TimeSpinners::timeText(int hour, int minute) {
    return QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
}

bool TimeSpinners::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtTime && event->type() == QEvent::FocusOut) {
        // Another window taking the focus, or a menu, leaves the box being typed in.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) txtTime_LostFocus();
    }
    return QObject::eventFilter(watched, event);
}
