#include "orbin/MeetingLabel.h"

#include <QPainter>
#include <QTime>
#include <algorithm>

MeetingLabel::MeetingLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setContentsMargins(Margin, 0, Margin, 0);
}

void MeetingLabel::setMeeting(const QTime& time, const QString& title, int boxWidth) {
    const QString hour = QStringLiteral("%1:%2 -")
                             .arg(time.hour(), 2, 10, QLatin1Char('0'))
                             .arg(time.minute(), 2, 10, QLatin1Char('0'));
    const QFontMetrics fm(font());
    const int room = std::max(1, boxWidth - 2 * Margin);
    const QString oneLine = hour + QLatin1Char(' ') + title;
    QString shown = title;
    if (fm.horizontalAdvance(oneLine) <= room) {
        m_lines = QStringList{oneLine};
    } else {
        shown = fm.elidedText(title, Qt::ElideRight, room);
        m_lines = QStringList{hour, shown};
    }
    setText(hour + QLatin1Char(' ') + shown);
    setToolTip(shown == title ? QString() : title);
    int width = 0;
    for (const QString& line : m_lines)
        width = std::max(width, fm.horizontalAdvance(line));
    m_textSize = QSize(width + 2 * Margin, static_cast<int>(m_lines.size()) * fm.lineSpacing());
}

void MeetingLabel::paintEvent(QPaintEvent* event) {
    if (m_lines.isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics fm(font());
    QRect line = contentsRect();
    line.setHeight(fm.lineSpacing());
    const int align = static_cast<int>(alignment() & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
    for (const QString& text : m_lines) {
        p.drawText(line, align, text);
        line.translate(0, fm.lineSpacing());
    }
}
