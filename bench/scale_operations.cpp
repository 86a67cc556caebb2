#include "scale_operations.h"

#include "host/sbobject/sb_attr_dlg.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"
#include "host/scene/scene_file.h"
#include "host/services/effect_editor.h"
#include "host/undo/ur_manager.h"
#include "platform/controls.h"
#include "platform/headless_backend.h"
#include "platform/wnd.h"
#include "res/resource.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>

namespace kel::bench::scale {

BenchHost& Host() {
    return BenchHost::Get();
}

double Since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

CKelURBase& History() {
    return *Host().Body().GetURBase();
}

// The commands' labels in the table; the ids come from the editor's command table.
std::string Label(UINT id) {
    static const std::map<UINT, const char*> labels = {
        {IDC_BTN_CUT, "Cut"},
        {IDC_BTN_PASTE, "Paste"},
        {IDC_BTN_DELETE, "Delete"},
        {IDC_BTN_PASTE_FX, "FX paste"},
        {IDC_BTN_SAME_LENGTH, "Same length"},
        {IDC_BTN_ALIGN_LEFT, "Align left"},
        {IDC_BTN_ALIGN_RIGHT, "Align right"},
        {IDC_BTN_MERGE, "Merge"},
        {IDC_BTN_SPLIT, "Split"},
        {IDC_BTN_ENTRY_POINT, "Clip entry points at the time line"},
        {IDC_BTN_OUTLET_POINT, "Clip outlet points at the time line"},
        {IDC_BTN_IO_MODE, "In/out mode"},
        {ID_AREA_PASTE_HERE, "Paste here (track menu)"},
        {ID_TRACK_APPEND, "Append track"},
        {ID_TRACK_INSERT, "Insert track"},
        {ID_TRACK_DELETE, "Delete track"},
        {ID_TRACK_MOVE_UP, "Move track up"},
        {ID_TRACK_MOVE_DOWN, "Move track down"},
        {ID_TRACK_CUT, "Cut track"},
        {ID_TRACK_PASTE, "Paste track"},
        {ID_SB_SETUP, "Storyboard properties (track menu)"},
        {IDC_VIEW_TOOL_SB_SETUP, "Storyboard properties"},
        {ID_MAT_CUT, "Cut (materials menu)"},
        {ID_MAT_DELETE, "Delete (materials menu)"},
        {ID_MAT_PASTE_FX, "FX paste (materials menu)"},
        {ID_MAT_MERGE, "Merge (materials menu)"},
        {ID_MAT_SPLIT, "Split (materials menu)"},
        {ID_MAT_PLAY_PROPERTIES, "In/out mode (materials menu)"},
        {ID_MAT_SAME_LENGTH, "Same length (materials menu)"},
        {ID_MAT_ALIGN_LEFT, "Align left (materials menu)"},
        {ID_MAT_ALIGN_RIGHT, "Align right (materials menu)"},
    };
    const auto found = labels.find(id);
    return found != labels.end() ? found->second : "Command " + std::to_string(id);
}

// ---- Preparing and running ---------------------------------------------------------------------

// The middle of a track's header on the row above the lowest one on screen (so that a track
// can move down as well as up).
CPoint TrackHeader() {
    const automation::EditorState editor = Host().State();
    const CRect header = editor.regions[automation::kHeaderColumn];
    const CKelSBBodyObj& body = Host().Body();
    const int height = body.GetTrackHeight();
    const int row = std::max(0, body.GetTrackCount() - 2);
    return {header.CenterPoint().x, editor.regions[automation::kTrackArea].top + row * height -
                                        editor.vscroll + height / 2};
}

void TrackMenu(UINT id) {
    kel::platform::Headless().QueuePopupMenuAnswer(id);
    Host().RightClick(TrackHeader());
}

void SelectFirstTwo() {
    const auto [first, second] = Host().TwoContainersOnLowestRow();
    Host().Click(first);
    Host().ShiftClick(second);
}

// The first two materials on screen of the lowest row that `fits` accepts (the first twice
// when there is one only).
template <class Fits>
std::pair<CPoint, CPoint> TwoOnLowestRow(Fits fits) {
    std::vector<CPoint> points;
    const CKelSBContainerObj* first = nullptr;
    for (const auto& [content, point] : Host().MaterialsOnRow(Host().Body().GetTrackCount() - 1)) {
        const CKelSBContainerObj* container = Host().Body().GetContainerOf(content);
        if (points.size() < 2 && fits(*content) && (first == nullptr || container != first)) {
            points.push_back(point);
            first = container;
        }
    }
    if (points.empty())
        return {};
    return {points.front(), points.back()};
}

bool HasEffect(const CKelSBContentBaseObj& content) {
    const auto* piece = dynamic_cast<const CKelSBContentPieceBaseObj*>(&content);
    return piece != nullptr && piece->GetIOSoftEffect() != nullptr;
}

bool IsPiece(const CKelSBContentBaseObj& content) {
    return dynamic_cast<const CKelSBContentPieceBaseObj*>(&content) != nullptr;
}

// The first material of the lowest row and the first of the row above selected, the one of
// the lowest row current (or the other when bAboveCurrent).
void SelectOnTwoRows(bool bAboveCurrent) {
    const int last = Host().Body().GetTrackCount() - 1;
    const auto below = Host().MaterialsOnRow(last);
    const auto above = Host().MaterialsOnRow(last - 1);
    if (below.empty() || above.empty())
        return;
    // Aligning outlets moves the other material right: the row's last ones on screen leave it
    // room; aligning entry points moves it left: the first ones.
    const CPoint b = bAboveCurrent ? below.back().second : below.front().second;
    const CPoint a = bAboveCurrent ? above.back().second : above.front().second;
    Host().Click(bAboveCurrent ? b : a);
    Host().ShiftClick(bAboveCurrent ? a : b);
}

void TimeLineMidScreen() {
    const automation::EditorState editor = Host().State();
    const CRect area = editor.regions[automation::kTrackArea];
    Host().Body().SetTimeLinePos(static_cast<DWORD>(editor.hscroll + area.Width() / 2) *
                                 Host().Body().GetFramesPerUnit() / 25);
}

// The storyboard properties dialog answered with a new name.
void QueueProperties() {
    kel::platform::Headless().QueueModal([](CWnd& dialog) {
        if (CWnd* name = dialog.GetDlgItem(static_cast<int>(CKelSBBodyAttrDlg::IDC_SB_NAME)))
            name->SetWindowText("Renamed");
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return IDOK;
    });
}

// A gap between materials of the lowest row. It is found while little is selected (finding it
// asks the editor's state, which lists the selection) and stays where it is: every step starts
// scrolled as Show leaves it.
CPoint GapOnLowestRow() {
    static std::map<const CKelSBBodyObj*, CPoint> gaps;
    auto found = gaps.find(&Host().Body());
    if (found == gaps.end()) {
        const std::vector<CPoint> points = Host().GapsOnLowestRow();
        found = gaps.emplace(&Host().Body(), points.empty() ? CPoint() : points.front()).first;
    }
    return found->second;
}

void SelectNothing() {
    Host().Click(GapOnLowestRow());
}

Operation OperationFor(const automation::CommandInfo& command) {
    const UINT id = command.firstId;
    Operation op{Label(id), SelectFirstTwo, [id] { Host().Command(id); }, false};
    if (command.needs == automation::kNeedsCurrentTrack) {
        op.run = [id] { TrackMenu(id); };
        op.prepare = [] {};
        op.many = true;
    }
    switch (id) {
    case ID_TRACK_APPEND:
    case ID_TRACK_INSERT:
    case ID_TRACK_MOVE_UP:
    case ID_TRACK_MOVE_DOWN:
        op.many = true; // a track operation
        break;
    case ID_TRACK_DELETE:
    case ID_TRACK_CUT:
        op.many = true;
        op.run = [id] {
            kel::platform::Headless().QueueMessageBoxAnswer(IDYES);
            TrackMenu(id);
        };
        break;
    case IDC_BTN_DELETE:
        op.run = [] {
            kel::platform::Headless().QueueMessageBoxAnswer(IDYES);
            Host().Command(IDC_BTN_DELETE);
        };
        break;
    case IDC_BTN_PASTE:
        // At the time line, after the last material: where nothing is in the way.
        op.prepare = [] {
            SelectFirstTwo();
            Host().Command(IDC_BTN_COPY);
            Host().Body().SetTimeLinePos(Host().Body().GetDuration() + 10);
        };
        break;
    case IDC_BTN_ALIGN_LEFT:
    case ID_MAT_ALIGN_LEFT:
        op.prepare = [] { SelectOnTwoRows(false); };
        break;
    case IDC_BTN_ALIGN_RIGHT:
    case ID_MAT_ALIGN_RIGHT:
        op.prepare = [] { SelectOnTwoRows(true); };
        break;
    case IDC_BTN_IO_MODE:
    case ID_MAT_PLAY_PROPERTIES:
        op.prepare = [] { Host().Click(TwoOnLowestRow(IsPiece).first); };
        // The host's effect editor answered with another effect.
        op.run = [id] {
            kel::platform::Headless().QueueModal([](CWnd& dialog) {
                if (auto* names = dynamic_cast<CComboBox*>(dialog.GetDlgItem(KEL_EFFECT_EDIT_NAME)))
                    names->SetCurSel(names->GetCurSel() == 1 ? 2 : 1);
                dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return IDOK;
            });
            Host().Command(id);
        };
        break;
    case ID_AREA_PASTE_HERE:
        // The track area's menu, opened over a gap of the lowest row.
        op.prepare = [] {
            SelectFirstTwo();
            Host().Command(IDC_BTN_COPY);
        };
        op.run = [] {
            kel::platform::Headless().QueuePopupMenuAnswer(ID_AREA_PASTE_HERE);
            Host().RightClick(GapOnLowestRow());
        };
        op.many = false;
        break;
    case IDC_BTN_PASTE_FX:
    case ID_MAT_PASTE_FX:
        // The effect is copied from a piece standing alone in its container: the first piece
        // of the row, split from its phases; it goes onto the next piece's container.
        op.prepare = [] {
            const auto [first, second] = TwoOnLowestRow(HasEffect);
            Host().Click(first);
            Host().Command(IDC_BTN_SPLIT);
            SelectNothing();
            Host().Click(first);
            Host().Command(IDC_BTN_COPY_FX);
            Host().Click(second);
        };
        break;
    case IDC_BTN_SPLIT:
    case ID_MAT_SPLIT:
        op.prepare = [] {
            SelectFirstTwo();
            Host().Command(IDC_BTN_MERGE);
        };
        break;
    case IDC_BTN_ENTRY_POINT:
    case IDC_BTN_OUTLET_POINT:
        op.prepare = TimeLineMidScreen;
        op.many = true; // every track
        break;
    case ID_TRACK_PASTE:
        op.prepare = [] { TrackMenu(ID_TRACK_COPY); };
        op.many = true;
        break;
    case ID_SB_SETUP:
    case IDC_VIEW_TOOL_SB_SETUP:
        op.run = [id] {
            QueueProperties();
            Host().Command(id);
        };
        op.many = true;
        break;
    default:
        break;
    }
    return op;
}

Operation SelectAllDelete() {
    return {"Select all + Delete", [] { Host().Command(IDC_BTN_SELECT_ALL); },
            [] {
                kel::platform::Headless().QueueMessageBoxAnswer(IDYES);
                Host().Command(IDC_BTN_DELETE);
            },
            true};
}

// ---- Measuring ---------------------------------------------------------------------------------

} // namespace kel::bench::scale
