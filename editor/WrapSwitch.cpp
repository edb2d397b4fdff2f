#include "editor/WrapSwitch.h"

#include <Qsci/qsciscintilla.h>

#include <QEvent>

#include <limits>

namespace marlix {

namespace {
// Control bytes are drawn as mnemonics of up to three letters in a blob with some padding.
constexpr int blobLetters = 3;
constexpr int blobPadding = 8;
// How long after the editor is first shown a wider text area is taken at once.
constexpr qint64 settleAfterShowMs = 1500;
} // namespace

WrapSwitch::WrapSwitch(QsciScintilla *editor) : QObject(editor), m_editor(editor) {
    editor->installEventFilter(this);
    // Told before each change (the control does not hand over the text then): the range the
    // new text will fill is measured once the change is done.
    connect(editor, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char *, int length, int, int, int, int, int, int) {
                if (m_resetting)
                    return;
                if (type & QsciScintillaBase::SC_MOD_BEFOREINSERT)
                    textInserting(position, length);
                else if (type & QsciScintillaBase::SC_MOD_BEFOREDELETE)
                    textInserting(position, 0); // the line that joins what is left around it
            });
    m_settle.setSingleShot(true);
    m_settle.setInterval(300);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        m_fit = m_widerFit;
        emit lineFitChanged();
    });
    apply(WrapChoice::Word);
}

void WrapSwitch::beginReset() {
    m_resetting = true;
    apply(WrapChoice::None);
}

void WrapSwitch::reset(const char *data, qsizetype size) {
    m_resetting = false;
    m_typedSinceReset = false;
    m_changedTo = -1;
    m_lines = measureLines(data, size);
    m_silentFit = true;
    update();
    m_silentFit = false;
}

void WrapSwitch::textInserting(qsizetype position, qsizetype length) {
    // One range holds every change since the last measurement. Text put in before its end
    // pushes the end on; text taken out before its start may pull the start back.
    if (m_changedTo < 0) {
        m_changedFrom = position;
        m_changedTo = position + length;
        QMetaObject::invokeMethod(this, &WrapSwitch::measureChanged, Qt::QueuedConnection);
        return;
    }
    m_changedFrom = std::min(m_changedFrom, position);
    m_changedTo = std::max(m_changedTo, position) + length;
}

void WrapSwitch::measureChanged() {
    const qsizetype length = m_editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const qsizetype start = std::min(m_changedFrom, length);
    const qsizetype end = std::min(m_changedTo, length);
    m_changedTo = -1;
    if (m_resetting)
        return;
    emit textChanged(start, end);
    // Lines only grow longer until the next reset, so nothing typed can end the exception.
    if (m_choice == WrapChoice::ScrollUnwrapped)
        return;
    const long first = m_editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                               static_cast<unsigned long>(start));
    const long last = m_editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                              static_cast<unsigned long>(end));
    const long from = m_editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                              static_cast<unsigned long>(first));
    const long to = m_editor->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION,
                                            static_cast<unsigned long>(last));
    const auto *bytes = reinterpret_cast<const char *>(m_editor->SendScintilla(
        QsciScintillaBase::SCI_GETRANGEPOINTER, static_cast<unsigned long>(from), to - from));
    const LineSpan before = m_lines;
    m_lines.include(measureLines(bytes, to - from));
    if (m_lines.longest != before.longest || m_lines.mostTabs != before.mostTabs ||
        m_lines.wideBytes != before.wideBytes)
        update();
}

bool WrapSwitch::eventFilter(QObject *watched, QEvent *e) {
    if (watched == m_editor && e->type() == QEvent::Show && !m_sinceShown.isValid())
        m_sinceShown.start();
    if (watched == m_editor && (e->type() == QEvent::Resize || e->type() == QEvent::FontChange))
        schedule(); // after the editor has applied the new size or font
    if (watched == m_editor && e->type() == QEvent::KeyPress && !m_typedSinceReset) {
        m_typedSinceReset = true;
        applyLayoutCache();
    }
    return QObject::eventFilter(watched, e);
}

void WrapSwitch::schedule() {
    if (m_pending)
        return;
    m_pending = true;
    // Not from inside the control's change notification, where the layout must not change.
    QMetaObject::invokeMethod(this, &WrapSwitch::update, Qt::QueuedConnection);
}

void WrapSwitch::update() {
    m_pending = false;
    const int space = int(
        m_editor->SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH,
                                static_cast<unsigned long>(QsciScintillaBase::STYLE_DEFAULT), " "));
    const int tabSpan = int(m_editor->SendScintilla(QsciScintillaBase::SCI_GETTABWIDTH)) * space;
    const int widest = widestCharacter();
    const WrapChoice choice = chooseWrap(m_lines, widest, tabSpan, textAreaWidth());
    // Without wrapping no line is ever broken, so every line counts as fitting.
    int area = choice == WrapChoice::Word ? textAreaWidth() : std::numeric_limits<int>::max();
    if (m_editor->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) < splitTwinDocumentBytes)
        area = 0;
    // The twins first: wrapping lays out every line, and each line restyled after it is laid
    // out again.
    takeFit({widest, tabSpan, blobLetters * widest + blobPadding, area});
    apply(choice);
}

void WrapSwitch::takeFit(const LineFit &fit) {
    if (m_silentFit || m_fit.areaWidth == 0) {
        m_settle.stop();
        m_fit = fit;
        return;
    }
    if (fit == m_fit) {
        m_settle.stop();
        return;
    }
    // The window manager maximizes a window just after it is shown: nobody is dragging its
    // edge yet, and waiting would let the control wrap every line twice.
    if (fit.holdsAll(m_fit) &&
        (!m_sinceShown.isValid() || m_sinceShown.elapsed() < settleAfterShowMs)) {
        m_settle.stop();
        m_fit = fit;
        emit lineFitChanged();
        return;
    }
    if (fit.holdsAll(m_fit)) {
        // Lines that fit still do: more may fit once the user stops resizing.
        m_widerFit = fit;
        m_settle.start();
        return;
    }
    m_settle.stop();
    m_fit = fit;
    emit lineFitChanged();
}

void WrapSwitch::apply(WrapChoice choice) {
    m_choice = choice;
    const long mode = choice == WrapChoice::Word ? QsciScintillaBase::SC_WRAP_WORD
                                                 : QsciScintillaBase::SC_WRAP_NONE;
    if (m_editor->SendScintilla(QsciScintillaBase::SCI_GETWRAPMODE) != mode)
        m_editor->SendScintilla(QsciScintillaBase::SCI_SETWRAPMODE,
                                static_cast<unsigned long>(mode));
    applyLayoutCache();
    const bool scroll = choice == WrapChoice::ScrollUnwrapped;
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, scroll ? 1UL : 0UL);
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETHSCROLLBAR, scroll ? 1UL : 0UL);
    m_editor->setHorizontalScrollBarPolicy(scroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void WrapSwitch::applyLayoutCache() {
    // Layouts of the lines in view only: keeping one for every line of a large script costs
    // tens of megabytes. Until the first key after a new text, and while no line is long,
    // only the caret's line is kept: the control then lays out every line of a script it
    // wraps in the background without making and dropping a layout for each (a tenth of the
    // processor time from start to rest on a 9 MB script), and laying a few short lines out
    // again when they are painted costs little. Keys want the page's layouts kept.
    const bool page = m_typedSinceReset || m_lines.longest >= twinLineBytes;
    m_editor->SendScintilla(QsciScintillaBase::SCI_SETLAYOUTCACHE,
                            static_cast<unsigned long>(page ? QsciScintillaBase::SC_CACHE_PAGE
                                                            : QsciScintillaBase::SC_CACHE_CARET));
}

int WrapSwitch::widestCharacter() const {
    auto width = [&](const char *text) {
        return int(m_editor->SendScintilla(
            QsciScintillaBase::SCI_TEXTWIDTH,
            static_cast<unsigned long>(QsciScintillaBase::STYLE_DEFAULT), text));
    };
    int widest = 0;
    for (int c = 0x20; c <= 0xFF; ++c) {
        if (c >= 0x7F && c < 0xA0)
            continue;
        const char text[2] = {char(c), 0};
        widest = std::max(widest, width(text));
    }
    if (m_lines.wideBytes)
        widest = std::max(widest, blobLetters * widest + blobPadding);
    return widest;
}

int WrapSwitch::textAreaWidth() const {
    int margins = int(m_editor->SendScintilla(QsciScintillaBase::SCI_GETMARGINLEFT) +
                      m_editor->SendScintilla(QsciScintillaBase::SCI_GETMARGINRIGHT));
    for (unsigned long margin = 0; margin < 5; ++margin)
        margins += int(m_editor->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, margin));
    return m_editor->viewport()->width() - margins;
}

} // namespace marlix
