#pragma once

#include "platform/FormPort.h"

#include <QPointer>
#include <QWidget>
#include <functional>

// The base of every form of the program: a top-level widget named after its form, entered in the loaded
// forms when it is made and leaving them the moment it is unloaded. Its place and colours are served to
// the core in twips and colour numbers.
class FormWidget : public QWidget, public FormPort {
    Q_OBJECT
public:
    explicit FormWidget(const QString& name, QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::Window);
    ~FormWidget() override;

    QString formName() const override { return objectName(); }
    quintptr windowHandle() const override { return static_cast<quintptr>(winId()); }

    Rect twipGeometry() const override;
    void moveTwips(double left, double top, double width, double height) override;
    double screenWidthTwips() const override;
    double screenHeightTwips() const override;

    std::optional<qint64> formBackColor() const override;
    void setFormBackColor(qint64 color) override;
    int controlCount() const override;
    std::optional<qint64> controlColor(int index, ColorProperty property) const override;
    bool setControlColor(int index, ColorProperty property, qint64 color) override;

    void hideForm() override { hide(); }
    // Shown again where it was hidden, also where the user had moved it.
    void showForm() override;
    bool isFormVisible() const override { return isVisible(); }
    void setTopMost(bool onTop) override;
    void moveBy(double dxTwips, double dyTwips) override;
    void redraw() override { repaint(); }
    // Runs the form's invokable operation of that name (no arguments, a Boolean answer).
    std::optional<bool> askByName(const QString& operation) override;
    // Runs the form's unload handler, leaves the loaded forms, hides the form and deletes it later.
    void unloadForm() override;
    bool isUnloaded() const { return m_unloaded; }

    // Paints a widget's background in a colour number and keeps the number as its BackColor.
    static void paintBackColor(QWidget* widget, qint64 color);

protected:
    // The form's own unload work (storing its place...). Runs once.
    virtual void formUnload() {}
    // A close by the window manager or by close() unloads the form.
    void closeEvent(QCloseEvent* event) override;
    // Enter or Return presses the button that has the focus, else runs pressDefault (the default
    // button's work). True when the key was one of them.
    bool pressOnEnter(QKeyEvent* event, const std::function<void()>& pressDefault);
    // A minimise from the window's frame goes to the window's procedure first, which may keep the window
    // as it was.
    void changeEvent(QEvent* event) override;

private:
    QList<QWidget*> controls() const;
    bool m_unloaded = false;
};

// Places a control of a form at its design rectangle in twips, inside its parent; a control is never
// smaller than one pixel.
void placeTwips(QWidget* control, double left, double top, double width, double height);

// The one shared instance of a form: made on first use and made afresh once the old one is unloaded, owned
// by the window owner() names at that moment (none without it).
template <class Form> Form* sharedForm(QPointer<Form>& slot, QWidget* (*owner)() = nullptr) {
    if (!slot || slot->isUnloaded()) slot = new Form(owner ? owner() : nullptr);
    return slot.data();
}
