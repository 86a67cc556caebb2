// Commands reach the editor only through its services: any editor will do, one that is gone
// hands its commands to the module's current one, and without the module's services the
// history still works, only untitled and unannounced.
#include "undo/sbedit_editor.h"
#include "undo/track_cmds.h"
#include "undo/undo_fixture.h"

#include "platform/collections.h"

namespace kel::test {
namespace {

// An editor without a window over the test's scene, noting what the commands ask of it.
class StandInEditor : public CKelSBEditorServices {
public:
    explicit StandInEditor(CKelPlaySceneObj* pScene) : m_pScene(pScene) { SetLive(true); }
    ~StandInEditor() override { SetLive(false); }
    StandInEditor(const StandInEditor&) = delete;
    StandInEditor& operator=(const StandInEditor&) = delete;

    CKelPlaySceneObj* GetCurScene() const override { return m_pScene; }
    CKelSBBodyObj* GetCurSBBody() const override {
        return m_pScene ? m_pScene->GetSBEditObj()->GetCurSBBodyObj() : nullptr;
    }
    CKelURBase* GetCurHistory() const override {
        CKelSBBodyObj* pBody = GetCurSBBody();
        return pBody ? pBody->GetURBase() : nullptr;
    }
    CObList& GetSelTrackList() override { return m_tracks; }
    CObList& GetSelContainerList() override { return m_containers; }
    CKelSBContentBaseObj* GetCurContent() const override { return m_pCurrent; }
    void SetCurContent(CKelSBContentBaseObj* pContent) override { m_pCurrent = pContent; }
    void ClearTrackSelection() override { m_tracks.RemoveAll(); }
    void ClearMaterialSelection() override { m_containers.RemoveAll(); }
    void RestoreSelection(const std::vector<int>&, const kel::edit::Focus&, bool) override {}
    void ShowSelectedSpan() override {}
    void ClearStatusLine() override {}
    void EnsureCurContentVisible() override {}
    CRect GetMaterialRect(const CKelSBContentBaseObj*) const override { return {}; }
    void CollectSelectionRects(std::vector<CRect>&) const override {}
    void InvalidateRects(std::vector<CRect>& rects) override { rects.clear(); }
    void InvalidateAll() override {}
    void PaintNow() override {}
    void PaintFrameNow() override {}
    void FullViewRebuild() override { ++rebuilds; }
    void ResetViewKeepingModel() override { ++rebuilds; }
    void MarkModified() const override {}
    void NotifyNavigatorContent(const CKelSBContentBaseObj*) const override {}
    void DebugCheck(const char*) const override { ++checks; }

    int rebuilds = 0;
    mutable int checks = 0;

private:
    CKelPlaySceneObj* m_pScene;
    CObList m_tracks;
    CObList m_containers;
    CKelSBContentBaseObj* m_pCurrent = nullptr;
};

// The module's current editor as the tests choose it.
CKelSBEditorServices* g_pChosenEditor = nullptr;
CKelSBEditorServices* ChosenEditor() {
    return g_pChosenEditor;
}

class UndoEditorTest : public UndoTest {
protected:
    void TearDown() override {
        KelSBSetHistoryServices(savedServices);
        g_pChosenEditor = nullptr;
        UndoTest::TearDown(); // the next editor opened installs its own current editor
    }

    // Track 0 moved below track 1 and registered by `editor`.
    CKelURSBMovedownTrackCmd* MoveFirstTrackDown(CKelSBEditorServices& editor) {
        EXPECT_TRUE(Body().MoveTrack(0, 1));
        auto cmd = KelSBNewCommand<CKelURSBMovedownTrackCmd>(&editor, IDS_HIST_MOVE_DOWN_TRACK);
        cmd->m_nTrackIndex = 1;
        CKelURSBMovedownTrackCmd* pRaw = cmd.get();
        EXPECT_EQ(KelSBRegisterCommand(&editor, std::move(cmd)), 1);
        return pRaw;
    }

    const KelSBHistoryServices savedServices = KelSBGetHistoryServices();
};

TEST_F(UndoEditorTest, AnEditorThatIsGoneLeavesItsCommandsToTheModulesCurrentOne) {
    const std::vector<BYTE> before = Bytes();
    CKelURSBMovedownTrackCmd* pCmd = nullptr;
    {
        StandInEditor gone(scene.get());
        pCmd = MoveFirstTrackDown(gone);
        EXPECT_EQ(gone.checks, 1);
        EXPECT_EQ(pCmd->GetEditor(), &gone);
    }
    const std::vector<BYTE> after = Bytes();

    // No current editor: the step cannot run and changes nothing.
    KelSBSetCurrentEditorSource(nullptr);
    EXPECT_EQ(pCmd->GetEditor(), nullptr);
    EXPECT_EQ(pCmd->Undo(), 0);
    EXPECT_EQ(Bytes(), after);

    StandInEditor current(scene.get());
    g_pChosenEditor = &current;
    KelSBSetCurrentEditorSource(&ChosenEditor);
    EXPECT_EQ(pCmd->GetEditor(), &current);
    EXPECT_EQ(pCmd->Undo(), 1);
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(pCmd->Redo(0), 1);
    EXPECT_EQ(Bytes(), after);
    EXPECT_EQ(current.rebuilds, 2);
}

TEST_F(UndoEditorTest, WithoutTheModulesServicesStepsAreRecordedUntitledAndUnannounced) {
    EXPECT_FALSE(KelSBLoadHistoryText(IDS_HIST_MOVE_DOWN_TRACK).IsEmpty());
    KelSBSetHistoryServices({});
    EXPECT_TRUE(KelSBLoadHistoryText(IDS_HIST_MOVE_DOWN_TRACK).IsEmpty());

    ClearReceived();
    const int nSteps = History().GetUndoStepCount();
    MoveFirstTrackDown(*view);
    EXPECT_EQ(History().GetUndoStepCount(), nSteps + 1);
    EXPECT_TRUE(history.Named(WM_CG_UPDATE_HISTORY).empty());
    ExpectConsistent("registering without the module's services");
}

} // namespace
} // namespace kel::test
