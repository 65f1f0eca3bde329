#pragma once

#include "platform/gui/ClickableWidget.h"

#include <QLabel>
#include <QPixmap>

// A label that answers a click: the topics of the tour's index.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString& text, QWidget* parent = nullptr);
Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};

// A page's picture, drawn as large as the page allows but never larger than it was made, so that a
// screenshot stays sharp. A click on it is reported.
class PagePictureBox : public ClickableWidget {
    Q_OBJECT
public:
    explicit PagePictureBox(const QPixmap& pixmap, QWidget* parent = nullptr);
    const QPixmap& pixmap() const { return m_pixmap; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Where the picture is drawn inside the box.
    QRect pictureRect() const;
    // A place of the window (in its coordinates) that the picture stays below where the two meet; an
    // empty rectangle for none.
    void setKeepClear(const QRect& inWindow);

protected:
    // Only the picture answers a click, not the room round it.
    QRect clickArea() const override { return pictureRect(); }
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_pixmap;
    QRect m_keepClear;
};
