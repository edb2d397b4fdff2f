#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace marlix {

// One content category of a mod: the caption of its check box and the lower-case name of its
// folder and archive.
struct Category {
    const char *caption;
    const char *name;
};

// The eleven categories in the order they are packed.
const QList<Category> &launchCategories();

// The four lines of compilepref.ini: packer path, mod path, game path, launch parameters.
QStringList settingsLines(const QString &packer, const QString &mod, const QString &game,
                          const QString &parameters);

// Where the dialog keeps its settings: compilepref.ini in the program folder.
QString settingsPath(const QString &programFolder);

// Hands the four settings lines to take in order. A file that ends early throws
// Error::listIndex with the first missing line's index, after the lines before it have been
// taken; a missing or unreadable file throws Error::cannotOpen.
void readSettings(const QString &path, const std::function<void(int, const QString &)> &take);

// Writes the four settings lines whole; throws Error::cannotCreate, the old file stays.
void writeSettings(const QString &path, const QString &packer, const QString &mod,
                   const QString &game, const QString &parameters);

// The folder part of a chosen name, its separator (or drive colon) included.
QString folderPart(const QString &name);

// The packer built with the editor, in its program folder.
QString bundledPacker(const QString &programFolder);

// The one line of compile.bat: the packer with its standard input taken from compile.ini.
QString batchLine(const QString &packer, const QString &programFolder);

// The mod path as a folder: with its separator, whether or not it was typed with one. An
// empty path stays empty.
QString modFolder(const QString &mod);

// The category's source folder inside the mod folder.
QString sourceFolder(const QString &mod, const QString &category);

// The six answers the packer reads from its standard input.
QStringList answerLines(const QString &mod, const QString &category);

// Which categories a run packs, given the ticked state of each box in category order.
QStringList packPlan(const QList<bool> &ticked);

} // namespace marlix
