#include "dlgDays.h"

dlgDays::dlgDays(QWidget* parent) : LeastForm(QStringLiteral("dlgDays"), QStringLiteral("Days"), parent) {}

dlgDays* dlgDays::instance() {
    static QPointer<dlgDays> form;
    return sharedForm(form);
}

void dlgDays::fillWeekDays(const QDate& start) {
    instance()->m_firstDay = start;
}
