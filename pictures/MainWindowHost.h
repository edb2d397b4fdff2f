#pragma once

#include "pictures/ScriptHost.h"

#include <QPointer>
#include <QSet>

class TAdvEdit;
class TFormMain;

namespace marlix {

// The script host of the main window: its tabs, editors and mod index.
class MainWindowHost : public ScriptHost {
    Q_OBJECT
public:
    explicit MainWindowHost(TFormMain *window);

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

    TFormMain *m_window;
    QSet<TAdvEdit *> m_followed;
};

} // namespace marlix
