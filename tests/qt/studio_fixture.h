// The studio on the Qt backend with the real module: the sample open in the editor, its dialog
// at a known place, and the editor's state as the automation message reports it.
#pragma once

#include "dialog/automation.h"
#include "qt/qt_backend.h"
#include "studio_host.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace kel::test {

class StudioFixture : public ::testing::Test {
protected:
    void SetUp() override {
        previous = kel::platform::SetBackend(std::make_unique<kel::qt::QtBackend>());
        backend = kel::qt::Installed();
        host = std::make_unique<kel::studio::StudioHost>([this] { ++changes; });
        host->UseSample();
        std::string error;
        ASSERT_TRUE(host->Start(&error)) << error;
        host->PlaceDialog(CRect(CPoint(40, 40), CSize(1000, 300)));
        QApplication::processEvents();
        state = Now();
        ASSERT_TRUE(state.hasView);
    }
    // The editor's state as the automation message reports it now.
    kel::automation::EditorState Now() {
        kel::automation::EditorState now;
        EXPECT_EQ(host->Dialog()->SendMessage(
                      RegisterWindowMessage(kel::automation::kAutomationMessageName), 0,
                      reinterpret_cast<LPARAM>(&now)),
                  1);
        return now;
    }
    void TearDown() override {
        host.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        kel::platform::SetBackend(std::move(previous));
    }

    std::unique_ptr<kel::platform::Backend> previous;
    kel::qt::QtBackend* backend = nullptr;
    std::unique_ptr<kel::studio::StudioHost> host;
    kel::automation::EditorState state;
    int changes = 0; // how often the host reported a change of scene, file or changed state
};

} // namespace kel::test
