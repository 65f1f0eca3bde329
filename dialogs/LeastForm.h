#pragma once

#include "FormWidget.h"

// The least a form can be while its real one is not built: a small window with its title, one line
// saying it is not available yet and a Close button (Esc closes it too). Nothing is read or stored.
class LeastForm : public FormWidget {
    Q_OBJECT
public:
    LeastForm(const QString& name, const QString& title, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
