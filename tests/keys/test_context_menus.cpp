// The context menus of the timeline view as a right click opens them: which menu each place
// shows, which items it grays or checks for what is selected there, and that every item
// chosen runs its operation (one step that undoes exactly) or is refused while loaded.
#include "keys/input_fixture.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_attr_dlg.h"

#include <functional>
#include <string>

namespace kel::test {
namespace {

class ContextMenuTest : public InputTest {
protected:
    std::vector<UINT> GrayedAt(CPoint point) {
        const std::optional<ShownMenu> menu = RightClick(point);
        return menu ? menu->Grayed() : std::vector<UINT>{99999};
    }
    int TracksOnClipboard() const {
        const CObList& clipboard = scene->GetSBEditObj()->GetTrackClipboard();
        int count = 0;
        for (POSITION pos = clipboard.GetHeadPosition(); pos;)
            count += clipboard.GetNext(pos)->IsKindOf(RUNTIME_CLASS(CKelSBTrackObj)) ? 1 : 0;
        return count;
    }
};

TEST_F(ContextMenuTest, EachPlaceOpensItsOwnMenuAndALockedTrackNone) {
    struct Case {
        const char* where;
        CPoint point;
        UINT nMenuId; // 0: no menu
    };
    const Case cases[] = {
        {"a track's header", Header(2), IDR_MENU_TRACKS},
        {"below the headers", BelowHeaders(), IDR_MENU_TRACKS},
        {"a material", At(50, 0), IDR_MENU_MATERIALS},
        {"empty track space", At(300, 0), IDR_MENU_TRACK_AREA},
        {"below the tracks", BelowTracks(), IDR_MENU_STORYBOARD},
        {"the ruler", CPoint(X(50), 40), IDR_MENU_STORYBOARD},
        {"a material of a locked track", At(50, 1), 0},
        {"empty space of a locked track", At(400, 1), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        const std::optional<ShownMenu> menu = RightClick(c.point);
        EXPECT_EQ(menu ? menu->nMenuId : 0u, c.nMenuId);
    }
}

TEST_F(ContextMenuTest, TheTrackMenuGraysWhatCannotBeDoneToItsTrack) {
    // Nothing on the track clipboard: Paste is grayed everywhere.
    EXPECT_EQ(GrayedAt(Header(2)), std::vector<UINT>{ID_TRACK_PASTE});
    EXPECT_EQ(view->Selection().GetCurTrackIndex(), 2);
    EXPECT_EQ(GrayedAt(Header(0)), (std::vector<UINT>{ID_TRACK_MOVE_UP, ID_TRACK_PASTE}));
    EXPECT_EQ(GrayedAt(Header(4)), (std::vector<UINT>{ID_TRACK_MOVE_DOWN, ID_TRACK_PASTE}));
    EXPECT_EQ(GrayedAt(Header(1)),
              (std::vector<UINT>{ID_TRACK_DELETE, ID_TRACK_MOVE_UP, ID_TRACK_MOVE_DOWN,
                                 ID_TRACK_CUT, ID_TRACK_PASTE}));
    // A copied track can be pasted.
    ASSERT_TRUE(RightClick(Header(2), ID_TRACK_COPY));
    EXPECT_EQ(TracksOnClipboard(), 1);
    EXPECT_EQ(GrayedAt(Header(0)), std::vector<UINT>{ID_TRACK_MOVE_UP});

    // Below the headers the selection stays as it is. Two tracks: only appending and deleting.
    headless->SetKeyDown(VK_CONTROL, true);
    Click(Header(3).x, Header(3).y);
    headless->SetKeyDown(VK_CONTROL, false);
    ASSERT_EQ(SelectedTracks(), (std::vector<int>{0, 3}));
    EXPECT_EQ(GrayedAt(BelowHeaders()),
              (std::vector<UINT>{ID_TRACK_MOVE_UP, ID_TRACK_MOVE_DOWN, ID_TRACK_INSERT,
                                 ID_TRACK_CUT, ID_TRACK_COPY, ID_TRACK_PASTE}));
    EXPECT_EQ(view->Selection().GetCurTrackIndex(), -1);
    // None: only appending and pasting.
    view->Selection().ClearTrackSelection();
    EXPECT_EQ(GrayedAt(BelowHeaders()),
              (std::vector<UINT>{ID_TRACK_DELETE, ID_TRACK_MOVE_UP, ID_TRACK_MOVE_DOWN,
                                 ID_TRACK_INSERT, ID_TRACK_CUT, ID_TRACK_COPY}));
    // Paste is offered, but with no track under the menu there is nowhere to paste.
    const std::vector<BYTE> before = Bytes();
    RightClick(BelowHeaders(), ID_TRACK_PASTE);
    EXPECT_EQ(Bytes(), before);

    // The only track of a storyboard cannot be deleted, cut or moved.
    view->SwitchSBBody(1);
    while (Body().GetTrackCount() > 1) {
        const int nTracks = Body().GetTrackCount();
        headless->QueueMessageBoxAnswer(IDYES); // asked only for a track with materials
        ASSERT_TRUE(RightClick(Header(nTracks - 1), ID_TRACK_DELETE));
        headless->ClearQueues();
        ASSERT_EQ(Body().GetTrackCount(), nTracks - 1);
    }
    EXPECT_EQ(GrayedAt(Header(0)), (std::vector<UINT>{ID_TRACK_DELETE, ID_TRACK_MOVE_UP,
                                                      ID_TRACK_MOVE_DOWN, ID_TRACK_CUT}));
}

TEST_F(ContextMenuTest, TheMaterialsMenuFitsOneOrSeveralMaterials) {
    EXPECT_EQ(GrayedAt(At(50, 0)), (std::vector<UINT>{ID_MAT_MERGE, ID_MAT_SAME_LENGTH,
                                                      ID_MAT_ALIGN_LEFT, ID_MAT_ALIGN_RIGHT}));
    // A right click on a material already selected keeps the others selected.
    ClickMaterials({At(24, 2), At(150, 4)});
    EXPECT_EQ(GrayedAt(At(150, 4)), std::vector<UINT>{ID_MAT_PLAY_PROPERTIES});
    EXPECT_EQ(SelectedContainers(), (std::vector<int>{6, 8}));
}

TEST_F(ContextMenuTest, TheStoryboardMenuShowsAndSwitchesTheDeleteMode) {
    std::optional<ShownMenu> menu = RightClick(BelowTracks(), ID_DELETE_MODE_RIPPLE);
    ASSERT_TRUE(menu);
    EXPECT_TRUE(menu->checked[ID_DELETE_MODE_NORMAL]);
    EXPECT_FALSE(menu->checked[ID_DELETE_MODE_RIPPLE]);
    EXPECT_TRUE(menu->Grayed().empty());
    EXPECT_EQ(Body().GetDeleteMode(), 1);
    EXPECT_TRUE(MarkedModified());
    EXPECT_EQ(Steps(), 0);

    menu = RightClick(BelowTracks(), ID_DELETE_MODE_NORMAL);
    ASSERT_TRUE(menu);
    EXPECT_FALSE(menu->checked[ID_DELETE_MODE_NORMAL]);
    EXPECT_TRUE(menu->checked[ID_DELETE_MODE_RIPPLE]);
    EXPECT_EQ(Body().GetDeleteMode(), 0);
}

// Every item of the four menus, chosen where it can act: the change it makes and, for those
// that edit, its undo and redo to the exact bytes.
TEST_F(ContextMenuTest, EveryItemReachesItsOperation) {
    // The clipboards and the answers some items need.
    auto copyLogo = [this] {
        Select({3}, Content(3, 1));
        ASSERT_EQ(view->CopyMaterials(), 1);
    };
    auto copyStayFX = [this] {
        // An effect of its own: a pasted effect keeps the target's play duration, so the
        // sample's two "Copy" stays would paste to no change.
        static_cast<CKelSBContentPieceBaseObj*>(Content(1, 0))
            ->GetIOSoftEffect()
            ->SetEffectName("Spin");
        Select({1}, Content(1, 0));
        ASSERT_EQ(view->CopyFX(), 1);
    };
    auto answerYes = [this] { headless->QueueMessageBoxAnswer(IDYES); };
    auto answerProperties = [this] {
        headless->QueueModal([](CWnd& wnd) {
            dynamic_cast<CKelSBBodyAttrDlg&>(wnd).m_attr.strName = "Late News";
            return IDOK;
        });
    };
    auto answerEffect = [this] { AnswerEffectEditor("Wipe"); };
    auto copyTrack = [this] { RightClick(Header(0), ID_TRACK_COPY); };
    auto selectTwo = [this] { ClickMaterials({At(24, 2), At(150, 4)}); };
    const std::function<void()> nothing = [] {};
    struct Case {
        UINT nId;
        CPoint point;
        std::function<void()> prepare;
        UINT nText; // the step's history text; 0 when the item makes no step
        std::function<bool()> done;
    };
    const Case cases[] = {
        // The track menu.
        {ID_TRACK_APPEND, Header(2), nothing, IDS_HIST_APPEND_TRACK, {}},
        {ID_TRACK_INSERT, Header(2), nothing, IDS_HIST_INSERT_TRACK, {}},
        {ID_TRACK_DELETE, Header(3), answerYes, IDS_HIST_DELETE_TRACK, {}},
        {ID_TRACK_MOVE_UP, Header(3), nothing, IDS_HIST_MOVE_UP_TRACK, {}},
        {ID_TRACK_MOVE_DOWN, Header(2), nothing, IDS_HIST_MOVE_DOWN_TRACK, {}},
        {ID_TRACK_CUT, Header(3), answerYes, IDS_HIST_CUT_TRACK, {}},
        {ID_TRACK_COPY, Header(3), nothing, 0, [this] { return TracksOnClipboard() == 1; }},
        {ID_TRACK_PASTE, Header(0), copyTrack, IDS_HIST_PASTE_TRACK, {}},
        // The storyboard menu (the delete mode has a test of its own).
        {ID_SB_SETUP, BelowTracks(), answerProperties, IDS_HIST_SETTINGS, {}},
        {ID_SB_SELECT_ALL, BelowTracks(), nothing, 0,
         [this] { return SelectedContainers().size() == 9; }},
        // The track area menu, on track 0 at frame 300.
        {ID_AREA_PASTE_HERE, At(300, 0), copyLogo, IDS_HIST_FIXED_PASTE, {}},
        {ID_AREA_SELECT_ALL, At(300, 0), nothing, 0,
         [this] { return SelectedContainers().size() == 9; }},
        {ID_AREA_SELECT_TRACK_MATERIALS, At(300, 0), nothing, 0,
         [this] {
             return SelectedContainers() == std::vector<int>{0, 1, 2, 3};
         }},
        {ID_AREA_FIT, At(300, 0), nothing, 0, [this] { return Body().GetFramesPerUnit() != 25; }},
        {ID_AREA_ZOOM_IN, At(300, 0), nothing, 0,
         [this] { return Body().GetFramesPerUnit() < 25; }},
        {ID_AREA_ZOOM_OUT, At(300, 0), nothing, 0,
         [this] { return Body().GetFramesPerUnit() > 25; }},
        // The materials menu, on the Headline's Stay, the Logo, or two Lower Thirds.
        {ID_MAT_CUT, At(50, 0), nothing, IDS_HIST_CUT, {}},
        {ID_MAT_COPY, At(50, 0), nothing, 0,
         [this] { return scene->GetSBEditObj()->GetMaterialClipboard().GetCount() == 1; }},
        {ID_MAT_DELETE, At(50, 0), nothing, IDS_HIST_DELETE, {}},
        {ID_MAT_COPY_FX, At(50, 0), nothing, 0,
         [this] { return scene->GetSBEditObj()->GetFXClipboardStay().GetCount() == 1; }},
        {ID_MAT_PASTE_FX, At(150, 4), copyStayFX, IDS_HIST_FX_PASTE, {}},
        {ID_MAT_MERGE, At(150, 4), selectTwo, IDS_HIST_MERGE, {}},
        {ID_MAT_SPLIT, At(150, 0), nothing, IDS_HIST_SPLIT, {}},
        {ID_MAT_PLAY_PROPERTIES, At(50, 0), answerEffect, IDS_HIST_IO_MODE, {}},
        {ID_MAT_ALIGN_LEFT, At(150, 4), selectTwo, IDS_HIST_ALIGN_LEFT, {}},
        {ID_MAT_ALIGN_RIGHT, At(150, 4), selectTwo, IDS_HIST_ALIGN_RIGHT, {}},
        {ID_MAT_SAME_LENGTH, At(150, 4), selectTwo, IDS_HIST_SAME_LENGTH, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nId);
        view->Selection().ClearAllSelection();
        c.prepare();
        const std::vector<BYTE> before = Bytes();
        const int nSteps = Steps();
        const std::optional<ShownMenu> menu = RightClick(c.point, c.nId);
        ASSERT_TRUE(menu);
        ASSERT_TRUE(menu->enabled.count(c.nId)) << "not an item of the menu shown there";
        if (c.nText == 0) {
            EXPECT_EQ(Steps(), nSteps);
            EXPECT_TRUE(c.done());
        } else {
            ASSERT_EQ(Steps(), nSteps + 1);
            EXPECT_EQ(LastStepText(), Text(c.nText));
            ExpectRoundTrip(before);
            Undo();
        }
        ExpectConsistent("the menu's command");
        Body().SetFramesPerUnit(25);
        view->RefreshView(nullptr);
        headless->ClearQueues();
    }
}

// Loaded onto the output, what the menus offer that edits or plays is refused; selecting,
// zooming and the delete mode still act.
TEST_F(ContextMenuTest, WhileLoadedTheMenusChangeNothingThatPlays) {
    RightClick(Header(0), ID_TRACK_COPY);
    Select({3}, Content(3, 1));
    view->CopyMaterials();
    Load();
    const std::vector<BYTE> before = Bytes();
    const struct {
        CPoint point;
        std::vector<UINT> ids;
    } places[] = {
        {Header(2),
         {ID_TRACK_APPEND, ID_TRACK_INSERT, ID_TRACK_DELETE, ID_TRACK_MOVE_UP, ID_TRACK_MOVE_DOWN,
          ID_TRACK_CUT, ID_TRACK_PASTE}},
        {BelowTracks(), {ID_SB_SETUP}},
        {At(300, 0), {ID_AREA_PASTE_HERE}},
        {At(150, 0),
         {ID_MAT_CUT, ID_MAT_DELETE, ID_MAT_PASTE_FX, ID_MAT_SPLIT, ID_MAT_PLAY_PROPERTIES}},
    };
    for (const auto& place : places) {
        for (UINT nId : place.ids) {
            SCOPED_TRACE(nId);
            headless->QueueMessageBoxAnswer(IDYES);
            ASSERT_TRUE(RightClick(place.point, nId));
            EXPECT_EQ(Bytes(), before);
            headless->ClearQueues();
        }
    }
    EXPECT_EQ(Steps(), 0);
    EXPECT_EQ(BoxesShown(), 0u);
    EXPECT_EQ(headless->ModalDialogsRun(), 0);

    RightClick(At(300, 0), ID_AREA_SELECT_ALL);
    EXPECT_EQ(SelectedContainers().size(), 9u);
    RightClick(At(300, 0), ID_AREA_ZOOM_IN);
    EXPECT_LT(Body().GetFramesPerUnit(), 25u);
    RightClick(BelowTracks(), ID_DELETE_MODE_RIPPLE);
    EXPECT_EQ(Body().GetDeleteMode(), 1);
}

} // namespace
} // namespace kel::test
