#pragma once

#include <QLabel>
#include <QPixmap>
#include <QWidget>

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
class PagePictureBox : public QWidget {
    Q_OBJECT
public:
    explicit PagePictureBox(const QPixmap& pixmap, QWidget* parent = nullptr);
    const QPixmap& pixmap() const { return m_pixmap; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Where the picture is drawn inside the box.
    QRect pictureRect() const;
Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap m_pixmap;
};
