#pragma once

#include <QImage>
#include <QWidget>
#include <future>

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
    // The face is drawn into an image on a thread of its own while the rest of the window is made; every
    // paint then shows that image (drawn again when the size changes).
    void prepareFace();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static void paintOrbin(class QPainter& p, const QSizeF& size);
    static QImage faceImage(const QSize& size, qreal ratio);
    void paintDragArrow(QPainter& p) const;
    void paintArrowUp(QPainter& p) const;
    void paintCross(QPainter& p) const;
    void paintClearCross(QPainter& p) const;
    void paintSmiley(QPainter& p) const;

    Kind m_kind;
    bool m_pointsDown = false;
    std::future<QImage> m_facePending;
    QImage m_face;
};
