#pragma once

#include "platform/gui/ClickableWidget.h"

// The small pictures of the dialogs, drawn by the program: the marks of a task and of a meeting in the
// project's item list, and the close cross of the day chooser. An image control: it takes no focus and
// reports a click with the left button.
class DialogPicture : public ClickableWidget {
    Q_OBJECT
public:
    enum class Kind { Task, Meeting, Close };

    DialogPicture(Kind kind, const QString& name, QWidget* parent);
    Kind kind() const { return m_kind; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind m_kind;
};
