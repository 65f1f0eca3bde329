#include "core/Tray.h"

#include "core/FormProcedures.h"
#include "platform/Failure.h"
#include "platform/FormPort.h"

#include <QList>
#include <QString>
#include <utility>

namespace {

// A form held by its pointer, known to be the same form by its load number.
struct FormRef {
    FormPort* form = nullptr;
    quint64 loadNumber = 0;
    FormRef() = default;
    explicit FormRef(FormPort* f) : form(f), loadNumber(f ? forms::loadNumber(f) : 0) {}
    FormPort* get() const { return form && forms::loadNumber(form) == loadNumber ? form : nullptr; }
};

FormRef g_trayRemembered;
// The forms that going to the tray hid, to be shown again when the orbin comes back.
QList<FormRef> g_hiddenForTray;
std::function<bool()> g_trayLoader;

} // namespace

void setTrayFormLoader(std::function<bool()> loader) {
    g_trayLoader = std::move(loader);
}

void minimizeToTray(bool restore, FormPort* form) {
    if (!restore) {
        g_trayRemembered = FormRef(form);
        QList<FormRef> hidden;
        for (FormPort* f : forms::loaded()) {
            if (f->isFormVisible()) hidden << FormRef(f);
            f->hideForm();
        }
        // Without a tray icon nothing could bring the windows back: they stay in sight.
        auto showAgain = [&hidden] {
            for (const FormRef& ref : hidden)
                if (FormPort* f = ref.get()) f->showForm();
        };
        bool inTray = false;
        try {
            inTray = g_trayLoader && g_trayLoader();
        } catch (...) {
            showAgain();
            throw;
        }
        if (!inTray) {
            showAgain();
            return;
        }
        // Sent to the tray again while there: the forms hidden the first time still come back.
        g_hiddenForTray << hidden;
        return;
    }
    FormPort* remembered = g_trayRemembered.get();
    if (!remembered) throw Failure(err::ObjectNotSet, Failure::classicDescription(err::ObjectNotSet));
    remembered->showForm();
    // Every form that going to the tray hid comes back with it (an open dialog, the scoreboard, a
    // reminder), and only those.
    const QList<FormRef> hidden = std::exchange(g_hiddenForTray, {});
    for (const FormRef& ref : hidden) {
        FormPort* f = ref.get();
        if (f && f != remembered) f->showForm();
    }
    if (FormPort* tray = forms::find(QStringLiteral("frmSysTray"))) tray->unloadForm();
}

bool isInTray() {
    return isFormLoaded(QStringLiteral("frmSysTray"));
}
