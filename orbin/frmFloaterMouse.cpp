// The orbin's mouse: a click on a control goes to its handler, a right click where the face shows opens the
// popup menu, and the handle drags the window with its companions (a double click on it quits, a click
// without a drag opens the menu once no double click can follow).

#include "orbin/frmFloater.h"

#include "core/FormProcedures.h"
#include "core/Initialize.h"
#include "orbin/OrbinPicture.h"
#include "platform/FormPort.h"
#include "platform/Twips.h"
#include "platform/gui/WindowProcs.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

// The companions that follow a drag of the orbin, each only while it is loaded.
const char* const Companions[] = {"dlgDays", "frmReminder", "frmSearch"};

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

} // namespace

void frmFloater::mouseReleaseEvent(QMouseEvent* event) {
    // Only the form's own surface: a release over a control that let it through is not the form's.
    if (childAt(event->position().toPoint()) != nullptr) return;
    if (event->button() == Qt::RightButton) {
        showPopupMenu();
    } else if (windowprocs::isLeftClick(event, rect())) {
        shrinkFloater();
    }
}

// A mouse event on a control the window watches (eventFilter hands them over).
bool frmFloater::controlMouseEvent(QObject* watched, QMouseEvent* me) {
    const QEvent::Type type = me->type();
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w) return false;
    const QPointF local = me->position();
    const bool inside = w->rect().contains(local.toPoint());

    if (watched == m_txtSearch) {
        // The box handles its own mouse; a click in it only takes the prompt away first.
        if (type == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton && inside) txtSearch_Click();
        return false;
    }

    if (watched == m_imgDragArrow) {
        // Positions from the pointer's place on the screen, so that a window still on its way to its new
        // place does not make the handle jump.
        const QPointF p = w->mapFromGlobal(me->globalPosition());
        const double x = std::nearbyint(twips::fromPixels(1) * p.x());
        const double y = std::nearbyint(twips::fromPixels(1) * p.y());
        switch (type) {
        case QEvent::MouseButtonPress:
            imgDragArrow_MouseDown(me->button(), x, y);
            break;
        case QEvent::MouseMove:
            imgDragArrow_MouseMove(me->buttons(), x, y);
            break;
        case QEvent::MouseButtonRelease:
            imgDragArrow_MouseUp();
            break;
        default:
            imgDragArrow_DblClick();
            break;
        }
        return true;
    }

    if (type == QEvent::MouseButtonPress) {
        m_pressedOn = me->button() == Qt::LeftButton ? watched : nullptr;
        return watched != m_btnSearch && watched != m_butStart;
    }
    if (type != QEvent::MouseButtonRelease) return false;
    const bool clicked = me->button() == Qt::LeftButton && m_pressedOn == watched && inside;
    m_pressedOn = nullptr;
    // An empty task slot cannot be seen: a right click there is a right click on the face below it.
    const auto* slotLabel = qobject_cast<const QLabel*>(watched);
    const bool emptySlot =
        slotLabel &&
        std::find(std::begin(m_txtTodo), std::end(m_txtTodo), slotLabel) != std::end(m_txtTodo) &&
        slotLabel->text().isEmpty();
    if (me->button() == Qt::RightButton &&
        (watched == m_btnSearch || watched == m_butStart || watched == m_imgArrowUp ||
         watched == m_imgOrbin || watched == m_picSmiley || watched == m_txtTaskMinutes ||
         watched == m_txtMinLeftOfPeriod || emptySlot)) {
        showPopupMenu();
        return true;
    }
    if (watched == m_btnSearch || watched == m_butStart) return false;
    if (!clicked) return true;
    if (watched == m_imgArrowUp) {
        imgArrowUp_Click();
    } else if (watched == m_imgClose) {
        imgClose_Click();
    } else if (watched == m_imgCloseSearch) {
        imgCloseSearch_Click();
    } else if (watched == m_lblMessageBoard) {
        lblMessageBoard_Click();
        // The board stands in for New and Search only a while: a click where one of them stands is meant
        // for it, and goes on to it.
        const QPoint at = m_lblMessageBoard->mapTo(this, local.toPoint());
        if (m_btnSearch->isVisible() && m_btnSearch->geometry().contains(at))
            btnSearch_Click();
        else if (m_btnNew->isVisible() && m_btnNew->geometry().contains(at))
            btnNew_Click();
    } else if (watched == m_Label1) {
        Label1_Click();
    } else if (const int index = m_lblMeeting.indexOf(static_cast<QLabel*>(w)); index > 0) {
        lblMeeting_Click(index);
    } else if (QLabel* const* slot = std::find(std::begin(m_txtTodo), std::end(m_txtTodo), w);
               slot != std::end(m_txtTodo)) {
        txtTodo_Click(static_cast<int>(slot - std::begin(m_txtTodo)) + 1);
    }
    return true;
}

void frmFloater::dragWithCompanions(double x, double y, bool reset) {
    dragWindow(this, x, y, 1, reset);
    // Every loaded form of each name: several reminders can be up, and they keep their places among
    // themselves as they follow the orbin.
    for (const char* name : Companions)
        for (FormPort* companion : forms::loaded())
            if (companion->formName().compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                dragWindow(companion, x, y, 1, false);
}

void frmFloater::imgDragArrow_MouseDown(Qt::MouseButton button, double x, double y) {
    // A fresh press: whatever an earlier click left (a release that went to a box instead) is over.
    m_systemMove = false;
    m_swallowRelease = false;
    m_dragMoved = false;
    if (button != Qt::LeftButton) return;
    dragWithCompanions(x, y, true);
}

void frmFloater::imgDragArrow_MouseMove(Qt::MouseButtons buttons, double x, double y) {
    if (!(buttons & Qt::LeftButton)) return;
    if (onWayland()) {
        // The desktop does not let a window place itself: let it move the window instead.
        if (QWindow* w = QWidget::windowHandle(); !m_systemMove && w) m_systemMove = w->startSystemMove();
        m_dragMoved = true;
        return;
    }
    dragWithCompanions(x, y, false);
    m_dragMoved = true;
}

void frmFloater::imgDragArrow_MouseUp() {
    if (m_swallowRelease) {
        // The release that ends a double click.
        m_swallowRelease = false;
        m_dragMoved = false;
        return;
    }
    if (!m_dragMoved) m_menuDelay->start(QApplication::doubleClickInterval());
    m_dragMoved = false;
}

void frmFloater::imgDragArrow_DblClick() {
    m_menuDelay->stop();
    m_swallowRelease = true;
    quitApplication(false);
}
