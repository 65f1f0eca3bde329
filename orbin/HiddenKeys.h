#pragma once

#include <QObject>
#include <functional>

class FormWidget;

// The keys of the orbin window that no menu shows: Ctrl+L the open-forms list, Ctrl+S the developer
// settings, Esc to the tray and back. They work whichever control of the window has the focus.
class HiddenKeys : public QObject {
    Q_OBJECT
public:
    explicit HiddenKeys(FormWidget* form);

    // A key press by its character code (12 Ctrl+L, 19 Ctrl+S, 27 Esc); any other code does nothing.
    // Returns whether the key was one of them.
    bool keyPress(int code);
    // True after Esc has sent the window to the tray.
    bool inTray() const { return m_inTray; }

    // The character code of a key press, or 0 when it has none of interest.
    static int characterCode(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FormWidget* m_form;
    bool m_inTray = false;
};
