#pragma once

#include "core/workspace/CommandHelp.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <memory>

class QLabel;
class TAdvEdit;

namespace marlix {

// commandhelp.txt beside the executable, read again when it changed (looked at no more than
// every two seconds), so lines a user adds count without a restart.
class CommandHelpFile {
public:
    explicit CommandHelpFile(QString path) : m_path(std::move(path)) {}
    const CommandHelp &table();

private:
    QString m_path;
    CommandHelp m_table;
    QDateTime m_modified;
    qint64 m_size = -1;
    qint64 m_lookedAt = 0;
    bool m_read = false;
};

// The arguments of a command, shown above the line after the command and its blank have been
// typed, with the argument at the caret in bold; it goes when the caret leaves the arguments,
// on Esc or when the editor loses the focus. Resting the mouse on a command shows the same as
// a tip.
class CommandHint : public QObject {
    Q_OBJECT
public:
    CommandHint(TAdvEdit *editor, std::shared_ptr<CommandHelpFile> help);

    QLabel *label() const { return m_label; }
    // The tip for the command at a byte position of the text; empty when none is there.
    QString tipAt(qsizetype position) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The line of the position (its first bytes) and the position's column in it; false when
    // the column lies too far into a long line or the line belongs to a beginRem block.
    bool lineAt(qsizetype position, QByteArray &line, int &column, qsizetype &lineStart) const;
    void charAdded(int character);
    void refresh(bool mayOpen);
    void hide();

    TAdvEdit *m_editor;
    std::shared_ptr<CommandHelpFile> m_help;
    QLabel *m_label;
    int m_line = -1; // the line the hint is for
};

} // namespace marlix
