#pragma once

#include <QApplication>

// The application object. Every handler guards its own work; this is the last line behind
// those guards, so that an exception that still escapes a handler reaches the error display
// instead of ending the program through Qt's event loop.
class TMarlixApplication : public QApplication {
    Q_OBJECT
public:
    TMarlixApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
