#include "TimeSpinners.h"

#include "NumberText.h"
#include "Prompter.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>
#include <cstdlib>

TimeSpinners::TimeSpinners(QLineEdit* txtTime, QScrollBar* scrHour, QScrollBar* scrMinute, QObject* parent)
    : QObject(parent), m_txtTime(txtTime), m_scrHour(scrHour), m_scrMinute(scrMinute) {
    m_scrHour->setRange(-24, 1);
    m_scrMinute->setRange(-60, 1);
    for (QScrollBar* bar : {m_scrHour, m_scrMinute}) {
        bar->setSingleStep(1);
        bar->setPageStep(1);
        bar->setValue(0);
        connect(bar, &QScrollBar::valueChanged, this, &TimeSpinners::updateTime);
    }
    m_txtTime->installEventFilter(this);
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
    // A bar that already stood there reports no change: write the text all the same.
    updateTime();
}

void TimeSpinners::updateTime() {
    // Each position set here runs this again before the step goes on; a wrapped row changes nothing.
    if (m_scrMinute->value() == -60) {
        m_scrMinute->setValue(0);
        m_scrHour->setValue(m_scrHour->value() - 1);
    }
    if (m_scrHour->value() == -24) m_scrHour->setValue(0);
    if (m_scrMinute->value() == 1) {
        m_scrMinute->setValue(-59);
        m_scrHour->setValue(m_scrHour->value() + 1);
    }
    if (m_scrHour->value() == 1) m_scrHour->setValue(-23);
    m_txtTime->setText(timeText(hour(), minute()));
}

std::optional<TimeSpinners::HourMinute> TimeSpinners::readTime(const QString& text) {
    const qsizetype colon = text.indexOf(u':');
    if (colon < 0) return std::nullopt;
    auto whole = [](const QString& part, int low, int high) -> std::optional<int> {
        const std::optional<double> n = numtext::parseNumber(part);
        if (!n || *n != numtext::roundHalfEven(*n) || *n < low || *n > high) return std::nullopt;
        return static_cast<int>(*n);
    };
    const std::optional<int> h = whole(text.left(colon), -1, 24);
    const std::optional<int> m = whole(text.mid(colon + 1), -1, 60);
    if (!h || !m) return std::nullopt;
    return HourMinute{*h, *m};
}

QString TimeSpinners::timeText(int hour, int minute) {
    return QStringLiteral("%1:%2").arg(hour, 2, 10, QLatin1Char('0')).arg(minute, 2, 10, QLatin1Char('0'));
}

void TimeSpinners::txtTime_LostFocus() {
    const std::optional<HourMinute> typed = readTime(m_txtTime->text());
    if (!typed) {
        prompter().beep();
        updateTime();
        return;
    }
    m_txtTime->setText(timeText(typed->hour, typed->minute));
    setTime(typed->hour, typed->minute);
}

bool TimeSpinners::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_txtTime) {
        if (event->type() == QEvent::FocusIn) {
            // After the press that gave the focus has placed the cursor, so that a click selects too.
            QTimer::singleShot(0, m_txtTime, &QLineEdit::selectAll);
        } else if (event->type() == QEvent::FocusOut) {
            // Another window or a menu taking the focus leaves the typing as it is.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) txtTime_LostFocus();
        }
    }
    return QObject::eventFilter(watched, event);
}
