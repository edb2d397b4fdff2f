#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// What a template is made of: the children its scripts add with ObjectTemplate.addTemplate,
// found across the mod's scripts through the mod index, and the other way round, what adds or
// places it. Scripts are read once per tree and kept while the tree lives; the text of a script
// open in an editor stands for its file when a source of open texts is given.
namespace marlix {

class ModIndex;

struct TemplatePart {
    enum State { Defined, Undefined, Cycle };
    QByteArray name; // as the parent writes it
    State state = Defined;
    QByteArray type;     // of its definition
    QByteArray geometry; // ObjectTemplate.geometry of its definition
    QByteArray position; // the setPosition that follows the child in its parent, as written
    QByteArray rotation;
    QString file; // of the definition (the parent's script for an undefined child)
    int line = 0;
    QString addedIn; // the parent's addTemplate line
    int addedLine = 0;
};

struct TemplateUse {
    QString file;
    int line = 0;
    QByteArray command; // as written: ObjectTemplate.addTemplate, Object.create...
    QByteArray owner;   // the template whose lines hold it; empty outside a template
};

class TemplateTree {
public:
    explicit TemplateTree(const ModIndex &index);

    // Where the text of an open script comes from, unsaved changes included: true and the
    // bytes for a script open in an editor. The index still says which scripts define and use
    // a name, as they were last saved.
    using OpenText = std::function<bool(const QString &path, QByteArray &bytes)>;
    void setOpenText(OpenText openText) { m_openText = std::move(openText); }
    // The scripts read so far, for following their changes.
    QStringList scriptsRead() const;

    // The template itself as a part of no parent; Undefined when no script defines it.
    TemplatePart root(const QByteArray &name);
    // The children of a template, in the order they are added. `ancestors` are the names
    // from the root down to and including `name`: a child among them is a Cycle and is not
    // followed.
    QList<TemplatePart> children(const QByteArray &name, const QList<QByteArray> &ancestors);
    // The templates that add it and the scripts that place or spawn it, by file and line.
    QList<TemplateUse> usedBy(const QByteArray &name);

    // The whole tree, two blanks of indent a level, one part a line:
    // "name  type  geometry  position  rotation" with the marks "(undefined)" and "(cycle)".
    QString text(const QByteArray &name);
    // How many parts the whole tree holds, the root included.
    int countParts(const QByteArray &name);

    // Forgets what was read, after scripts changed.
    void clear();

private:
    struct Child {
        QByteArray name;
        QByteArray position, rotation;
        QString file;
        int line = 0;
    };
    struct Block {
        QByteArray type, geometry;
        bool defined = false;
        QString file;
        int line = 0;
        QList<Child> children;
    };
    struct Script {
        QHash<QByteArray, Block> blocks;      // by folded name
        QList<QPair<int, QByteArray>> owners; // from this line on, this template's lines
    };
    // `saved`: as the index read it, so that the index's line numbers fit.
    const Script &script(const QString &file, bool saved = false);
    const Block &block(const QByteArray &name);
    TemplatePart partOf(const QByteArray &name);
    void walk(const QByteArray &name, QList<QByteArray> &ancestors, int depth, QString *text,
              int &count, const TemplatePart &part);

    const ModIndex &m_index;
    OpenText m_openText;
    QHash<QString, Script> m_scripts, m_savedScripts;
    QHash<QByteArray, Block> m_blocks; // merged over scripts, by folded name
};

} // namespace marlix
