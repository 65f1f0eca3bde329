#pragma once

#include <QList>
#include <QString>
#include <optional>

// A loaded form as the planning core sees it: its name, its place in twips, its colours, and the means to
// hide and unload it. The window layer implements it for every form of the program.
class FormPort {
public:
    struct Rect {
        double left = 0, top = 0, width = 0, height = 0;
    };
    // The colour properties that recolouring looks at.
    enum class ColorProperty { Color, BackColor };

    virtual ~FormPort() = default;

    virtual QString formName() const = 0;
    virtual quintptr windowHandle() const = 0;

    // Place and size in twips, and the screen's size in twips.
    virtual Rect twipGeometry() const = 0;
    virtual void moveTwips(double left, double top, double width, double height) = 0;
    virtual double screenWidthTwips() const = 0;
    virtual double screenHeightTwips() const = 0;

    // Colour numbers of the form itself and of its controls, in the form's order. nullopt: no such
    // property. A setter returns False when the control rejects the value.
    virtual std::optional<qint64> formBackColor() const = 0;
    virtual void setFormBackColor(qint64 color) = 0;
    virtual int controlCount() const = 0;
    virtual std::optional<qint64> controlColor(int index, ColorProperty property) const = 0;
    virtual bool setControlColor(int index, ColorProperty property, qint64 color) = 0;

    virtual void hideForm() = 0;
    virtual void unloadForm() = 0;

    // Window procedures. The defaults keep a form that cannot do them working.
    // Shows the form again, not modal.
    virtual void showForm() {}
    virtual bool isFormVisible() const { return true; }
    // Keeps the form above every other window (or releases it) without moving or resizing it.
    virtual void setTopMost(bool onTop) { (void)onTop; }
    // Moves the form by the given distance in twips; its size stays.
    virtual void moveBy(double dxTwips, double dyTwips) {
        const Rect r = twipGeometry();
        moveTwips(r.left + dxTwips, r.top + dyTwips, r.width, r.height);
    }
    // Paints the form again.
    virtual void redraw() {}
    // Runs the form's own operation of that name, one without arguments that answers True or False;
    // nullopt when the form has no such operation.
    virtual std::optional<bool> askByName(const QString& operation) {
        (void)operation;
        return std::nullopt;
    }
};

// The loaded forms in load order. A form enters when it loads and leaves the moment it is unloaded.
namespace forms {
void add(FormPort* form);
void remove(FormPort* form);
QList<FormPort*> loaded();
bool isLoaded(const QString& name); // names match without regard to letter case
FormPort* find(const QString& name);
// A number given to the form when it loaded, different for every load of the process; 0 once it is
// unloaded. A form remembered by its pointer is the same form only while this number is unchanged.
quint64 loadNumber(FormPort* form);
} // namespace forms
