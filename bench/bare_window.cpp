// The baseline for window start-up time and resident memory: the least a Qt
// Widgets program with a window can be, one label in a window.

#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("BareWindow"));
    QLabel label(QStringLiteral("25 *C"), &window);
    window.resize(391, 160);
    window.show();
    return app.exec();
}
