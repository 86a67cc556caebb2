#include "studio_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kel::studio {

namespace {

constexpr const char* kGeometryKey = "layout/geometry";
constexpr const char* kDockStateKey = "layout/docks";
constexpr const char* kEditorRectKey = "layout/editor";
constexpr const char* kLastSceneKey = "scenes/last";
constexpr const char* kRecentKey = "scenes/recent";
constexpr const char* kLanguageKey = "editor/language";
constexpr const char* kDragPhasesKey = "items/dragPhases";

QString EnvironmentPath(const char* name) {
    const QByteArray value = qgetenv(name);
    return value.isEmpty() ? QString() : QString::fromLocal8Bit(value);
}

} // namespace

QString StudioSettingsPath() {
    QString folder = EnvironmentPath("KELSB_CONFIG_DIR");
    if (folder.isEmpty()) {
        if (const QString xdg = EnvironmentPath("XDG_CONFIG_HOME"); !xdg.isEmpty()) {
            folder = xdg + "/kelsbedit";
        } else if (const QString home = EnvironmentPath("HOME"); !home.isEmpty()) {
            folder = home + "/.config/kelsbedit";
        } else {
            folder = ".";
        }
    }
    return QDir(folder).filePath("studio.ini");
}

QStringList WithRecentScene(const QStringList& recent, const QString& path) {
    QStringList result{path};
    for (const QString& entry : recent) {
        if (result.size() >= kMaxRecentScenes) {
            break;
        }
        if (!entry.isEmpty() && entry != path) {
            result.push_back(entry);
        }
    }
    return result;
}

QStringList ExistingScenes(const QStringList& recent) {
    QStringList result;
    for (const QString& entry : recent) {
        if (QFileInfo(entry).isFile()) {
            result.push_back(entry);
        }
    }
    return result;
}

StudioSettings::StudioSettings(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    // A lock the system drops with the process: a studio that crashed leaves no stale lock.
    // Where no lock file can be made (a folder without write access) nothing can be stored
    // anyway, and the studio goes on as before.
    const QFileInfo file(path);
    QDir().mkpath(file.absolutePath());
    // Not "studio.ini.lock": QSettings takes that name for its own lock while it writes.
    const QByteArray lockPath =
        QFile::encodeName(QDir(file.absolutePath()).filePath("studio-instance.lock"));
    m_lockFile = ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_lockFile >= 0 && ::flock(m_lockFile, LOCK_EX | LOCK_NB) != 0) {
        m_shared = true;
        ::close(m_lockFile);
        m_lockFile = -1;
    }
}

StudioSettings::~StudioSettings() {
    // What a shared studio set in passing must not reach the file when QSettings goes.
    if (m_shared) {
        m_settings.reset();
    }
    if (m_lockFile >= 0) {
        ::close(m_lockFile); // drops the lock
    }
}

QVariant StudioSettings::Value(const char* key) const {
    return m_settings ? m_settings->value(key) : QVariant();
}

void StudioSettings::Store(const char* key, const QVariant& value) {
    if (m_settings && !m_shared) {
        m_settings->setValue(key, value);
    }
}

bool StudioSettings::HasOutputDevice() const {
    const QVariant value = Value("output/device");
    return !value.isValid() || value.toBool();
}

void StudioSettings::StoreOutputDevice(bool configured) {
    Store("output/device", configured);
}

bool StudioSettings::HasLayout() const {
    return m_settings && m_settings->contains(kGeometryKey);
}

QByteArray StudioSettings::Geometry() const {
    return Value(kGeometryKey).toByteArray();
}

QByteArray StudioSettings::DockState() const {
    return Value(kDockStateKey).toByteArray();
}

std::optional<QRect> StudioSettings::EditorRect() const {
    const QRect rect = Value(kEditorRectKey).toRect();
    if (!rect.isValid()) {
        return std::nullopt;
    }
    return rect;
}

void StudioSettings::StoreLayout(const QByteArray& geometry, const QByteArray& dockState,
                                 const QRect& editorRect) {
    Store(kGeometryKey, geometry);
    Store(kDockStateKey, dockState);
    if (editorRect.isValid()) {
        Store(kEditorRectKey, editorRect);
    }
}

QString StudioSettings::LastScene() const {
    return Value(kLastSceneKey).toString();
}

void StudioSettings::StoreLastScene(const QString& path) {
    Store(kLastSceneKey, path);
}

QStringList StudioSettings::RecentScenes() {
    const QStringList stored = Value(kRecentKey).toStringList();
    const QStringList existing = ExistingScenes(stored);
    if (existing != stored) {
        Store(kRecentKey, existing);
    }
    return existing;
}

void StudioSettings::AddRecentScene(const QString& path) {
    if (!path.isEmpty()) {
        Store(kRecentKey, WithRecentScene(Value(kRecentKey).toStringList(), path));
    }
}

StudioLanguage StudioSettings::Language() const {
    switch (Value(kLanguageKey).toInt()) {
    case int(StudioLanguage::English):
        return StudioLanguage::English;
    case int(StudioLanguage::SimplifiedChinese):
        return StudioLanguage::SimplifiedChinese;
    case int(StudioLanguage::TraditionalChinese):
        return StudioLanguage::TraditionalChinese;
    default: // nothing stored, or a value no table has
        return StudioLanguage::FromLocale;
    }
}

void StudioSettings::StoreLanguage(StudioLanguage language) {
    if (language == StudioLanguage::FromLocale) {
        if (m_settings && !m_shared) {
            m_settings->remove(kLanguageKey);
        }
        return;
    }
    Store(kLanguageKey, int(language));
}

std::optional<unsigned> StudioSettings::DragPhases() const {
    bool ok = false;
    const unsigned phases = Value(kDragPhasesKey).toUInt(&ok);
    return ok ? std::optional<unsigned>(phases) : std::nullopt;
}

void StudioSettings::StoreDragPhases(unsigned phases) {
    Store(kDragPhasesKey, phases);
}

void StudioSettings::Sync() {
    if (m_settings && !m_shared) {
        m_settings->sync();
    }
}

bool ApplyStoredLanguage(const StudioSettings& settings) {
    const StudioLanguage language = settings.Language();
    if (language == StudioLanguage::FromLocale || !qgetenv("KELSB_LANG").isEmpty()) {
        return false;
    }
    return qputenv("KELSB_LANG", QByteArray::number(int(language)));
}

} // namespace kel::studio
