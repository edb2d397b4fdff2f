#pragma once

#include "pictures/ScriptHost.h"

#include <QPointer>
#include <QSet>

class TAdvEdit;

namespace marlix {

class DocumentHost;
class IndexTools;

// The script host of the main window: its tabs and editors, and the mod index of its tools
// (which may be null).
class MainWindowHost : public ScriptHost {
    Q_OBJECT
public:
    MainWindowHost(DocumentHost &host, IndexTools *tools, QObject *parent);

    QStringList folders() const override;
    const ModIndex *index() const override;
    bool openText(const QString &path, QByteArray &bytes) const override;
    QString activeScript() const override;
    QByteArray activeText(qsizetype *caret) const override;
    bool openScriptAt(const QString &path, int line) override;
    bool editScript(const QString &path, int line,
                    const std::function<ByteEdit(const QByteArray &)> &edit) override;

    void followEditors() override;

private:
    TAdvEdit *editorOf(const QString &path) const;
    QString pathOf(const TAdvEdit *editor) const;
    void follow(TAdvEdit *editor);

    DocumentHost &m_host;
    IndexTools *m_tools;
    QSet<TAdvEdit *> m_followed;
};

} // namespace marlix
