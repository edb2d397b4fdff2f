#include "editor/CommandHint.h"

#include "core/script/Windows1252.h"
#include "editor/AdvEdit.h"
#include "editor/ScintillaText.h"

#include <QDateTime>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QToolTip>

namespace marlix {

namespace {

// Commands stand at the start of a line: a caret further in is in no command's arguments.
constexpr int ColumnLimit = 1000;
constexpr qint64 LookInterval = 2000;

QString plain(const QByteArray &bytes) {
    return windows1252Text(bytes);
}

QString escaped(const QByteArray &bytes) {
    return plain(bytes).toHtmlEscaped();
}

} // namespace

const CommandHelp &CommandHelpFile::table() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (m_read && now - m_lookedAt < LookInterval)
        return m_table;
    m_lookedAt = now;
    const QFileInfo info(m_path);
    if (!m_read || info.lastModified() != m_modified || info.size() != m_size) {
        m_table = CommandHelp::fromFile(m_path);
        m_modified = info.lastModified();
        m_size = info.size();
        m_read = true;
    }
    return m_table;
}

CommandHint::CommandHint(TAdvEdit *editor, std::shared_ptr<CommandHelpFile> help)
    : QObject(editor), m_editor(editor), m_help(std::move(help)) {
    m_label = new QLabel(editor->viewport());
    m_label->setObjectName(QStringLiteral("commandHint"));
    m_label->setTextFormat(Qt::RichText);
    m_label->setAutoFillBackground(true);
    m_label->setForegroundRole(QPalette::ToolTipText);
    m_label->setBackgroundRole(QPalette::ToolTipBase);
    m_label->setFrameShape(QFrame::Box);
    m_label->setMargin(3);
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_label->hide();
    connect(editor, &QsciScintillaBase::SCN_CHARADDED, this, &CommandHint::charAdded);
    connect(editor, &QsciScintillaBase::SCN_UPDATEUI, this, [this] {
        if (m_label->isVisible())
            refresh(false);
    });
    connect(editor, &QsciScintillaBase::SCN_DWELLSTART, this, [this](int position, int x, int y) {
        if (position < 0)
            return;
        const QString tip = tipAt(position);
        if (!tip.isEmpty())
            QToolTip::showText(m_editor->viewport()->mapToGlobal(QPoint(x, y + 12)), tip, m_editor);
    });
    editor->installEventFilter(this);
}

bool CommandHint::lineAt(qsizetype position, QByteArray &line, int &column,
                         qsizetype &lineStart) const {
    const long row = m_editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                             static_cast<unsigned long>(position));
    lineStart = m_editor->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE,
                                        static_cast<unsigned long>(row));
    const qsizetype lineEnd = m_editor->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION,
                                                      static_cast<unsigned long>(row));
    if (position - lineStart > ColumnLimit)
        return false;
    // A line of a beginRem block is a remark however it starts: no command stands there.
    if (ScintillaText(*m_editor).inRemark(lineStart))
        return false;
    column = int(position - lineStart);
    line = ScintillaText(*m_editor).bytes(lineStart, std::min(lineEnd, lineStart + ColumnLimit));
    return true;
}

QString CommandHint::tipAt(qsizetype position) const {
    QByteArray line;
    int column = 0;
    qsizetype lineStart = 0;
    CommandPlace place;
    if (!lineAt(position, line, column, lineStart) || !commandPlaceAt(line, column, place) ||
        column < place.commandStart || column >= place.commandEnd + 1)
        return {};
    const CommandHelpEntry *entry = m_help->table().find(place.command);
    if (!entry)
        return {};
    QString tip = plain(entry->command);
    for (const QByteArray &argument : entry->arguments)
        tip += QLatin1Char(' ') + plain(argument);
    if (!entry->explanation.isEmpty())
        tip += QLatin1Char('\n') + plain(entry->explanation);
    return tip;
}

void CommandHint::charAdded(int character) {
    refresh(character == ' ' || character == '\t');
}

void CommandHint::refresh(bool mayOpen) {
    const qsizetype caret = m_editor->SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    const int row = int(m_editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                                static_cast<unsigned long>(caret)));
    if (!mayOpen && row != m_line) {
        hide();
        return;
    }
    QByteArray line;
    int column = 0;
    qsizetype lineStart = 0;
    CommandPlace place;
    const CommandHelpEntry *entry = nullptr;
    if (lineAt(caret, line, column, lineStart) && commandPlaceAt(line, column, place) &&
        place.argument >= 0)
        entry = m_help->table().find(place.command);
    if (!entry || (!mayOpen && !m_label->isVisible())) {
        hide();
        return;
    }
    QString text = QStringLiteral("<b>%1</b>").arg(escaped(entry->command));
    for (int k = 0; k < entry->arguments.size(); ++k) {
        const QString name = escaped(entry->arguments[k]);
        text += QLatin1Char(' ') +
                (k == place.argument ? QStringLiteral("<u><b>%1</b></u>").arg(name) : name);
    }
    if (!entry->explanation.isEmpty())
        text += QStringLiteral("<br>") + escaped(entry->explanation);
    m_label->setText(text);
    m_label->adjustSize();
    m_label->setMaximumWidth(std::max(200, m_editor->viewport()->width() - 8));
    // Above the line, where the completion list below it does not cover it.
    const qsizetype start = lineStart + place.commandStart;
    const int x =
        int(m_editor->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, long(start)));
    const int y =
        int(m_editor->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, long(start)));
    const int lineHeight = int(m_editor->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT,
                                                       static_cast<unsigned long>(row)));
    int top = y - m_label->height() - 2;
    if (top < 0)
        top = y + lineHeight + 2;
    const int left =
        std::clamp(x, 0, std::max(0, m_editor->viewport()->width() - m_label->width()));
    m_label->move(left, top);
    m_label->show();
    m_label->raise();
    m_line = row;
}

void CommandHint::hide() {
    m_label->hide();
    m_line = -1;
}

bool CommandHint::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_editor && m_label->isVisible()) {
        if (event->type() == QEvent::FocusOut)
            hide();
        else if (event->type() == QEvent::KeyPress &&
                 static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            hide(); // and the key goes on, to a completion list or a bar
    }
    return QObject::eventFilter(watched, event);
}

} // namespace marlix
