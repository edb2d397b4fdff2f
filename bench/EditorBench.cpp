// Measures the editor on a large script: load, colouring with small and large phrase tables,
// the object list, memory, and the work of one key release with large tables.
#include "core/common/LineFile.h"
#include "editor/AdvEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

namespace {

QByteArray padded(QByteArray line, int width) {
    while (line.size() < width)
        line += line.size() % 7 == 0 ? ' ' : 'x';
    return line.left(width);
}

// 200,000 lines, 8.5 MB with CR LF: object definitions, their settings, comments, conditions.
QByteArray makeScript() {
    QByteArrayList lines;
    lines.reserve(200000);
    for (int i = 0; i < 200000; ++i) {
        const int width = 40 + (i & 1);
        QByteArray line;
        switch (i % 10) {
        case 0:
            line = "ObjectTemplate.create Vehicle Scout" + QByteArray::number(i);
            break;
        case 1:
            line = "ObjectTemplate.setNetworkableInfo Info";
            break;
        case 2:
            line = "rem the part below belongs to " + QByteArray::number(i);
            break;
        case 3:
            line = "ObjectTemplate.addTemplate Part" + QByteArray::number(i % 1000);
            break;
        case 4:
            line = "if v_arg1 == host";
            break;
        case 5:
            line = "  ObjectTemplate.setPosition 0/1.2/3";
            break;
        case 6:
            line = "endIf";
            break;
        case 7:
            line = "include ../Common/Scout" + QByteArray::number(i % 50) + ".con";
            break;
        case 8:
            line = "GeometryTemplate.create StandardMesh g" + QByteArray::number(i);
            break;
        default:
            line = "ObjectTemplate.hasMobilePhysics 1";
            break;
        }
        lines.append(padded(line, width));
    }
    return marlix::joinLines(lines);
}

QByteArray phraseTable(int count) {
    const QList<QByteArray> common{"rem",
                                   "if",
                                   "endIf",
                                   "include",
                                   "ObjectTemplate.create",
                                   "GeometryTemplate.create",
                                   "Vehicle",
                                   "StandardMesh",
                                   "host",
                                   "v_arg1"};
    const QList<QByteArray> colors{"clBlue", "clRed", "clGreen", "clPurple", "clTeal", "$00336699"};
    QByteArray table;
    for (int i = 0; i < count; ++i) {
        const QByteArray phrase =
            i < common.size() ? common[i] : "Part" + QByteArray::number((i * 7) % 1000);
        table += phrase + "\r\n" + (phrase == "rem" ? "1" : "0") + "\r\n" +
                 colors[i % colors.size()] + "\r\n";
    }
    return table;
}

QByteArray codeTable(int count) {
    QByteArray table;
    for (int i = 0; i < count - 1; ++i)
        table += "Trigger" + QByteArray::number(i) + ".\r\ntrigger.txt\r\n0\r\n";
    table += "ObjectTemplate.\r\nobjecttemplate.txt\r\n0\r\n";
    return table;
}

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

double ms(const QElapsedTimer &timer) {
    return timer.nsecsElapsed() / 1e6;
}

struct Editor {
    QWidget page;
    TAdvEdit *edit;
    explicit Editor(const QString &folder) : edit(new TAdvEdit(&page)) {
        page.resize(1000, 700);
        edit->ProgramFolder = folder;
        edit->InitEditor();
        auto *layout = new QHBoxLayout(&page);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(edit, 1);
        layout->addWidget(edit->ObjectList);
        page.show();
    }
};

void write(const QString &path, const QByteArray &bytes) {
    marlix::writeWholeFile(path, bytes);
}

// The average time of one key release (real release events through the editor's handling).
// A release counts only after its press reached the editor: Ctrl, which types nothing, is
// pressed before each timed release.
double releaseMicros(TAdvEdit *edit, int repeats) {
    qint64 total = 0;
    QElapsedTimer timer;
    for (int i = 0; i < repeats; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Control, Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
        timer.start();
        QCoreApplication::sendEvent(edit, &release);
        total += timer.nsecsElapsed();
    }
    return total / 1e3 / repeats;
}

void typeText(TAdvEdit *edit, const QString &text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(edit, &release);
    }
}

void keyReleaseFigures(const char *label, TAdvEdit *edit) {
    const long middle = edit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) / 2;
    const long line = edit->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, middle);
    const long end = edit->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line);
    edit->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, end);
    typeText(edit, QStringLiteral(" word"));
    const double idle = releaseMicros(edit, 2000);
    typeText(edit, QStringLiteral(" ObjectTemplate.set"));
    const bool offering = edit->CompletionList->isVisible();
    const double tracking = releaseMicros(edit, 2000);
    std::printf("%-28s key release idle %.1f us, with the list open (prefix tracking%s) %.1f us\n",
                label, idle, offering ? "" : ", LIST NOT OPEN", tracking);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    QCoreApplication::sendEvent(edit, &escape);
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    const QByteArray script = makeScript();
    write(folder + "big.con", script);
    QByteArray items;
    for (int i = 0; i < 200; ++i)
        items += "set" + QByteArray::number(i * 37 % 200) + "Thing\r\n";
    write(folder + "objecttemplate.txt", items);
    write(folder + "trigger.txt", "one\r\ntwo\r\n");
    std::printf("script: %lld bytes, 200000 lines; resident at start %ld kB\n",
                static_cast<long long>(script.size()), residentKb());

    for (int phrases : {50, 1000}) {
        write(folder + "highlighting.ini", phraseTable(phrases));
        write(folder + "intellisense.ini", codeTable(phrases));
        QElapsedTimer timer;
        timer.start();
        auto *editor = new Editor(folder);
        const double created = ms(timer);
        timer.restart();
        editor->edit->loadLines(marlix::readLines(folder + "big.con"));
        const double loaded = ms(timer);
        timer.restart();
        editor->edit->RefreshHighlighting();
        const double colored = ms(timer);
        timer.restart();
        editor->edit->RefreshObjectList();
        const double listed = ms(timer);
        QCoreApplication::processEvents();
        std::printf("%4d phrases: editor ready %.1f ms, load %.1f ms, RefreshHighlighting %.1f ms, "
                    "RefreshObjectList %.1f ms (%d rows), all told %.1f ms, resident %ld kB\n",
                    phrases, created, loaded, colored, listed,
                    editor->edit->ObjectList->model()->rowCount(),
                    created + loaded + colored + listed, residentKb());
        keyReleaseFigures(phrases == 50 ? "  50-entry tables, 8.5 MB:"
                                        : "1000-entry tables, 8.5 MB:",
                          editor->edit);
        delete editor;
    }

    Editor small(folder); // 1000-entry tables from the last round
    small.edit->loadLines({"rem a small script", "ObjectTemplate.create Vehicle Scout"});
    keyReleaseFigures("1000-entry tables, small:", small.edit);
    return 0;
}
