#include "auxiliary/frmAbout.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

TfrmAbout *frmAbout = nullptr;

namespace {

QFont verdana(int pixelHeight, bool bold) {
    QFont font(QStringLiteral("Verdana"));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return font;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &place,
              const QFont &font, const QColor &color, Qt::Alignment alignment) {
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(place);
    l->setFont(font);
    l->setAlignment(alignment);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, color);
    l->setPalette(palette);
    l->setAttribute(Qt::WA_TranslucentBackground);
    return l;
}

const QColor navy(0x00, 0x00, 0x80);
const QColor silver(0xC0, 0xC0, 0xC0);

} // namespace

marlix::PatternShape::PatternShape(QWidget *parent) : QWidget(parent) {}

void marlix::PatternShape::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    // No antialiasing: the edge pixels must be either the outline or untouched window colour,
    // so that the colour key cuts the corners cleanly.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(pattern.isNull() ? QBrush(Qt::white) : QBrush(pattern));
    // A corner ellipse of 40 x 40 pixels, inside the 377 x 161 box with its outline.
    painter.drawRoundedRect(QRectF(0, 0, width() - 1, height() - 1), 20, 20);
}

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Marlix"));
    setFont(verdana(11, false));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, keyColor());
    setPalette(palette);
    setAutoFillBackground(true);

    // Created in the declaration order of the form, so later ones lie on top.
    btnClose = new QToolButton(this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    shpAbout = new marlix::PatternShape(this);
    shpAbout->setObjectName(QStringLiteral("shpAbout"));
    shpAbout->setGeometry(0, 0, 377, 161);
    shpAbout->lower();
    Label1 = label(this, "Label1", QStringLiteral("Marlix 3.0.1.0"), QRect(32, 8, 153, 16),
                   verdana(16, true), navy, Qt::AlignHCenter | Qt::AlignTop);
    Label2 = label(this, "Label2", QStringLiteral("marlix@example.org"), QRect(192, 8, 161, 13),
                   verdana(11, false), navy, Qt::AlignLeft | Qt::AlignTop);
    Label3 = label(this, "Label3", QStringLiteral("Free for modders"), QRect(48, 24, 97, 13),
                   verdana(11, false), navy, Qt::AlignLeft | Qt::AlignTop);
    imgBG = new QLabel(this);
    imgBG->setObjectName(QStringLiteral("imgBG"));
    imgBG->setGeometry(384, 0, 97, 164);
    imgBG->setPixmap(QPixmap(QStringLiteral(":/about.bmp")));
    imgBG->hide();
    Label4 = label(this, "Label4", QStringLiteral("www.marlix.example.org"), QRect(0, 136, 377, 13),
                   verdana(11, true), silver, Qt::AlignHCenter | Qt::AlignTop);

    btnClose->setText(QStringLiteral("X"));
    btnClose->setAutoRaise(true);
    btnClose->setFont(verdana(11, true));
    btnClose->setGeometry(344, 136, 17, 15);
    btnClose->setFocusPolicy(Qt::NoFocus);
    btnClose->setStyleSheet(
        QStringLiteral("QToolButton { color: #C0C0C0; background: transparent; border: none; }"
                       "QToolButton:hover { border: 1px solid #C0C0C0; }"));
    btnClose->raise();
    connect(btnClose, &QToolButton::clicked, this, &TfrmAbout::btnCloseClick);
    FormCreate();
}

void TfrmAbout::FormCreate() {
    setFixedSize(shpAbout->size());
    shpAbout->pattern = imgBG->pixmap();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    applyColorKey();
}

void TfrmAbout::applyColorKey() {
    // The window shows only where its own picture is not exactly the key colour: the corners
    // outside the rounded rectangle and any fuchsia pixel of the artwork are left out.
    QImage picture(size(), QImage::Format_RGB32);
    picture.fill(keyColor());
    shpAbout->render(&picture, shpAbout->pos(), QRegion(), QWidget::DrawChildren);
    // Built pixel by pixel: an exact colour test, whatever the image format's conversions.
    const QRgb key = keyColor().rgb();
    QRegion shape;
    for (int y = 0; y < picture.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        int x = 0;
        while (x < picture.width()) {
            while (x < picture.width() && (line[x] | 0xFF000000u) == key)
                ++x;
            const int start = x;
            while (x < picture.width() && (line[x] | 0xFF000000u) != key)
                ++x;
            if (x > start)
                shape += QRect(start, y, x - start, 1);
        }
    }
    setMask(shape);
}

void TfrmAbout::btnCloseClick() {
    accept();
}
