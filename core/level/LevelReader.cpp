#include "core/level/LevelReader.h"

#include "core/level/Heightmap.h"
#include "core/level/ScriptLines.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <memory>
#include <vector>

namespace marlix {

namespace {

QString fold(const QString &path) {
    return path.toCaseFolded();
}

QString cleanRelative(QString path) {
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QStringList parts;
    for (const QString &part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return parts.join(QLatin1Char('/'));
}

QString folderPart(const QString &relative) {
    const qsizetype slash = relative.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : relative.left(slash + 1);
}

QString firstPart(const QString &relative) {
    return fold(relative.section(QLatin1Char('/'), 0, 0));
}

bool isScript(const QString &relative) {
    const QString folded = fold(relative);
    return folded.endsWith(QLatin1String(".con")) || folded.endsWith(QLatin1String(".inc"));
}

// The places of a level, lying over each other file by file.
class LevelView {
public:
    explicit LevelView(const LevelLocation &level) : m_name(level.name) {
        for (const LevelPlace &place : level.places)
            m_places.push_back(std::make_unique<LevelFiles>(place));
        for (size_t i = 0; i < m_places.size(); ++i)
            for (const QString &relative : m_places[i]->relativePaths())
                if (!m_owner.contains(fold(relative))) {
                    m_owner.insert(fold(relative), int(i));
                    m_paths.append(relative);
                }
        m_paths.sort(Qt::CaseInsensitive);
    }

    const QStringList &paths() const { return m_paths; }
    bool contains(const QString &relative) const { return m_owner.contains(fold(relative)); }
    const LevelFiles *owner(const QString &relative) const {
        const int i = m_owner.value(fold(relative), -1);
        return i < 0 ? nullptr : m_places[size_t(i)].get();
    }
    QString spelling(const QString &relative) const {
        for (const QString &path : m_paths)
            if (fold(path) == fold(relative))
                return path;
        return relative;
    }
    // A path written in a script: relative to the level's folder, or to the script's own
    // folder, or a path from the mod's root that runs through this level's folder.
    QString resolve(const QString &written, const QString &fromFolder, bool run) const {
        QString path = cleanRelative(written);
        if (run && QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".con");
        const QString own = cleanRelative(fromFolder + path);
        const QStringList tries = run ? QStringList{path, own} : QStringList{own, path};
        for (const QString &candidate : tries)
            if (contains(candidate))
                return candidate;
        const QString marker = QStringLiteral("levels/") + fold(m_name) + QLatin1Char('/');
        const qsizetype at = fold(path).indexOf(marker);
        if (at >= 0 && contains(path.mid(at + marker.size())))
            return path.mid(at + marker.size());
        return {};
    }

private:
    QString m_name;
    std::vector<std::unique_ptr<LevelFiles>> m_places;
    QHash<QString, int> m_owner;
    QStringList m_paths;
};

struct ScriptText {
    QString relative;
    QString full;
    bool inArchive = false;
    QByteArray bytes;
};

ScriptText loadScript(const LevelView &view, const QString &relative,
                      const LevelReadOptions &options) {
    const LevelFiles *files = view.owner(relative);
    ScriptText text;
    text.relative = view.spelling(relative);
    text.full = files->fullPath(relative);
    text.inArchive = files->place().archive;
    if (!options.openText || !options.openText(text.full, text.bytes))
        text.bytes = files->read(relative);
    return text;
}

// The scripts a game mode runs, in the order the game reads them.
void collectRuns(const LevelView &view, const QString &relative, const LevelReadOptions &options,
                 QSet<QString> &seen, QList<ScriptText> &out) {
    if (seen.contains(fold(relative)))
        return;
    seen.insert(fold(relative));
    out.append(loadScript(view, relative, options));
    const QByteArray bytes = out.last().bytes;
    QStringList next;
    forEachScriptLine(bytes, [&](const ScriptLine &line) {
        const bool run = line.is(0, "run");
        if ((run || line.is(0, "include")) && line.words.size() > 1) {
            const QString target =
                view.resolve(QString::fromLatin1(line.word(1)), folderPart(relative), run);
            if (!target.isEmpty() && isScript(target))
                next.append(target);
        }
    });
    for (const QString &target : std::as_const(next))
        collectRuns(view, target, options, seen, out);
}

QStringList modesOf(const LevelView &view) {
    QStringList modes;
    for (const QString &path : view.paths()) {
        const QStringList parts = path.split(QLatin1Char('/'));
        if (parts.size() == 2 && fold(parts[0]) == QLatin1String("gametypes") &&
            fold(parts[1]).endsWith(QLatin1String(".con")))
            modes.append(parts[1].chopped(4));
    }
    return modes;
}

struct TemplateFacts {
    QByteArray type;
    int team = -1;
    QByteArray controlPointName;
    int group = -1;
    QList<SpawnedTemplate> spawns;
};

bool isCreate(const ScriptLine &line) {
    return line.is(0, "objecttemplate.create") || line.is(0, "objecttemplate.createnotingrid") ||
           line.is(0, "objecttemplate.createinvisible");
}

void readTemplates(const QByteArray &bytes, QHash<QByteArray, TemplateFacts> &templates) {
    TemplateFacts *current = nullptr;
    forEachScriptLine(bytes, [&](const ScriptLine &line) {
        if (isCreate(line) && line.words.size() > 2) {
            current = &templates[line.word(2).toLower()];
            *current = TemplateFacts();
            current->type = line.word(1);
        } else if (line.is(0, "objecttemplate.activesafe") && line.words.size() > 2) {
            current = &templates[line.word(2).toLower()];
        } else if (line.is(0, "objecttemplate.active") && line.words.size() > 1) {
            const auto it = templates.find(line.word(1).toLower());
            current = it == templates.end() ? nullptr : &*it;
        } else if (!current) {
            return;
        } else if (line.is(0, "objecttemplate.team") && line.words.size() > 1) {
            current->team = int(scriptNumber(line.word(1)));
        } else if (line.is(0, "objecttemplate.setcontrolpointname") && line.words.size() > 1) {
            current->controlPointName = line.word(1);
        } else if (line.is(0, "objecttemplate.setgroup") && line.words.size() > 1) {
            current->group = int(scriptNumber(line.word(1)));
        } else if (line.is(0, "objecttemplate.setobjecttemplate") && line.words.size() > 2) {
            const int team = int(scriptNumber(line.word(1)));
            current->spawns.removeIf([team](const SpawnedTemplate &s) { return s.team == team; });
            current->spawns.append({team, line.word(2), VehicleKind::Other});
        }
    });
}

// "x/y/z" into three numbers; false unless all three read.
bool readTriple(const QByteArray &word, double &a, double &b, double &c) {
    const QList<QByteArray> parts = word.split('/');
    if (parts.size() != 3)
        return false;
    bool ok[3];
    a = scriptNumber(parts[0], &ok[0]);
    b = scriptNumber(parts[1], &ok[1]);
    c = scriptNumber(parts[2], &ok[2]);
    return ok[0] && ok[1] && ok[2];
}

ObjectKind kindOfType(const QByteArray &type) {
    const QByteArray folded = type.toLower();
    if (folded == "controlpoint")
        return ObjectKind::ControlPoint;
    if (folded == "spawnpoint")
        return ObjectKind::SoldierSpawn;
    if (folded == "objectspawner")
        return ObjectKind::ObjectSpawner;
    return ObjectKind::Static;
}

void readTerrain(const QByteArray &bytes, Level &level) {
    forEachScriptLine(bytes, [&](const ScriptLine &line) {
        if (line.words.size() < 2)
            return;
        if (line.is(0, "geometrytemplate.worldsize"))
            level.worldSize = scriptNumber(line.word(1));
        else if (line.is(0, "geometrytemplate.waterlevel")) {
            level.waterLevel = scriptNumber(line.word(1));
            level.hasWaterLevel = true;
        } else if (line.is(0, "geometrytemplate.yscale"))
            level.yScale = scriptNumber(line.word(1));
        else if (line.is(0, "geometrytemplate.file"))
            level.heightmapFile = line.word(1);
    });
}

void readObjects(const ScriptText &script, const QHash<QByteArray, TemplateFacts> &templates,
                 QList<PlacedObject> &objects) {
    PlacedObject *current = nullptr;
    forEachScriptLine(script.bytes, [&](const ScriptLine &line) {
        if (line.is(0, "object.create") && line.words.size() > 1) {
            PlacedObject object;
            object.templateName = line.word(1);
            object.script = script.full;
            object.line = line.number;
            object.inArchive = script.inArchive;
            const auto it = templates.find(object.templateName.toLower());
            if (it != templates.end()) {
                object.kind = kindOfType(it->type);
                object.team = it->team;
                object.controlPointName = it->controlPointName;
                object.group = it->group;
                object.spawns = it->spawns;
            }
            objects.append(object);
            current = &objects.last();
            return;
        }
        if (!current || line.words.size() < 2)
            return;
        if (line.is(0, "object.absoluteposition")) {
            current->hasPosition = readTriple(line.word(1), current->x, current->y, current->z);
        } else if (line.is(0, "object.rotation")) {
            readTriple(line.word(1), current->yaw, current->pitch, current->roll);
        } else if (line.is(0, "object.setteam")) {
            current->team = int(scriptNumber(line.word(1)));
        }
    });
}

// The heightmap named by GeometryTemplate.file, as a path inside the level.
QString findHeightmap(const LevelView &view, const Level &level) {
    QString written = cleanRelative(QString::fromLatin1(level.heightmapFile));
    if (written.isEmpty())
        written = QStringLiteral("Heightmap");
    if (QFileInfo(written).suffix().isEmpty())
        written += QStringLiteral(".raw");
    const QString inLevel = view.resolve(written, QString(), false);
    if (!inLevel.isEmpty())
        return inLevel;
    const QString name = written.section(QLatin1Char('/'), -1);
    return view.contains(name) ? name : QString();
}

} // namespace

QStringList levelModes(const LevelLocation &level) {
    QStringList modes = modesOf(LevelView(level));
    modes.sort(Qt::CaseInsensitive);
    return modes;
}

VehicleKind vehicleKindFromWords(const QList<QByteArray> &words) {
    static const char *const ships[] = {"ship", "boat",     "destroyer",    "carrier", "submarine",
                                        "lcvp", "floating", "landingcraft", "cruiser"};
    static const char *const planes[] = {"plane",   "aircraft", "airplane", "bomber",
                                         "fighter", "wing",     "heli",     "glider"};
    static const char *const tanks[] = {"tank", "panzer", "armor", "armour", "tracks", "apc"};
    auto any = [&words](const auto &list) {
        for (const QByteArray &word : words) {
            const QByteArray folded = word.toLower();
            for (const char *key : list)
                if (folded.contains(key))
                    return true;
        }
        return false;
    };
    if (any(ships))
        return VehicleKind::Ship;
    if (any(planes))
        return VehicleKind::Plane;
    if (any(tanks))
        return VehicleKind::Tank;
    return VehicleKind::Other;
}

Level readLevel(const LevelLocation &location, const QString &mode,
                const LevelReadOptions &options) {
    const LevelView view(location);
    Level level;
    level.name = location.name;
    level.modes = modesOf(view);
    level.modes.sort(Qt::CaseInsensitive);

    // The folders the game modes run their scripts from are no shared scripts.
    QSet<QString> modeFolders{QStringLiteral("gametypes")};
    QList<ScriptText> modeScripts;
    for (const QString &each : std::as_const(level.modes)) {
        QSet<QString> seen;
        QList<ScriptText> scripts;
        collectRuns(view, QStringLiteral("GameTypes/") + each + QStringLiteral(".con"), options,
                    seen, scripts);
        for (const ScriptText &script : std::as_const(scripts))
            if (script.relative.contains(QLatin1Char('/')))
                modeFolders.insert(firstPart(script.relative));
        if (fold(each) == fold(mode)) {
            level.mode = each;
            modeScripts = scripts;
        }
    }
    QList<ScriptText> scripts;
    for (const QString &path : view.paths())
        if (isScript(path) && !modeFolders.contains(firstPart(path)))
            scripts.append(loadScript(view, path, options));
    // A script of the level's own folder that a mode runs as well is read once.
    QSet<QString> shared;
    for (const ScriptText &script : std::as_const(scripts))
        shared.insert(fold(script.relative));
    for (const ScriptText &script : std::as_const(modeScripts))
        if (!shared.contains(fold(script.relative)))
            scripts.append(script);

    QHash<QByteArray, TemplateFacts> templates;
    for (const ScriptText &script : std::as_const(scripts)) {
        level.scripts.append(script.full);
        readTerrain(script.bytes, level);
        readTemplates(script.bytes, templates);
    }
    const auto kindOf = [&options](const QByteArray &name) {
        return options.vehicleKind ? options.vehicleKind(name) : vehicleKindFromWords({name});
    };
    for (TemplateFacts &facts : templates)
        for (SpawnedTemplate &spawn : facts.spawns)
            spawn.kind = kindOf(spawn.name);
    for (const ScriptText &script : std::as_const(scripts))
        readObjects(script, templates, level.objects);

    const QString heightmap = findHeightmap(view, level);
    if (!heightmap.isEmpty()) {
        const LevelFiles *files = view.owner(heightmap);
        level.heightmapPath = files->fullPath(heightmap);
        level.heightmapSide = heightmapSide(files->size(heightmap));
    }
    return level;
}

QByteArray readHeightmapBytes(const LevelLocation &location, const Level &read) {
    for (const LevelPlace &place : location.places) {
        const LevelFiles files(place);
        for (const QString &relative : files.relativePaths())
            if (files.fullPath(relative) == read.heightmapPath)
                return files.read(relative);
    }
    return {};
}

} // namespace marlix
