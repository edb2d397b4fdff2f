// The cost of drawing bytes 0x80-0x9F as their Windows-1252 characters: whole repaints of the
// editor's view on an 8.9 MB script, at its start and in its middle, with those bytes on every
// comment line and, for comparison, with them replaced by plain letters; and how many bytes
// one repaint looks at.
#include "editor/AdvEdit.h"
#include "core/script/Windows1252.h"
#include "editor/Windows1252Overlay.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QByteArray script(bool highBytes) {
    static const char *const kinds[] = {"ObjectTemplate.create SimpleObject part_",
                                        "rem \x93geometry\x94 \x96 physics\x85 costs 5 \x80 \x99",
                                        "ObjectTemplate.setPosition 0/1.25/3",
                                        "  ObjectTemplate.geometry.scale 1/1/1",
                                        "if v_arg1 == host",
                                        "endIf"};
    QByteArray text;
    text.reserve(9000000);
    for (int i = 0; text.size() < 8900000; ++i)
        text += QByteArray(kinds[i % 6]) + QByteArray::number(i) + "\r\n";
    if (!highBytes)
        for (char &c : text)
            if (marlix::windows1252Character(static_cast<unsigned char>(c)))
                c = 'x';
    return text;
}

// The fastest of 200 repaints: the other programs on the machine only ever add to a figure.
double repaintMs(TAdvEdit *edit, int firstLine) {
    edit->SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, firstLine);
    edit->viewport()->repaint(); // lays the lines out once
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer timer;
        timer.start();
        edit->viewport()->repaint();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return *std::min_element(times.begin(), times.end());
}

} // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget page;
    page.resize(1000, 700);
    auto *edit = new TAdvEdit(&page);
    (new QHBoxLayout(&page))->addWidget(edit);
    page.show();
    while (!page.windowHandle() || !page.windowHandle()->isExposed())
        app.processEvents();
    std::printf(
        "Windows-1252 characters, 8.9 MB script, view 1000x700, fastest of 200 repaints:\n");
    for (const bool high : {true, false}) {
        edit->loadBytes(script(high));
        const double start = repaintMs(edit, 0);
        const double middle = repaintMs(edit, 100000);
        std::printf("  %s: repaint at the start %.2f ms, in the middle %.2f ms\n",
                    high ? "6 such bytes on every sixth line" : "the same bytes as letters  ",
                    start, middle);
    }
    const marlix::Windows1252Overlay overlay(*edit);
    const auto range = overlay.visibleRange(edit->viewport()->rect());
    std::printf("  one repaint looks at %lld of %lld bytes\n", (long long)(range.to - range.from),
                (long long)edit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    return 0;
}
