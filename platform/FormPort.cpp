#include "FormPort.h"

namespace {
QList<FormPort*>& registry() {
    static QList<FormPort*> list;
    return list;
}
} // namespace

namespace forms {

void add(FormPort* form) {
    if (form && !registry().contains(form)) registry().append(form);
}

void remove(FormPort* form) {
    registry().removeAll(form);
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
