#pragma once

#include <QApplication>

// The application object. Every handler guards its own work; this is the last line behind
// those guards, so that an exception that still escapes a handler reaches the error display
// instead of ending the program through Qt's event loop.
namespace marlix {

class Application : public QApplication {
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace marlix
