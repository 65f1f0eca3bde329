#include "core/FormProcedures.h"

#include "core/ErrorReport.h"
#include "platform/Failure.h"
#include "platform/FormPort.h"

#include <cmath>

namespace {

struct DragRecord {
    bool dragging = false;
    long startX = 0;
    long startY = 0;
};
DragRecord g_drag;

} // namespace

void setTopMost(quintptr hWnd) {
    for (FormPort* form : forms::loaded()) {
        if (form->windowHandle() == hWnd) {
            form->setTopMost(true);
            return;
        }
    }
}

void dragWindow(FormPort* form, double x, double y, int button, bool reset) {
    ignoringFailures([&] {
        if (reset) g_drag.dragging = false;
        if (button != 1) return;
        const long ix = std::lround(x);
        const long iy = std::lround(y);
        if (!g_drag.dragging) {
            g_drag.startX = ix;
            g_drag.startY = iy;
            g_drag.dragging = true;
        }
        if (!form) throw Failure(err::ObjectNotSet, Failure::classicDescription(err::ObjectNotSet));
        form->moveBy(static_cast<double>(ix - g_drag.startX), static_cast<double>(iy - g_drag.startY));
        form->redraw();
    });
}

bool isFormLoaded(const QString& name) {
    bool found = false;
    ignoringFailures([&] {
        const QString wanted = name.toLower();
        for (FormPort* form : forms::loaded()) {
            if (form->formName().toLower() == wanted) {
                found = true;
                return;
            }
        }
    });
    return found;
}
