#pragma once

#include "core/level/PositionEdit.h"

#include <QObject>
#include <QStringList>
#include <functional>

namespace marlix {

class ModIndex;

// What the map of a level and the template tree need of the editor around them: the folders
// and index of the mod, the text of open scripts, and opening and editing a script.
class ScriptHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The index folders: the mod, then perhaps the base game.
    virtual QStringList folders() const = 0;
    // Null when there is no index.
    virtual const ModIndex *index() const = 0;
    // The text of a script open in an editor, unsaved changes included.
    virtual bool openText(const QString &path, QByteArray &bytes) const = 0;
    // The script in view, and the line (counting from 1) and byte position of its caret.
    virtual QString activeScript() const = 0;
    virtual QByteArray activeText(qsizetype *caret) const = 0;
    // Opens the script with the line selected and in view.
    virtual bool openScriptAt(const QString &path, int line) = 0;
    // Opens the script if it is not open and makes the edit its text asks for one undo step
    // of it. False when the script cannot be opened or there is nothing to change.
    virtual bool editScript(const QString &path, int line,
                            const std::function<ByteEdit(const QByteArray &)> &edit) = 0;
    // Starts following the editors open now (for scriptChanged and lineSelected).
    virtual void followEditors() {}

signals:
    // The text of an open script changed, or an editor began to be followed (it may have
    // changed before). Saves are not told: a listener watches the files it read.
    void scriptChanged(const QString &path);
    // The caret of an open script moved to another line (counting from 1).
    void lineSelected(const QString &path, int line);
    // The mod index was built anew.
    void indexChanged();
};

} // namespace marlix
