#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QToolButton;

// The rounded rectangle of the about box, filled with its picture used as a brush pattern.
namespace marlix {
class PatternShape : public QWidget {
public:
    explicit PatternShape(QWidget *parent);
    QPixmap pattern;

protected:
    void paintEvent(QPaintEvent *event) override;
};
} // namespace marlix

// The about box: a frameless window in the shape of a rounded rectangle. Every pixel that
// shows exactly fuchsia, the window colour, is left out of the window.
class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget *parent = nullptr);
    static QColor keyColor() { return QColor(0xFF, 0x00, 0xFF); }

    QToolButton *btnClose = nullptr;
    marlix::PatternShape *shpAbout = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *imgBG = nullptr;
    QLabel *Label4 = nullptr;

    void btnCloseClick();
    void FormCreate();

private:
    void applyColorKey();
};

extern TfrmAbout *frmAbout;
