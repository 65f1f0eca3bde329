#include "orbin/FloaterLook.h"

#include "platform/gui/ColorCodec.h"

#include <QApplication>
#include <QWidget>

namespace floaterlook {

void setForeColor(QWidget* w, qint64 colour) {
    w->setProperty("ForeColor", colour);
    QPalette p = w->palette();
    const QColor c = colorcodec::toColor(colour, QApplication::palette());
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::ButtonText, c);
    w->setPalette(p);
}

void setBackColor(QWidget* w, qint64 colour) {
    w->setProperty("BackColor", colour);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colorcodec::toColor(colour, QApplication::palette()));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setUnderline(QWidget* w, bool on) {
    QFont f = w->font();
    f.setUnderline(on);
    w->setFont(f);
}

} // namespace floaterlook
