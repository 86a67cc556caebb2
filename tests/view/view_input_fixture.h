// The editor on the sample scene with the view at 1000 x 300 and 25 frames per unit, so that
// one frame is one pixel: frame f lies at client x 100 + f, and track i's row runs from
// y 49 + 30 i to 79 + 30 i. Mouse input goes through the platform's delivery, as a desktop's
// would (the cursor is set first, WM_SETCURSOR comes before every mouse message).
//
// ViewInputFixture<Base> puts this on any editor fixture (the undo tests' for round trips);
// ViewInputTest is it on the plain editor.
#pragma once

#include "dialog/automation.h"
#include "module/editor_fixture.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/services/video_std.h"

#include <vector>

namespace kel::test {

template <class Base>
class ViewInputFixture : public Base {
protected:
    using Base::headless;
    using Base::navigator;
    using Base::scene;
    using Base::view;

    static constexpr int kTrackTop = 49;
    static constexpr int kTrackHeight = 30;
    static constexpr int kFrameZeroX = 100;

    void SetUp() override {
        ASSERT_TRUE(CKelVideoStd::SetFrameRate(25.0));
        Base::SetUp();
        if (::testing::Test::HasFatalFailure())
            return;
        this->SizeView(1000, 300);
        body = scene->GetSBEditObj()->GetCurSBBodyObj();
        ASSERT_NE(body, nullptr);
        ASSERT_EQ(body->GetFramesPerUnit(), 25u);
        ASSERT_EQ(body->GetTrackHeight(), kTrackHeight);
        view->Scroll().UpdateHRange();
        view->Scroll().UpdateVRange();
        view->Scroll().UpdateZoomBarRange();
    }

    void TearDown() override {
        for (int key : {VK_SHIFT, VK_CONTROL, VK_LBUTTON})
            headless->SetKeyDown(key, false);
        Base::TearDown();
    }

    static int X(int frame) { return kFrameZeroX + frame; }
    // A point inside track i's row, clear of its bevels.
    static int RowY(int track) { return kTrackTop + kTrackHeight * track + 15; }

    CPoint Screen(CPoint client) const {
        view->ClientToScreen(&client);
        return client;
    }
    void Mouse(UINT message, CPoint client, UINT keyFlags) {
        const CPoint screen = Screen(client);
        headless->SetCursorPosition(screen);
        kel::platform::DeliverMouse(message, screen, keyFlags);
    }
    void Down(int x, int y, UINT modifiers = 0) {
        headless->SetKeyDown(VK_LBUTTON, true);
        Mouse(WM_LBUTTONDOWN, CPoint(x, y), MK_LBUTTON | modifiers);
    }
    void Move(int x, int y, bool buttonDown = true) {
        Mouse(WM_MOUSEMOVE, CPoint(x, y), buttonDown ? MK_LBUTTON : 0);
    }
    void Up(int x, int y) {
        headless->SetKeyDown(VK_LBUTTON, false);
        Mouse(WM_LBUTTONUP, CPoint(x, y), 0);
    }
    void Click(int x, int y, UINT modifiers = 0) {
        Down(x, y, modifiers);
        Up(x, y);
    }
    void Click(CPoint client, UINT modifiers = 0) { Click(client.x, client.y, modifiers); }
    static CPoint At(int frame, int track) { return CPoint(X(frame), RowY(track)); }

    kel::automation::EditorState State() const {
        kel::automation::EditorState state;
        view->FillAutomationState(state);
        return state;
    }
    std::vector<int> SelectedContainers() const { return State().selectedContainers; }
    std::vector<int> SelectedTracks() const { return State().selectedTracks; }

    CKelSBContentBaseObj* Content(int container, int material) const {
        return body->GetContainerObj(container)->GetContentObj(material);
    }

    // The navigator messages since the last ClearReceived, as the content pointers they name.
    std::vector<LPARAM> NavigatorContents() const {
        std::vector<LPARAM> contents;
        for (const ReceivedMessage& m : navigator.Named(WM_CG_SBNAV_SBSELCONTENT_CHANGED))
            contents.push_back(m.lParam);
        return contents;
    }

    // A storyboard of `frames` frames on track 0 (one material), made current.
    void UseLongStoryboard(DWORD frames, DWORD framesPerUnit) {
        CKelSBBodyObj* current = scene->GetSBEditObj()->GetCurSBBodyObj();
        auto* container = new CKelSBContainerObj;
        auto* content = new CKelSBContentPieceStayObj;
        content->Init(0, KelSampleGUID(kSampleHeadline), frames - 100, frames,
                      scene->FindPieceByGUID(KelSampleGUID(kSampleHeadline)));
        container->AddContent(content);
        current->AddContainer(container);
        current->SetFramesPerUnit(framesPerUnit);
        view->RefreshView(nullptr);
        ASSERT_EQ(body->GetDuration(), frames);
    }

    CKelSBBodyObj* body = nullptr;
};

using ViewInputTest = ViewInputFixture<EditorTest>;

} // namespace kel::test
