// Every caption of the dialogs that stand on a picture of ours must be readable on the pixels
// behind it: at least 4.5:1 between its text colour and each background pixel under its
// rectangle, measured on the real dialog with its real picture.
#include "auxiliary/frmAbout.h"
#include "core/common/Contrast.h"
#include "launch/JpegImage.h"
#include "launch/frmLaunch.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QtTest>

namespace {

struct Caption {
    QWidget *control;
    QRect place; // in the dialog's coordinates
    QColor color;
};

// The captions of a dialog, and the dialog drawn without them: what lies behind each.
QImage groundWithout(QWidget *dialog, QList<Caption> &captions, const QWidget *picture) {
    const auto widgets = dialog->findChildren<QWidget *>();
    for (QWidget *w : widgets) {
        if (w == picture || !w->isVisibleTo(dialog))
            continue;
        QString text;
        if (auto *label = qobject_cast<QLabel *>(w))
            text = label->text();
        else if (auto *button = qobject_cast<QAbstractButton *>(w))
            text = button->text();
        if (text.isEmpty())
            continue;
        w->ensurePolished();
        captions.append({w, QRect(w->mapTo(dialog, QPoint(0, 0)), w->size()),
                         w->palette().color(w->foregroundRole())});
    }
    for (const Caption &c : captions)
        c.control->hide();
    const QImage ground = dialog->grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (const Caption &c : captions)
        c.control->show();
    return ground;
}

// The worst contrast of each caption; pixels of the colour key are see-through, not ground.
QStringList unreadable(QWidget *dialog, const QWidget *picture, QRgb seeThrough = 0) {
    QList<Caption> captions;
    const QImage ground = groundWithout(dialog, captions, picture);
    QStringList faults;
    for (const Caption &c : captions) {
        double worst = 21;
        const QRect place = c.place.intersected(ground.rect());
        for (int y = place.top(); y <= place.bottom(); ++y)
            for (int x = place.left(); x <= place.right(); ++x) {
                const QRgb pixel = ground.pixel(x, y) & 0xFFFFFF;
                if (seeThrough && pixel == (seeThrough & 0xFFFFFF))
                    continue;
                worst = qMin(worst, marlix::contrastRatio(c.color.rgb(), pixel));
            }
        if (worst < marlix::ReadableContrast)
            faults << QStringLiteral("%1 \"%2\" %3:1")
                          .arg(c.control->metaObject()->className(),
                               c.control->property("text").toString())
                          .arg(worst, 0, 'f', 2);
    }
    if (captions.isEmpty())
        faults << QStringLiteral("no captions found");
    return faults;
}

} // namespace

class ReadabilityTest : public QObject {
    Q_OBJECT
private slots:
    void launchCaptionsVanishIntoTheBackground_data() {
        QTest::addColumn<bool>("darkDesktop");
        QTest::newRow("light desktop colours") << false;
        QTest::newRow("dark desktop colours") << true;
    }
    void launchCaptionsVanishIntoTheBackground() {
        QFETCH(bool, darkDesktop);
        const QPalette desktop = QApplication::palette();
        if (darkDesktop) {
            QPalette dark = desktop;
            dark.setColor(QPalette::WindowText, Qt::white);
            dark.setColor(QPalette::ButtonText, Qt::white);
            QApplication::setPalette(dark);
        }
        TFrmLaunch dialog;
        QApplication::setPalette(desktop);
        QFile jpeg(QStringLiteral(MARLIX_SOURCE_DIR "/data/launchback.jpg"));
        QVERIFY(jpeg.open(QIODevice::ReadOnly));
        // As the dialog does with the picture beside the executable.
        dialog.imgBackground->setPixmap(QPixmap::fromImage(marlix::decodeJpeg(jpeg.readAll())));
        const QStringList faults = unreadable(&dialog, dialog.imgBackground);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }

    void aboutCloseButtonAndSiteLineVanishIntoThePicture() {
        TfrmAbout about;
        QVERIFY(!about.imgBG->pixmap().isNull());
        const QStringList faults = unreadable(&about, about.imgBG, TfrmAbout::keyColor().rgb());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(ReadabilityTest)
#include "ReadabilityTest.moc"
