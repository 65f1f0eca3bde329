// What the program is measured against: an empty window of the orbin's size and kind, started the same
// way.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    window.resize(479, 422);
    window.show();
    return QApplication::exec();
}
