#include "core/launch/CompileRules.h"

#include "core/common/Error.h"
#include "core/common/LineFile.h"

#include <QDir>

#include <algorithm>

namespace marlix {

const QList<Category> &launchCategories() {
    static const QList<Category> categories = {
        {"AI", "ai"},           {"AiMeshes", "aimeshes"}, {"Animations", "animations"},
        {"Font", "font"},       {"Menu", "menu"},         {"Objects", "objects"},
        {"Shaders", "shaders"}, {"Sound", "sound"},       {"Standardmesh", "standardmesh"},
        {"Texture", "texture"}, {"TreeMesh", "treemesh"},
    };
    return categories;
}

QStringList settingsLines(const QString &packer, const QString &mod, const QString &game,
                          const QString &parameters) {
    return {packer, mod, game, parameters};
}

QString settingsPath(const QString &programFolder) {
    return programFolder + QStringLiteral("compilepref.ini");
}

void readSettings(const QString &path, const std::function<void(int, const QString &)> &take) {
    const QStringList lines = readPathLines(path, {4, MaxSettingLineBytes});
    for (int i = 0; i < 4; ++i) {
        if (i >= lines.size())
            throw Error::listIndex(i);
        take(i, lines[i]);
    }
}

void writeSettings(const QString &path, const QString &packer, const QString &mod,
                   const QString &game, const QString &parameters) {
    writePathLines(path, settingsLines(packer, mod, game, parameters));
}

QString folderPart(const QString &name) {
    const qsizetype cut =
        std::max({name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')),
                  name.lastIndexOf(QLatin1Char(':'))});
    return name.left(cut + 1);
}

QString bundledPacker(const QString &programFolder) {
    return programFolder + QStringLiteral("marlix-rfapack");
}

QString batchLine(const QString &packer, const QString &programFolder) {
    return packer + QStringLiteral(" < ") + programFolder + QStringLiteral("compile.ini");
}

QString modFolder(const QString &mod) {
    if (mod.isEmpty() || mod.endsWith(QLatin1Char('/')) || mod.endsWith(QDir::separator()))
        return mod;
    return mod + QDir::separator();
}

QString sourceFolder(const QString &mod, const QString &category) {
    return modFolder(mod) + category;
}

QStringList answerLines(const QString &mod, const QString &category) {
    const QString archives = QStringLiteral("archives") + QDir::separator();
    return {
        sourceFolder(mod, category), category,
        QStringLiteral("N"),         modFolder(mod) + archives + category + QStringLiteral(".rfa"),
        QStringLiteral("N"),         QStringLiteral("exit")};
}

QStringList packPlan(const QList<bool> &ticked) {
    QStringList plan;
    const auto &categories = launchCategories();
    for (int i = 0; i < categories.size() && i < ticked.size(); ++i)
        if (ticked[i])
            plan << QString::fromLatin1(categories[i].name);
    return plan;
}

} // namespace marlix
