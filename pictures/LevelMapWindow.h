#pragma once

#include "core/level/LevelFiles.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QComboBox;
class QFileSystemWatcher;
class QLabel;
class QTimer;

namespace marlix {

class LevelMapView;
class ScriptHost;

// Tools > Level Map: a level of the index folders and one of its game modes, drawn by
// LevelMapView, kept current while its scripts are edited and saved.
class LevelMapWindow : public QMainWindow {
    Q_OBJECT
public:
    LevelMapWindow(ScriptHost *host, QWidget *parent = nullptr);

    LevelMapView *view() const { return m_view; }
    QComboBox *levelBox() const { return m_levels; }
    QComboBox *modeBox() const { return m_modes; }

    // Finds the levels again; the level of the script in view is chosen when it is one.
    void refreshLevels();
    // Reads the chosen level and mode again.
    void reload(bool fit = false);
    // Writes what is shown: SVG for a name ending in .svg, else PNG. False on failure.
    bool savePicture(const QString &path);

private:
    void levelChosen();
    void chooseLevelOf(const QString &script);
    void objectActivated(int object);
    void objectMoved(int object, double x, double z);
    void scriptChanged(const QString &path);
    void savePictureClick();
    void addLayer(const QString &caption, int layer, const char *name);

    ScriptHost *m_host;
    LevelMapView *m_view;
    QComboBox *m_levels, *m_modes;
    QLabel *m_status;
    QList<LevelLocation> m_found;
    QFileSystemWatcher *m_watcher;
    QTimer *m_reread;
    QTimer *m_follow;
    QString m_terrainPath;
    QImage m_terrain;
    qint64 m_terrainStamp = -1;
};

} // namespace marlix
