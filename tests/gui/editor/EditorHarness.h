#pragma once

#include "editor/AdvEdit.h"
#include "tests/gui/support/TempFolder.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QTableView>
#include <QTest>
#include <QWidget>
#include <memory>

// A real editor on its own tab page, with tables written into a temporary program folder.
struct EditorHarness {
    TempFolder folder;
    std::unique_ptr<QWidget> page;
    TAdvEdit *editor = nullptr;

    EditorHarness(const QByteArray &intellisense, const QByteArray &highlighting) {
        folder.write(QStringLiteral("intellisense.ini"), intellisense);
        folder.write(QStringLiteral("highlighting.ini"), highlighting);
        page = std::make_unique<QWidget>();
        page->resize(900, 600);
        editor = new TAdvEdit(page.get());
        editor->ProgramFolder = folder.path();
        editor->InitEditor();
        auto *layout = new QHBoxLayout(page.get()); // as a tab page lays out its document
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(editor, 1);
        layout->addWidget(editor->ObjectList);
        page->show();
        editor->setFocus();
        (void)QTest::qWaitForWindowExposed(page.get()); // the tests check what they need shown
    }

    long send(unsigned int msg, unsigned long w = 0, long l = 0) const {
        return editor->SendScintilla(msg, w, l);
    }
    // The screen colour of the character at a position, as 0x00BBGGRR.
    long colorAt(long pos) const {
        const long style = send(QsciScintillaBase::SCI_GETSTYLEAT, pos);
        return send(QsciScintillaBase::SCI_STYLEGETFORE, style);
    }
    void setText(const QByteArray &text) const { editor->loadLines(QByteArrayList{text}); }
    void setCaret(long pos) const { send(QsciScintillaBase::SCI_GOTOPOS, pos); }
    long caret() const { return send(QsciScintillaBase::SCI_GETCURRENTPOS); }
    void type(const char *text) const { QTest::keyClicks(editor, QString::fromLatin1(text)); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
        QTest::keyClick(editor, key, modifiers);
    }
};

// One key event as the window system delivers it, without the modifier presses and releases
// that QTest adds around a key.
inline void sendKey(QWidget *to, QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers,
                    const QString &text = QString()) {
    QKeyEvent e(type, key, modifiers, text);
    QCoreApplication::sendEvent(to, &e);
}

// Shift pressed, a key pressed and released with it; Shift itself is still held.
inline void typeShifted(QWidget *to, Qt::Key key, const QString &text) {
    sendKey(to, QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
    sendKey(to, QEvent::KeyPress, key, Qt::ShiftModifier, text);
    sendKey(to, QEvent::KeyRelease, key, Qt::ShiftModifier, text);
}

// Lines of filler before and after the given ones, so that a jump has to scroll.
inline QByteArrayList amidFiller(const QByteArrayList &middle) {
    QByteArrayList lines;
    for (int i = 0; i < 200; ++i)
        lines.append("filler line " + QByteArray::number(i));
    lines += middle;
    for (int i = 0; i < 200; ++i)
        lines.append("more filler " + QByteArray::number(i));
    return lines;
}

constexpr long red = 0x0000FF;
constexpr long green = 0x008000;
constexpr long blue = 0xFF0000;
constexpr long black = 0x000000;
