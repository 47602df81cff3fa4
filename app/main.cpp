// The composition root: builds the main window and runs the event loop.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("KV2200M");
    QMainWindow w;
    w.setWindowTitle("KV2200M");
    w.show();
    return app.exec();
}
