#include "platform/FormPort.h"

#include <QHash>

namespace {
QList<FormPort*>& registry() {
    static QList<FormPort*> list;
    return list;
}
QHash<FormPort*, quint64>& loadNumbers() {
    static QHash<FormPort*, quint64> numbers;
    return numbers;
}
quint64 g_lastLoadNumber = 0;
} // namespace

namespace forms {

void add(FormPort* form) {
    if (!form || registry().contains(form)) return;
    registry().append(form);
    loadNumbers().insert(form, ++g_lastLoadNumber);
}

void remove(FormPort* form) {
    registry().removeAll(form);
    loadNumbers().remove(form);
}

quint64 loadNumber(FormPort* form) {
    return loadNumbers().value(form, 0);
}

QList<FormPort*> loaded() {
    return registry();
}

FormPort* find(const QString& name) {
    for (FormPort* f : registry())
        if (f->formName().compare(name, Qt::CaseInsensitive) == 0) return f;
    return nullptr;
}

bool isLoaded(const QString& name) {
    return find(name) != nullptr;
}

} // namespace forms
