#include <QApplication>
#include <QMainWindow>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Marlix"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Marlix 3.0.3.0"));
    window.showMaximized();
    return app.exec();
}
