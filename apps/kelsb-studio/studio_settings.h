// What the studio remembers between runs: the workspace's layout, where the editor stood, the
// last scene, the recent scenes, the language chosen for the editor and how groups are dragged.
// Kept in an INI file beside the editor's own profile, so that one folder holds everything of
// the user's. One studio at a time owns the file: a second one on the same folder reads it but
// stores nothing, or it would overwrite the first one's layout and scenes when it closes.
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
    // user's settings alone). Takes the folder's lock, unless another studio holds it.
    explicit StudioSettings(const QString& path);
    ~StudioSettings();
    StudioSettings(const StudioSettings&) = delete;
    StudioSettings& operator=(const StudioSettings&) = delete;

    bool IsKept() const { return m_settings != nullptr; }
    // Another live studio holds the lock of this folder: the settings are read, never written.
    bool IsShared() const { return m_shared; }
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

    // How the Items panel drags groups (a phase value of the drag data); nothing stored yet.
    std::optional<unsigned> DragPhases() const;
    void StoreDragPhases(unsigned phases);

    // Writes what changed to the file now.
    void Sync();

private:
    QVariant Value(const char* key) const;
    void Store(const char* key, const QVariant& value);

    std::unique_ptr<QSettings> m_settings;
    int m_lockFile = -1; // held open, and locked, while these settings live
    bool m_shared = false;
};

// Before the module is loaded: sets KELSB_LANG to the stored language, unless the environment
// sets it already or the locale is to decide. True when it set it.
bool ApplyStoredLanguage(const StudioSettings& settings);

} // namespace kel::studio
