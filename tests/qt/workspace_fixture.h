// The studio's workspace on the Qt backend with the real module, its settings in a temporary
// config folder; and environment variables set for one scope.
#pragma once

#include "dialog/automation.h"
#include "qt/qt_backend.h"
#include "studio_settings.h"
#include "studio_window.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/undo/ur_manager.h"
#include "res/resource.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

namespace kel::test {

// Sets (or, with nullopt, removes) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<QByteArray> value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        value ? qputenv(name, *value) : qunsetenv(name);
    }
    ~ScopedEnv() { m_had ? qputenv(m_name, m_old) : qunsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

// The studio on the Qt backend with the real module, its settings in a temporary config
// folder.
class WorkspaceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        previous = kel::platform::SetBackend(std::make_unique<kel::qt::QtBackend>());
        backend = kel::qt::Installed();
    }
    void TearDown() override {
        window.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        kel::platform::SetBackend(std::move(previous));
    }
    void Start(const std::string& scene = "") {
        window = std::make_unique<kel::studio::StudioWindow>(kel::studio::StudioSettingsPath());
        kel::studio::StartOptions options;
        options.scene = scene;
        options.desktop = desktop;
        options.interactive = false;
        std::string error;
        ASSERT_TRUE(window->Start(options, &error)) << error;
        QApplication::processEvents();
    }
    // Closes as the user does (nothing changed: no question) and stores the workspace.
    void Restart(const std::string& scene = "") {
        window->SaveWorkspace();
        window.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Start(scene);
    }
    CWnd* Dialog() { return window->Host().Dialog(); }
    CKelURBase* History() {
        return window->Host().Scene()->GetSBEditObj()->GetCurSBBodyObj()->GetURBase();
    }
    // The editor's state as the automation message reports it now.
    kel::automation::EditorState EditorNow() {
        kel::automation::EditorState now;
        Dialog()->SendMessage(RegisterWindowMessage(kel::automation::kAutomationMessageName), 0,
                              reinterpret_cast<LPARAM>(&now));
        return now;
    }
    void AppendTrack() {
        CWnd* view = EditorNow().view;
        ASSERT_TRUE(IsWindow(view));
        view->SendMessage(WM_COMMAND, MAKEWPARAM(ID_TRACK_APPEND, 0), 0);
    }

    QTemporaryDir config;
    ScopedEnv xdg{"XDG_CONFIG_HOME", config.path().toUtf8()};
    ScopedEnv own{"KELSB_CONFIG_DIR", std::nullopt};
    const QRect desktop{0, 0, 1280, 800};
    std::unique_ptr<kel::platform::Backend> previous;
    kel::qt::QtBackend* backend = nullptr;
    std::unique_ptr<kel::studio::StudioWindow> window;
};

} // namespace kel::test
