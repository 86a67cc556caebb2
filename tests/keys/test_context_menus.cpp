// The context menus of the timeline view as a right click opens them: which items the track
// and storyboard menus gray or check, and that nothing chosen while loaded edits or plays. (Each
// place's menu and what every item does are the runner script keys_menus.kss.)
#include "keys/input_fixture.h"

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

TEST_F(ContextMenuTest, TheStoryboardMenuShowsAndSwitchesTheDeleteMode) {
    // The ruler opens it too, as the place below the tracks does.
    std::optional<ShownMenu> shown = RightClick(CPoint(X(50), 40));
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->nMenuId, UINT{IDR_MENU_STORYBOARD});

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
