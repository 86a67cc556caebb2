// Play, compile, loading onto the output and unloading, the material play mode, the effect
// preview and the play-time messages, as the dialog and the host run them.
#include "storyboard/storyboard_fixture.h"

#include "host/effects/effect_preview.h"
#include "host/effects/io_effect.h"
#include "host/scene/play_piece.h"
#include "host/scene/sample_scene.h"
#include "host/services/effect_editor.h"
#include "host/services/host_settings.h"
#include "host/services/live_output.h"

namespace kel::test {
namespace {

class PlaybackTest : public OperationTest {
protected:
    void TearDown() override {
        CKelDrvSys::SetFieldClock({});
        OperationTest::TearDown();
    }
    bool ButtonEnabled(UINT nId) { return dlg->GetButton(nId)->IsWindowEnabled() != FALSE; }
    CKelIOSoftEffectBaseObj* EffectOf(int nContainer, int nContent) const {
        return static_cast<CKelSBContentPieceBaseObj*>(Content(nContainer, nContent))
            ->GetIOSoftEffect();
    }
};

TEST_F(PlaybackTest, PlayRunsWithThePanelsOffAutoSaveOffAndNothingSelected) {
    Select({0, 3}, Content(3, 1));
    view->Selection().GetSelTrackList().AddTail(Body().GetTrackObj(0));
    dlg->UpdateCaption(Content(3, 1));
    struct During {
        bool autoSave, historySync, selected;
    };
    std::vector<During> during;
    CKelDrvSys::SetFieldClock([&](int) {
        during.push_back({KelIsAutoSaveEnabled() != 0, view->GetHistorySync() != 0,
                          !view->Selection().GetSelContainerList().IsEmpty() ||
                              !view->Selection().GetSelTrackList().IsEmpty() ||
                              view->Selection().GetCurContent() != nullptr});
    });
    const int nClears = CKelDrvGFB::GetClearCount();
    ASSERT_EQ(view->PlayStoryBoard(dlg), 1);

    // The storyboard played from the time line to its end, and the time line followed it.
    ASSERT_EQ(during.size(), 351u);
    for (const During& d : during) {
        EXPECT_FALSE(d.autoSave);
        EXPECT_FALSE(d.historySync);
        EXPECT_FALSE(d.selected);
    }
    EXPECT_EQ(Body().GetTimeLinePos(), 350u);
    EXPECT_FALSE(scene->GetLastPlay().empty());
    EXPECT_EQ(CKelDrvGFB::GetClearCount(), nClears + 1);
    EXPECT_EQ(PanelSwitches(), (std::vector<WPARAM>{0, 1}));
    EXPECT_TRUE(KelIsAutoSaveEnabled());
    EXPECT_EQ(view->GetHistorySync(), 1);
    EXPECT_EQ(dlg->GetWindowText().Find("Entry Point"), -1);
    EXPECT_EQ(Steps(), 0);
}

TEST_F(PlaybackTest, AFailingHostStillGetsItsPanelsBack) {
    for (auto op : {CKelPlaySceneObj::Operation::Play, CKelPlaySceneObj::Operation::Compile}) {
        scene->SetSimulatedFailure(op, true);
        ClearReceived();
        const int nResult = op == CKelPlaySceneObj::Operation::Play ? view->PlayStoryBoard(dlg)
                                                                    : view->CompileStoryBoard(dlg);
        EXPECT_EQ(nResult, 0);
        EXPECT_EQ(PanelSwitches(), (std::vector<WPARAM>{0, 1}));
        EXPECT_EQ(view->GetHistorySync(), 1);
        EXPECT_TRUE(KelIsAutoSaveEnabled());
        scene->SetSimulatedFailure(op, false);
    }
    // The sample's orphaned material is a problem the compile reports.
    EXPECT_EQ(view->CompileStoryBoard(dlg), 0);
    EXPECT_FALSE(scene->GetCompileIssues().empty());
}

TEST_F(PlaybackTest, LoadedTheEditorRefusesPlayCompileAndPlayModeUntilUnloaded) {
    // A refused load changes nothing.
    scene->SetSimulatedFailure(CKelPlaySceneObj::Operation::Upload, true);
    dlg->RunButton(IDC_BTN_UPLOAD);
    EXPECT_FALSE(dlg->IsLoaded());
    EXPECT_TRUE(ButtonEnabled(IDC_BTN_PLAY));
    EXPECT_FALSE(headless->CursorClip().has_value());
    scene->SetSimulatedFailure(CKelPlaySceneObj::Operation::Upload, false);

    // Which buttons show and which are enabled: the runner script storyboards_playback.kss
    // and the command table's test.
    Load();
    EXPECT_TRUE(scene->IsLoaded());
    EXPECT_FALSE(ButtonEnabled(IDC_BTN_GENERATE));
    EXPECT_TRUE(ButtonEnabled(IDC_BTN_IO_MODE));
    EXPECT_TRUE(headless->CursorClip().has_value());

    Select({0}, Content(0, 0));
    ClearReceived();
    EXPECT_EQ(view->PlayStoryBoard(dlg), 0);
    EXPECT_EQ(view->CompileStoryBoard(dlg), 0);
    EXPECT_EQ(view->IOModeCurContent(), 0);
    dlg->RunButton(IDC_BTN_PLAY);
    EXPECT_TRUE(PanelSwitches().empty());
    EXPECT_TRUE(scene->GetLastPlay().empty());
    EXPECT_EQ(headless->ModalDialogsRun(), 0);

    dlg->RunButton(IDC_BTN_DOWNLOAD);
    EXPECT_FALSE(dlg->IsLoaded());
    EXPECT_FALSE(scene->IsLoaded());
    EXPECT_FALSE(headless->CursorClip().has_value());
    EXPECT_EQ(view->PlayStoryBoard(dlg), 1);
}

TEST_F(PlaybackTest, ThePlayModeIsOneStepWhenTheEffectEditorChangedTheEffect) {
    Select({0}, Content(0, 0));
    AnswerEffectEditor(nullptr);
    EXPECT_EQ(view->IOModeCurContent(), 0);
    EXPECT_EQ(Steps(), 0);
    EXPECT_EQ(PanelSwitches(), (std::vector<WPARAM>{0, 1}));
    EXPECT_TRUE(MarkedModified());

    const std::vector<BYTE> before = Bytes();
    ClearReceived();
    AnswerEffectEditor("Wipe");
    ASSERT_EQ(view->IOModeCurContent(), 1);
    EXPECT_EQ(LastStepText(), "Set In Out Mode");
    EXPECT_EQ(view->GetHistorySync(), 1);
    EXPECT_FALSE(navigator.Named(WM_CG_SBNAV_SBSELCONTENT_CHANGED).empty());
    ExpectRoundTrip(before, [&] { EXPECT_EQ(EffectOf(0, 0)->GetEffectName(), CString("Wipe")); });
}

TEST_F(PlaybackTest, ThePlayModeOpensNoEditorWithoutAGroupPieceToEdit) {
    // A locked track's material: nothing at all happens.
    Select({4}, Content(4, 0));
    EXPECT_EQ(view->IOModeCurContent(), 0);
    EXPECT_TRUE(PanelSwitches().empty());
    EXPECT_FALSE(MarkedModified());

    // A movie has no phases: the panels come back and the document counts as changed.
    Body().GetTrackObj(1)->SetLocked(FALSE);
    EXPECT_EQ(view->IOModeCurContent(), 0);
    EXPECT_EQ(PanelSwitches(), (std::vector<WPARAM>{0, 1}));
    EXPECT_TRUE(MarkedModified());

    // A material whose piece the scene lost, with no copy of it: nothing to edit, nothing
    // changed.
    Select({7}, Content(7, 0));
    ClearReceived();
    EXPECT_EQ(view->IOModeCurContent(), 0);
    EXPECT_EQ(PanelSwitches(), (std::vector<WPARAM>{0, 1}));
    EXPECT_FALSE(MarkedModified());
    EXPECT_EQ(headless->ModalDialogsRun(), 0);
    EXPECT_EQ(Steps(), 0);
}

TEST_F(PlaybackTest, TheEffectPreviewPlaysTheCurrentMaterialsEffectOnTheLiveOutput) {
    KelPieceEffectPreview record;
    record.pWnd = &mainWnd;
    const auto preview = [&](KelPieceEffectPreview* pRecord) {
        return view->SendMessage(WM_CG_PIECE_EFFECT_PREVIEW, 0, reinterpret_cast<LPARAM>(pRecord));
    };
    CKelMemBlock* out = CKelDrvGFB::GetBlockOut();
    ASSERT_NE(out, nullptr);
    out->Fill(0xFF123456);
    // No record: nothing is touched.
    const int nClears = CKelDrvGFB::GetClearCount();
    EXPECT_EQ(preview(nullptr), 0);
    EXPECT_EQ(CKelDrvGFB::GetClearCount(), nClears);
    EXPECT_EQ(out->GetPixel(0, 0), 0xFF123456u);
    // No material: the output is cleared and stays so.
    EXPECT_EQ(preview(&record), 0);
    EXPECT_EQ(CKelDrvGFB::GetClearCount(), nClears + 1);
    EXPECT_EQ(out->GetPixel(100, 450), 0u);

    // The Headline's Stay and Out start from its picture where the piece stands: what the
    // output shows is the piece at its place (the Out's wipe mixes over it), nothing else.
    CKelPlayBaseObj* pHeadline = scene->FindPieceByGUID(KelSampleGUID(kSampleHeadline));
    CKelMemBlock picture;
    picture.Init(-1, -1, nullptr, 0);
    ASSERT_EQ(pHeadline->DrawToBlock(&picture, 0), 1);
    CKelMemBlock expected;
    expected.Init(out->GetWidth(), out->GetHeight());
    expected.Copy(picture, pHeadline->GetRect().left, pHeadline->GetRect().top);
    Select({2}, Content(2, 0));
    EXPECT_EQ(preview(&record), 0);
    EXPECT_TRUE(*out == expected);
    Select({1}, Content(1, 0));
    const long long nFields = CKelDrvSys::GetFieldCount();
    EXPECT_EQ(preview(&record), 0);
    EXPECT_TRUE(*out == expected);
    // Every frame of the effect took its fields on the live output; the prepared pictures went.
    EXPECT_EQ(CKelDrvSys::GetFieldCount() - nFields,
              CKelDrvSys::kFieldsPerFrame *
                  static_cast<long long>(EffectOf(1, 0)->GetPlayDuration()));
    EXPECT_FALSE(EffectOf(1, 0)->IsPrepared());
}

TEST_F(PlaybackTest, APlayedInPhaseShowsTheFramesOfItsPreview) {
    // What the live output showed at each of the first ten frames.
    std::vector<CKelMemBlock> shown;
    const auto record = [&shown] {
        CKelDrvSys::SetFieldClock([&shown](int) {
            if (shown.size() < 10)
                shown.push_back(*CKelDrvGFB::GetBlockOut());
        });
    };
    KelPieceEffectPreview request;
    request.pWnd = &mainWnd;
    Select({0}, Content(0, 0)); // the Headline's In: a fade over ten frames
    record();
    view->SendMessage(WM_CG_PIECE_EFFECT_PREVIEW, 0, reinterpret_cast<LPARAM>(&request));
    const std::vector<CKelMemBlock> previewed = std::move(shown);
    ASSERT_EQ(previewed.size(), 10u);

    // Played alone (the movie's track forbidden), the In's frames are the preview's, and each
    // differs from the one before.
    Body().GetTrackObj(1)->SetPlayAllowed(FALSE);
    Body().SetTimeLinePos(0);
    shown.clear();
    record();
    ASSERT_EQ(view->PlayStoryBoard(dlg), 1);
    ASSERT_EQ(shown.size(), 10u);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_TRUE(shown[i] == previewed[i]) << "frame " << i;
        if (i > 0) {
            EXPECT_FALSE(shown[i] == shown[i - 1]) << "frame " << i;
        }
    }
}

TEST_F(PlaybackTest, PlayTimeMessagesRepaintWhatTheyName) {
    CRect client;
    view->GetClientRect(&client);
    const CRect tracks = view->Geometry().GetTrackAreaRect();
    auto lastClip = [&] {
        CRect all;
        for (const auto& record : headless->LastPaint(*view))
            all.UnionRect(all, record.clip);
        return all;
    };
    // The time line moves as the user moves it; with lParam 1 the whole view is painted.
    auto covers = [](const CRect& outer, const CRect& inner) {
        CRect both;
        both.UnionRect(outer, inner);
        return both == outer;
    };
    view->UpdateWindow();
    dlg->SendMessage(WM_UPDATE_PLAY_CURRENT_FRAME, 50, 0);
    EXPECT_EQ(Body().GetTimeLinePos(), 50u);
    EXPECT_FALSE(covers(lastClip(), tracks));
    dlg->SendMessage(WM_UPDATE_PLAY_CURRENT_FRAME, 60, 1);
    EXPECT_EQ(Body().GetTimeLinePos(), 60u);
    EXPECT_TRUE(covers(lastClip(), tracks));

    // No list, or an empty one: nothing to repaint, and the answer is 0.
    const int nPaints = headless->PaintCount(*view);
    CObList contents;
    EXPECT_EQ(dlg->SendMessage(WM_CG_SB_REFRESH_CONTENTS, 0, 0), 0);
    EXPECT_EQ(dlg->SendMessage(WM_CG_SB_REFRESH_CONTENTS, 0, reinterpret_cast<LPARAM>(&contents)),
              0);
    view->UpdateWindow();
    EXPECT_EQ(headless->PaintCount(*view), nPaints);
    // A material's rectangle is repainted, not at once, and nothing else.
    contents.AddTail(Content(1, 0));
    EXPECT_EQ(dlg->SendMessage(WM_CG_SB_REFRESH_CONTENTS, 0, reinterpret_cast<LPARAM>(&contents)),
              0);
    EXPECT_EQ(headless->PaintCount(*view), nPaints);
    view->UpdateWindow();
    EXPECT_EQ(headless->PaintCount(*view), nPaints + 1);
    CRect expected;
    expected.IntersectRect(view->Geometry().GetMaterialRect(Content(1, 0)), client);
    EXPECT_EQ(lastClip(), expected);
}

} // namespace
} // namespace kel::test
