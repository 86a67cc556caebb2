// Operations that refuse: the storyboard, the selection, the clipboards and the history stay as
// they were, byte for byte, and the checker finds nothing.
#include "operations/op_arrange.h"
#include "operations/op_materials.h"
#include "operations/op_place.h"
#include "operations/op_tracks.h"
#include "undo/undo_fixture.h"

#include <functional>
#include <memory>
#include <utility>

namespace kel::test {
namespace {

using OperationRefusalTest = UndoTest;

TEST_F(OperationRefusalTest, ARefusedOperationLeavesNoTraceAndNoStep) {
    CKelSBEditObj& document = *scene->GetSBEditObj();
    CKelObList& trackClipboard = document.GetTrackClipboard();
    // A copy of the storyboard, outside the document: its steps would land in another history.
    const std::unique_ptr<CKelSBBodyObj> pOther(Body().MakeCopy());
    const int nOtherTracks = pOther->GetTrackCount();
    namespace ops = kel::operations;
    const std::pair<const char*, std::function<bool()>> refusals[] = {
        {"a merge of one container",
         [&] { return ops::MergeMaterials(*view, IDS_HIST_MERGE, Body(), {}, {3}) != nullptr; }},
        {"a merge naming a container twice",
         [&] {
             return ops::MergeMaterials(*view, IDS_HIST_MERGE, Body(), {}, {3, 3}) != nullptr;
         }},
        {"a split of single materials",
         [&] {
             return ops::SplitMaterials(*view, IDS_HIST_SPLIT, Body(), {}, {0, 1}).has_value();
         }},
        {"a delete naming a container twice",
         [&] {
             return ops::DeleteContainers(*view, IDS_HIST_DELETE, Body(), {}, {2, 2}).has_value();
         }},
        {"a delete of a container that is not there",
         [&] {
             return ops::DeleteContainers(*view, IDS_HIST_DELETE, Body(), {}, {42}).has_value();
         }},
        {"delete space inside a material",
         [&] { return ops::DeleteSpace(*view, IDS_HIST_DELETE_SPACE, Body(), 0, 50); }},
        {"a locked track deleted",
         [&] {
             return ops::RemoveTrack(*view, IDS_HIST_DELETE_TRACK, Body(), document, 1, false);
         }},
        {"a locked track cut",
         [&] { return ops::RemoveTrack(*view, IDS_HIST_CUT_TRACK, Body(), document, 1, true); }},
        {"the first track moved up",
         [&] { return ops::MoveTrack(*view, IDS_HIST_MOVE_UP_TRACK, Body(), 0, 0); }},
        {"an empty track clipboard pasted",
         [&] {
             return ops::PasteTrack(*view, IDS_HIST_PASTE_TRACK, Body(), document,
                                    scene->GetPieceList(), 0);
         }},
        {"a piece replaced by itself",
         [&] {
             return ops::ReplacePiece(*view, IDS_HIST_REPLACE_PIECE, Body(), scene->GetPieceList(),
                                      *Content(0, 0), Content(0, 0)->GetGUID());
         }},
        {"a storyboard other than the editor's",
         [&] {
             return ops::AppendTrack(*view, IDS_HIST_APPEND_TRACK, *pOther).has_value() ||
                    ops::DeleteSpace(*view, IDS_HIST_DELETE_SPACE, *pOther, 4, 50) ||
                    pOther->GetTrackCount() != nOtherTracks;
         }},
        {"empty FX clipboards pasted",
         [&] {
             return ops::PasteEffects(*view, IDS_HIST_FX_PASTE, Body(), document, {}, {0, 1}) !=
                    ops::FXPasteOutcome::kClipboardsEmpty;
         }},
    };
    Select({0, 2}, Content(2, 0));
    trackClipboard.DeleteAll();
    for (const auto& [why, refuse] : refusals) {
        SCOPED_TRACE(why);
        const std::vector<BYTE> before = Bytes();
        const std::vector<int> selected = view->Selection().GetSelContainerIndices();
        EXPECT_FALSE(refuse());
        EXPECT_EQ(Bytes(), before);
        EXPECT_EQ(History().GetStepCount(), 0);
        EXPECT_EQ(view->Selection().GetSelContainerIndices(), selected);
        EXPECT_EQ(view->Selection().GetCurContent(), Content(2, 0));
        EXPECT_TRUE(trackClipboard.IsEmpty());
        ExpectConsistent(why);
    }
}

} // namespace
} // namespace kel::test
