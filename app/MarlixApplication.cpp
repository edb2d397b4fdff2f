#include "app/MarlixApplication.h"

#include "platform/ErrorDisplay.h"

TMarlixApplication::TMarlixApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TMarlixApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const marlix::Error &error) {
        marlix::showError(activeWindow(), error.text());
    } catch (const std::exception &error) {
        marlix::showError(activeWindow(), QString::fromLocal8Bit(error.what()));
    } catch (...) {
        marlix::showError(activeWindow(), QStringLiteral("Unexpected error"));
    }
    return false;
}
