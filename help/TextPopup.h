#pragma once

#include <QFrame>

class QLabel;

// A help text shown in a small box near the mouse, in the colours and font its caller chose. A click or
// a key closes it.
class TextPopup : public QFrame {
    Q_OBJECT
public:
    struct Style {
        qint32 textColor = -1; // colour numbers; -1 for the system's
        qint32 backColor = -1;
        QString font;                     // "face, size, charset, Bold Italic Underline"
        QMargins margins{-1, -1, -1, -1}; // -1 for the default
    };
    TextPopup(const QString& text, const Style& style);
    // Shows it with its top centre at the point, kept on the screen.
    void popUpAt(const QPoint& topCentre);
    QLabel* label() const { return m_label; }

    // "Arial, 10, ascii, Bold Italic" as a font.
    static QFont fontOf(const QString& description);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_label = nullptr;
};
