#pragma once

#include <QWidget>

// The pictures of the orbin window, drawn by the program: the round face, the drag handle, the
// shrink/expand arrow, the close crosses and the smiley. An image control of the form: it takes no
// focus and hands its mouse events to whoever filters them.
class OrbinPicture : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Orbin, DragArrow, ArrowUp, Close, CloseSearch, Smiley };

    OrbinPicture(Kind kind, const QString& name, QWidget* parent);
    Kind kind() const { return m_kind; }
    // The arrow points down while the window is shrunk (click to open) and up while it is open.
    void setPointsDown(bool down);
    bool pointsDown() const { return m_pointsDown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintOrbin(class QPainter& p) const;
    void paintDragArrow(QPainter& p) const;
    void paintArrowUp(QPainter& p) const;
    void paintCross(QPainter& p) const;
    void paintSmiley(QPainter& p) const;

    Kind m_kind;
    bool m_pointsDown = false;
};
