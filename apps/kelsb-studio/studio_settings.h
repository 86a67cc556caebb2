// What the studio remembers between runs: the workspace's layout, where the editor stood, the
// last scene, the recent scenes and the language chosen for the editor. Kept in an INI file
// beside the editor's own profile, so that one folder holds everything of the user's.
#pragma once

#include <QByteArray>
#include <QRect>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace kel::studio {

// The settings file: in KELSB_CONFIG_DIR when it is set, else in $XDG_CONFIG_HOME/kelsbedit,
// else in ~/.config/kelsbedit (where the editor keeps KelClient.ini).
QString StudioSettingsPath();

inline constexpr int kMaxRecentScenes = 8;
// `path` first, then the other entries in their order, each once, at most kMaxRecentScenes.
QStringList WithRecentScene(const QStringList& recent, const QString& path);
// The entries whose files still exist, in their order.
QStringList ExistingScenes(const QStringList& recent);

// The editor's language: its string table's language id, or the locale's.
enum class StudioLanguage {
    FromLocale = 0,
    English = 1033,
    SimplifiedChinese = 2052,
    TraditionalChinese = 1028
};

class StudioSettings {
public:
    // Keeps nothing with an empty path (a screenshot starts as on a first run and leaves the
    // user's settings alone).
    explicit StudioSettings(const QString& path);

    bool IsKept() const { return m_settings != nullptr; }
    // False when no layout was ever stored: the studio's first start.
    bool HasLayout() const;
    QByteArray Geometry() const;
    QByteArray DockState() const;
    // The editor dialog's window rectangle, in screen coordinates.
    std::optional<QRect> EditorRect() const;
    void StoreLayout(const QByteArray& geometry, const QByteArray& dockState,
                     const QRect& editorRect);

    // Empty for the sample scene.
    QString LastScene() const;
    void StoreLastScene(const QString& path);

    // The recent scenes, most recent first; scenes whose files went are dropped for good.
    QStringList RecentScenes();
    void AddRecentScene(const QString& path);

    StudioLanguage Language() const;
    void StoreLanguage(StudioLanguage language);

    // Whether an output device is configured, so that storyboards can be loaded onto it (the
    // editor's Upload button shows). The studio's simulated output counts: on unless turned off.
    bool HasOutputDevice() const;
    void StoreOutputDevice(bool configured);

    // Writes what changed to the file now.
    void Sync();

private:
    QVariant Value(const char* key) const;
    void Store(const char* key, const QVariant& value);

    std::unique_ptr<QSettings> m_settings;
};

// Before the module is loaded: sets KELSB_LANG to the stored language, unless the environment
// sets it already or the locale is to decide. True when it set it.
bool ApplyStoredLanguage(const StudioSettings& settings);

} // namespace kel::studio
