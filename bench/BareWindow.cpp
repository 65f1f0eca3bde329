// What the program is measured against: an empty window of the orbin's size and kind, started the same
// way. A right click on it opens a menu whose New ▸ Task opens a bare dialog of the New Task dialog's size
// with as many controls of the same kinds, for the dialog's own floor.
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

namespace {

// Below the window, as the program puts its own (one under the window, which stays on top, is never drawn).
void bareDialog(const QWidget* window) {
    auto* dialog = new QDialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(QStringLiteral("New Task"));
    dialog->setFixedSize(440, 182);
    auto place = [](QWidget* w, int x, int y, int width, int height) { w->setGeometry(x, y, width, height); };
    place(new QLabel(QStringLiteral("Task:"), dialog), 8, 8, 40, 22);
    place(new QLineEdit(dialog), 48, 8, 384, 22);
    auto* date = new QGroupBox(QStringLiteral("Date"), dialog);
    place(date, 8, 36, 192, 69);
    auto* list = new QComboBox(date);
    list->setEditable(true);
    list->addItems({QStringLiteral("Today"), QStringLiteral("Tomorrow")});
    place(list, 8, 18, 176, 22);
    place(new QLineEdit(QStringLiteral("Today"), date), 8, 42, 176, 22);
    auto* period = new QGroupBox(QStringLiteral("Period"), dialog);
    place(period, 208, 36, 224, 69);
    for (int i = 0; i < 4; ++i)
        place(new QRadioButton(QStringLiteral("Period %1").arg(i + 1), period), 10 + 104 * (i % 2),
              18 + 24 * (i / 2), 100, 20);
    auto* note = new QPlainTextEdit(dialog);
    note->hide();
    auto* repeat = new QGroupBox(QStringLiteral("Repeat"), dialog);
    for (int i = 0; i < 4; ++i)
        new QRadioButton(QStringLiteral("Repeat %1").arg(i + 1), repeat);
    repeat->hide();
    auto* estimate = new QGroupBox(QStringLiteral("Estimate Time"), dialog);
    place(estimate, 8, 117, 344, 49);
    for (int i = 0; i < 6; ++i)
        place(new QPushButton(QStringLiteral("%1 min").arg(5 * (i + 1)), estimate), 8 + 55 * i, 19, 52, 22);
    place(new QPushButton(QStringLiteral("Advanced"), dialog), 360, 136, 72, 22);
    new QLabel(dialog);
    new QLabel(dialog);
    dialog->move(window->frameGeometry().bottomLeft() + QPoint(20, 1));
    dialog->show();
}

class Window : public QWidget {
public:
    Window() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {}

protected:
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (!m_menu) {
            m_menu = new QMenu(this);
            QMenu* add = m_menu->addMenu(QStringLiteral("&New"));
            add->addAction(QStringLiteral("&Task"), [this] { bareDialog(this); });
            add->addAction(QStringLiteral("&Meeting"));
            m_menu->addAction(QStringLiteral("E&xit"), [] { QApplication::quit(); });
        }
        m_menu->popup(event->globalPos());
    }

private:
    QMenu* m_menu = nullptr;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Window window;
    window.resize(479, 422);
    window.show();
    return QApplication::exec();
}
