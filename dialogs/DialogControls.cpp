#include "dialogs/DialogControls.h"

#include "platform/Twips.h"
#include "platform/gui/ColorCodec.h"
#include "platform/gui/FormWidget.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace dialogcontrols {

QLabel* label(QWidget* parent, const char* name, const QString& caption, double left, double top,
              double width, double height) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(l, left, top, width, height);
    return l;
}

QLineEdit* textBox(QWidget* parent, const char* name, double left, double top, double width, double height) {
    auto* t = new QLineEdit(parent);
    t->setObjectName(QString::fromLatin1(name));
    placeTwips(t, left, top, width, height);
    return t;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, double left, double top,
                    double width, double height) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    placeTwips(b, left, top, width, height);
    return b;
}

namespace {

// A frame drawn as a line round its controls with its caption standing on the upper edge.
class Frame : public QGroupBox {
public:
    Frame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QFontMetrics fm(font());
        const int middle = fm.height() / 2;
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(QRectF(0.5, middle + 0.5, width() - 1, height() - middle - 1));
        if (title().isEmpty()) return;
        const QRect text(6, 0, fm.horizontalAdvance(title()) + 6, fm.height());
        p.fillRect(text, palette().color(backgroundRole()));
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.drawText(text, Qt::AlignCenter, title());
    }
};

} // namespace

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, double left, double top,
                 double width, double height) {
    auto* f = new Frame(caption, parent);
    f->setObjectName(QString::fromLatin1(name));
    placeTwips(f, left, top, width, height);
    setDesignBackColor(f);
    return f;
}

void designForm(FormWidget* form, const QString& caption, double width, double height, qint64 backColor) {
    form->setWindowTitle(caption);
    QFont f = form->font();
    f.setPixelSize(11);
    form->setFont(f);
    form->setFormBackColor(backColor);
    form->resize(twips::toPixels(width), twips::toPixels(height));
}

void setDesignBackColor(QWidget* w) {
    w->setProperty("BackColor", DesignBackColor);
    QPalette p = w->palette();
    p.setColor(w->backgroundRole(), colorcodec::toColor(DesignBackColor, p));
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

void setOuterHeight(QWidget* form, double outerHeight) {
    form->setFixedSize(form->width(), twips::toPixels(outerHeight - CaptionAllowance));
}

void named(QWidget* control, const char* name, const char* tip) {
    control->setObjectName(QString::fromLatin1(name));
    if (tip) control->setToolTip(QString::fromLatin1(tip));
}

QLineEdit* passwordBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // a star for each character
    return box;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons)
        row->addWidget(b);
    return row;
}

OkCancel okCancel(QWidget* parent) {
    auto* ok = new QPushButton(QStringLiteral("OK"), parent);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), parent);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    return {ok, cancel, buttonRow({ok, cancel})};
}

namespace {

class EscapeUnloads : public QObject {
public:
    explicit EscapeUnloads(FormWidget* form) : QObject(form), m_form(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            // Esc in a drop-down list (a window of its own) closes the list; the form stays.
            if (const auto* w = qobject_cast<QWidget*>(watched); w && w->window() != m_form) return false;
            m_form->unloadForm();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    FormWidget* m_form;
};

} // namespace

void unloadOnEscape(FormWidget* form) {
    auto* filter = new EscapeUnloads(form);
    form->installEventFilter(filter);
    for (QWidget* control : form->findChildren<QWidget*>())
        control->installEventFilter(filter);
}

} // namespace dialogcontrols
