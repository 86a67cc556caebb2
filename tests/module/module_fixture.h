// A host for the editor module in one process: the windows a host creates around the editor
// (main window, parent frame, item-edit window, history panel, navigator) on the headless
// backend, and a private configuration folder for KelClient.ini.
#pragma once

#include "host/scene/play_scene.h"
#include "host/services/tool_box.h"
#include "platform/headless_backend.h"
#include "platform/wnd.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kel::test {

struct ReceivedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// A host window that records the registered messages it receives and answers one of them.
class HostWnd : public CWnd {
public:
    BOOL CreateHost(const char* title, const CRect& rect, CWnd* owner = nullptr) {
        return CreateEx(0, nullptr, title, WS_POPUP | WS_CAPTION | WS_VISIBLE, rect, owner, 0);
    }
    std::vector<ReceivedMessage> received;
    UINT answerMessage = 0;
    LRESULT answer = 0;

    std::vector<ReceivedMessage> Named(UINT message) const {
        std::vector<ReceivedMessage> found;
        for (const ReceivedMessage& m : received)
            if (m.message == message)
                found.push_back(m);
        return found;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message >= 0xC000) {
            received.push_back({message, wParam, lParam});
            return message == answerMessage ? answer : 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class ModuleHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless = &kel::platform::ResetHeadless();
        configDir = std::filesystem::temp_directory_path() /
                    ("kelsb_module_test_" + std::to_string(::getpid()));
        std::filesystem::remove_all(configDir);
        ::setenv("KELSB_CONFIG_DIR", configDir.c_str(), 1);
        mainWnd.CreateHost("Main", CRect(0, 0, 1600, 1000));
        kel::platform::SetMainWindow(&mainWnd);
        parent.CreateHost("Parent", CRect(10, 10, 1500, 900), &mainWnd);
        itemEdit.CreateHost("Item Edit", CRect(20, 20, 200, 200), &mainWnd);
        history.CreateHost("History Panel", CRect(1200, 20, 1400, 400), &mainWnd);
        navigator.CreateHost("Storyboard Navigator", CRect(1200, 420, 1400, 800), &mainWnd);
        KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, &history);
        KelToolRegisterToolBox(KEL_TOOLBOX_SB_NAVIGATOR, &navigator);
    }

    void TearDown() override {
        KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, nullptr);
        KelToolRegisterToolBox(KEL_TOOLBOX_SB_NAVIGATOR, nullptr);
        kel::platform::SetMainWindow(nullptr);
        std::filesystem::remove_all(configDir);
    }

    void ClearReceived() {
        for (HostWnd* wnd : {&mainWnd, &parent, &itemEdit, &history, &navigator})
            wnd->received.clear();
    }

    kel::platform::HeadlessBackend* headless = nullptr;
    std::filesystem::path configDir;
    HostWnd mainWnd, parent, itemEdit, history, navigator;
};

} // namespace kel::test
