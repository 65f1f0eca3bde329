#include "platform/gui/FormWidget.h"

#include "platform/Twips.h"
#include "platform/WindowProcedure.h"
#include "platform/gui/ColorCodec.h"
#include "platform/gui/WindowProcs.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

FormWidget::FormWidget(const QString& name, QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
    setObjectName(name);
    forms::add(this);
}

FormWidget::~FormWidget() {
    forms::remove(this);
}

void placeTwips(QWidget* control, double left, double top, double width, double height) {
    control->setGeometry(twips::toPixels(left), twips::toPixels(top), std::max(1, twips::toPixels(width)),
                         std::max(1, twips::toPixels(height)));
}

FormPort::Rect FormWidget::twipGeometry() const {
    const QPoint p = pos();
    return {twips::fromPixels(p.x()), twips::fromPixels(p.y()), twips::fromPixels(width()),
            twips::fromPixels(height())};
}

void FormWidget::moveTwips(double left, double top, double w, double h) {
    setGeometry(QRect(QPoint(twips::toPixels(left), twips::toPixels(top)),
                      QSize(std::max(1, twips::toPixels(w)), std::max(1, twips::toPixels(h)))));
    move(twips::toPixels(left), twips::toPixels(top));
}

void FormWidget::setTopMost(bool onTop) {
    windowprocs::setTopMost(this, onTop);
    // The native window took the flag; let the widget's own flags say the same without re-creating it.
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    overrideWindowFlags(flags);
}

void FormWidget::showForm() {
    // Said again where it stands, a window that the user (not the program) had moved keeps that place:
    // otherwise the desktop may place it anew.
    if (QWindow* native = QWidget::windowHandle()) native->setPosition(geometry().topLeft());
    show();
}

void FormWidget::moveBy(double dxTwips, double dyTwips) {
    move(pos() + QPoint(twips::toPixels(dxTwips), twips::toPixels(dyTwips)));
}

static QRect screenRect(const QWidget* w) {
    QScreen* s = w->screen();
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

double FormWidget::screenWidthTwips() const {
    return twips::fromPixels(screenRect(this).width());
}
double FormWidget::screenHeightTwips() const {
    return twips::fromPixels(screenRect(this).height());
}

// A colour number set through the program is kept as given (a system colour stays a system colour); a
// widget never recoloured answers with the number of its palette colour.
static qint64 backColorOf(const QWidget* w) {
    const QVariant kept = w->property("BackColor");
    if (kept.isValid()) return kept.toLongLong();
    return colorcodec::fromColor(w->palette().color(w->backgroundRole()));
}

std::optional<qint64> FormWidget::formBackColor() const {
    return backColorOf(this);
}

void FormWidget::setFormBackColor(qint64 color) {
    paintBackColor(this, color);
}

void FormWidget::paintBackColor(QWidget* widget, qint64 color) {
    widget->setProperty("BackColor", color);
    QPalette p = widget->palette();
    p.setColor(widget->backgroundRole(), colorcodec::toColor(color, p));
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QList<QWidget*> FormWidget::controls() const {
    return findChildren<QWidget*>(QString(), Qt::FindChildrenRecursively);
}

int FormWidget::controlCount() const {
    return static_cast<int>(controls().size());
}

std::optional<qint64> FormWidget::controlColor(int index, ColorProperty property) const {
    const QList<QWidget*> list = controls();
    if (index < 0 || index >= list.size()) return std::nullopt;
    const QWidget* w = list.at(index);
    if (property == ColorProperty::Color) {
        const QVariant v = w->property("Color");
        if (!v.isValid()) return std::nullopt;
        bool ok = false;
        const qint64 n = v.toLongLong(&ok);
        return ok ? std::optional<qint64>(n) : std::nullopt;
    }
    return backColorOf(w);
}

bool FormWidget::setControlColor(int index, ColorProperty property, qint64 color) {
    const QList<QWidget*> list = controls();
    if (index < 0 || index >= list.size()) return false;
    QWidget* w = list.at(index);
    if (property == ColorProperty::Color) {
        if (!w->property("Color").isValid()) return false;
        w->setProperty("Color", color);
        return true;
    }
    paintBackColor(w, color);
    return true;
}

void FormWidget::unloadForm() {
    if (m_unloaded) return;
    m_unloaded = true;
    forms::remove(this);
    formUnload();
    hide();
    deleteLater();
}

bool FormWidget::pressOnEnter(QKeyEvent* event, const std::function<void()>& pressDefault) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
        button->click();
    else
        pressDefault();
    return true;
}

void FormWidget::closeEvent(QCloseEvent* event) {
    event->accept();
    unloadForm();
}

std::optional<bool> FormWidget::askByName(const QString& operation) {
    const QByteArray signature =
        QMetaObject::normalizedSignature((operation + QStringLiteral("()")).toLatin1());
    const int index = metaObject()->indexOfMethod(signature.constData());
    if (index < 0) return std::nullopt;
    const QMetaMethod method = metaObject()->method(index);
    if (method.returnMetaType() != QMetaType::fromType<bool>()) return std::nullopt;
    bool answer = false;
    if (!method.invoke(this, Qt::DirectConnection, Q_RETURN_ARG(bool, answer))) return std::nullopt;
    return answer;
}

void FormWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    if (!isMinimized() || before.testFlag(Qt::WindowMinimized)) return;
    const quintptr handle = internalWinId();
    if (handle && !windowprocedure::send(handle, WindowMessage::MinimizeClick)) setWindowState(before);
}
