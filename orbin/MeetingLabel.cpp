#include "MeetingLabel.h"

#include <QPainter>

MeetingLabel::MeetingLabel(QWidget* parent) : QLabel(parent) {
    setWordWrap(true);
}

void MeetingLabel::paintEvent(QPaintEvent* event) {
    const QString caption = text();
    const qsizetype dash = caption.indexOf(QStringLiteral(" - "));
    const QFontMetrics fm(font());
    if (dash < 0 || fm.horizontalAdvance(caption) <= contentsRect().width()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QString lines = caption.left(dash + 2) + QLatin1Char('\n') + caption.mid(dash + 3);
    p.drawText(contentsRect(), static_cast<int>(alignment()) | Qt::TextWordWrap, lines);
}
