#include "soak_steps.h"

#include "runner.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/undo/ur_manager.h"
#include "res/resource.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <vector>

namespace kel::soak {

namespace {

using automation::EditorState;

// The view's time scale: one unit of frames per unit is this many pixels.
constexpr int kUnitPixels = 25;

constexpr std::array<const char*, 6> kPieces = {"Headline", "\"Lower Third\"", "Logo",
                                                "Score",    "Opening",         "Ticker"};
constexpr std::array<const char*, 21> kKeys = {
    "Delete", "Home", "End", "Left", "Right", "Up", "Down", "Space", "Escape", "Enter", "F6",
    "A",      "C",    "V",   "X",    "Z",     "Y",  "M",    "S",     "1",      "0"};

constexpr std::array<const char*, 8> kListButtons = {"append", "insert", "delete", "up",
                                                     "down",   "cut",    "copy",   "paste"};
constexpr std::array<const char*, 5> kScrollCodes = {"lineright", "pageright", "left", "lineleft",
                                                     "thumbposition"};

std::string Str(long long n) {
    return std::to_string(n);
}

// What a step is chosen from.
class Chooser {
public:
    Chooser(script::Runner& runner, std::mt19937& random, const EditorState& state, int undoFloor)
        : m_random(random), m_state(state), m_undoFloor(undoFloor) {
        const CKelSBEditObj* document = runner.Scene().GetSBEditObj();
        m_body = document ? document->GetCurSBBodyObj() : nullptr;
        m_bodies = document ? document->GetSBBodyCount() : 0;
        // The commands come from the editor's table, place by place in its order.
        for (const automation::CommandInfo& command : state.commands) {
            const int id = static_cast<int>(command.firstId);
            switch (command.place) {
            case automation::kPlaceButtonStrip:
                // Playback is the playback tests' to drive.
                if (id != IDC_BTN_PLAY)
                    m_buttons.push_back(id);
                break;
            case automation::kPlaceMaterialsMenu:
                m_materialMenu.push_back(id);
                break;
            case automation::kPlaceTrackAreaMenu:
                m_areaMenu.push_back(id);
                break;
            case automation::kPlaceTrackMenu:
                m_trackMenu.push_back(id);
                break;
            case automation::kPlaceStoryboardMenu:
                // The storyboard settings are a step of their own.
                if (!command.edits)
                    m_storyboardMenu.push_back(id);
                break;
            case automation::kPlaceStoryboardList:
                m_listMenu.push_back(id);
                break;
            default:
                break;
            }
        }
        // One zoom step of the zoom menu, which the storyboard menu leads to.
        m_storyboardMenu.push_back(ID_ZOOM_FIRST + 5);
    }

    Step Choose();

private:
    int Below(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    int Between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(m_random);
    }
    bool Chance(int percent) { return Below(100) < percent; }
    template <class Array>
    auto Pick(const Array& items) {
        if (items.empty())
            return typename Array::value_type{};
        return items[static_cast<std::size_t>(Below(static_cast<int>(items.size())))];
    }

    const CRect& Region(automation::Region region) const { return m_state.regions[region]; }
    int FrameX(long long frame) const {
        const double fpu = m_body ? std::max<DWORD>(1, m_body->GetFramesPerUnit()) : 25;
        return Region(automation::kTrackArea).left - m_state.hscroll +
               static_cast<int>(std::lround(static_cast<double>(frame) * kUnitPixels / fpu));
    }
    int TrackHeight() const { return m_body ? m_body->GetTrackHeight() : 30; }
    int TrackY(int track) const {
        return Region(automation::kTrackArea).top + track * TrackHeight() - m_state.vscroll +
               TrackHeight() / 2;
    }
    int TrackCount() const { return m_body ? m_body->GetTrackCount() : 0; }
    // Points far off the view land where the runner still takes them.
    std::string At(int x, int y) const {
        return Str(std::clamp(x, -5000, 20000)) + " " + Str(std::clamp(y, -5000, 20000));
    }
    std::string AnyPoint() {
        return At(Below(m_state.client.Width() + 20) - 10,
                  Below(m_state.client.Height() + 20) - 10);
    }
    std::string RandomTrackPoint() {
        const CRect& area = Region(automation::kTrackArea);
        return At(Between(area.left, std::max(area.left, area.right - 1)),
                  TrackY(Below(std::max(1, TrackCount() + 1))));
    }
    // A material of the current storyboard, preferring those in sight.
    const CKelSBContentBaseObj* AnyMaterial();
    std::string OnMaterial(const CKelSBContentBaseObj& material) {
        const int left = FrameX(material.GetStoryIn());
        const int right = FrameX(material.GetStoryOut());
        return At(left + (right > left + 6 ? Between(3, right - left - 4) : 0),
                  TrackY(material.GetTrackIndex()) + Between(-5, 5));
    }
    std::string Modifiers() {
        const int roll = Below(10);
        return roll == 0 ? " shift" : roll == 1 ? " ctrl" : "";
    }
    void MaybeAnswer(Step& step) {
        if (Chance(60))
            step.lines.push_back(std::string("answer ") +
                                 Pick(std::array{"yes", "yes", "no", "cancel", "ok"}));
    }

    Step Click();
    Step Drag();
    Step Trim();
    Step RightClick();
    Step DragIn();
    Step Key();
    Step Button();
    Step MenuCommand();
    Step HistoryUndoRedo();
    Step HostMessage();
    Step StoryboardList();
    Step Scroll();
    Step Settings();

    std::mt19937& m_random;
    const EditorState& m_state;
    std::vector<int> m_buttons;
    std::vector<int> m_materialMenu;
    std::vector<int> m_areaMenu;
    std::vector<int> m_trackMenu;
    std::vector<int> m_storyboardMenu;
    std::vector<int> m_listMenu;
    int m_undoFloor;
    const CKelSBBodyObj* m_body = nullptr;
    int m_bodies = 0;
};

const CKelSBContentBaseObj* Chooser::AnyMaterial() {
    if (!m_body || m_body->GetContainerCount() == 0)
        return nullptr;
    const CRect& area = Region(automation::kTrackArea);
    const CKelSBContentBaseObj* fallback = nullptr;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const CKelSBContainerObj* container =
            m_body->GetContainerObj(Below(m_body->GetContainerCount()));
        if (container->GetContentCount() == 0)
            continue;
        const CKelSBContentBaseObj* material =
            container->GetContentObj(Below(static_cast<int>(container->GetContentCount())));
        fallback = material;
        const int x = FrameX(material->GetStoryIn());
        const int y = TrackY(material->GetTrackIndex());
        if (x >= area.left && x < area.right && y >= area.top && y < area.bottom)
            return material;
    }
    return fallback;
}

Step Chooser::Click() {
    Step step{"click", {}};
    const int roll = Below(10);
    if (roll < 6) {
        if (const CKelSBContentBaseObj* material = AnyMaterial()) {
            const std::string verb = Chance(10) ? "dblclick " : "click ";
            step.lines.push_back(verb + OnMaterial(*material) +
                                 (verb == "click " ? Modifiers() : ""));
            return step;
        }
    }
    if (roll < 8) {
        // The header column: selecting a track, and now and then its play or lock button.
        const CRect& column = Region(automation::kHeaderColumn);
        const int track = Below(std::max(1, TrackCount()));
        const int top = TrackY(track) - TrackHeight() / 2;
        // Beside the play and lock buttons, which sit at the column's top left.
        int x = Between(std::min(column.left + 40, column.right - 1),
                        std::max(column.left, column.right - 1));
        int y = TrackY(track);
        if (Chance(10)) {
            step.kind = "track flag";
            x = column.left + 3 + 8 + (Chance(50) ? 16 : 0);
            y = top + 3 + 8;
            step.beyondHistory = true;
        }
        step.lines.push_back("click " + At(x, y) + Modifiers());
        return step;
    }
    if (roll < 9) {
        step.kind = "rubber band";
        const CRect& area = Region(automation::kTrackArea);
        const int x = Between(area.left, area.left + 400);
        const int y = Between(area.top, area.top + 120);
        step.lines.push_back("rubber " + At(x, y) + " " +
                             At(x + Between(5, 300), y + Between(5, 150)));
        step.lines.push_back("click " + RandomTrackPoint());
        return step;
    }
    step.lines.push_back("click " + AnyPoint() + Modifiers());
    return step;
}

Step Chooser::Drag() {
    Step step{"drag", {}};
    const CKelSBContentBaseObj* material = AnyMaterial();
    if (!material || Chance(15)) {
        step.kind = "drag anywhere"; // scrubbing the ruler, the markers, empty places
        step.lines.push_back("drag " + AnyPoint() + " " + AnyPoint() + " " + Str(Between(1, 12)));
        return step;
    }
    const std::string from = OnMaterial(*material);
    // A material is dragged when selected: usually it was clicked just before.
    if (Chance(70))
        step.lines.push_back("click " + from + (Chance(20) ? " shift" : ""));
    const int dx = Chance(20) ? Between(-400, 400) : Between(-60, 60);
    const int dy = Chance(40) ? Between(-2, 2) * TrackHeight() : Between(-4, 4);
    const int x = std::stoi(from.substr(0, from.find(' ')));
    const int y = std::stoi(from.substr(from.find(' ') + 1));
    step.lines.push_back("drag " + from + " " + At(x + dx, y + dy) + " " + Str(Between(2, 20)));
    return step;
}

Step Chooser::Trim() {
    Step step{"trim", {}};
    const CKelSBContentBaseObj* material = AnyMaterial();
    if (!material)
        return Click();
    const bool outlet = Chance(50);
    const int edge =
        outlet ? FrameX(material->GetStoryOut()) - 1 : FrameX(material->GetStoryIn()) + 1;
    const int y = TrackY(material->GetTrackIndex());
    const int to = edge + (Chance(20) ? Between(-300, 300) : Between(-30, 30));
    // The cursor comes to the edge first, as a hand does: the view finds the edge there.
    step.lines.push_back("move " + At(edge, y));
    step.lines.push_back("drag " + At(edge, y) + " " + At(to, y + Between(-3, 3)) + " " +
                         Str(Between(1, 8)));
    return step;
}

Step Chooser::RightClick() {
    Step step{"context menu", {}};
    const int roll = Below(10);
    std::string where;
    int id = 0;
    if (roll < 4 && AnyMaterial()) {
        where = OnMaterial(*AnyMaterial());
        id = Pick(m_materialMenu);
    } else if (roll < 6) {
        where = RandomTrackPoint();
        id = Pick(m_areaMenu);
    } else if (roll < 8) {
        const CRect& column = Region(automation::kHeaderColumn);
        where = At(column.left + column.Width() / 2, TrackY(Below(std::max(1, TrackCount()))));
        id = Pick(m_trackMenu);
    } else {
        const CRect& area = Region(automation::kTrackArea);
        where = At(Between(area.left, area.left + 300), TrackY(TrackCount()) + TrackHeight());
        id = Pick(m_storyboardMenu);
    }
    step.lines.push_back(Chance(10) ? std::string("menu none") : "menu " + Str(id));
    MaybeAnswer(step);
    step.lines.push_back("rclick " + where);
    return step;
}

Step Chooser::DragIn() {
    Step step{"drag in", {}};
    const CRect& area = Region(automation::kTrackArea);
    const std::string to = Chance(85) ? RandomTrackPoint() : AnyPoint();
    const std::string from = At(area.left + Below(std::max(1, area.Width())), area.top + 2);
    if (Chance(8)) {
        step.kind = "drag in bytes";
        std::string hex;
        const int length = Chance(50) ? 20 : Below(40);
        for (int i = 0; i < length; ++i) {
            static const char* const digits = "0123456789abcdef";
            hex += digits[Below(16)];
            hex += digits[Below(16)];
        }
        if (hex.empty())
            hex = "00";
        step.lines.push_back(std::string("dragin-raw ") + (Chance(30) ? "move " : "") + hex + " " +
                             from + " " + to);
        return step;
    }
    const std::string piece = Pick(kPieces);
    std::string type = Str(Below(4));
    if (piece == "Opening")
        type = "movie";
    else if (piece == "Ticker")
        type = "scroll";
    step.lines.push_back("dragin " + piece + " " + type + " " + from + " " + to + " " +
                         Str(Between(1, 6)));
    return step;
}

Step Chooser::Key() {
    Step step{"key", {}};
    MaybeAnswer(step);
    const int roll = Below(10);
    step.lines.push_back(std::string("key ") + Pick(kKeys) +
                         (roll < 4    ? " ctrl"
                          : roll == 4 ? " shift"
                          : roll == 5 ? " shift ctrl"
                                      : ""));
    return step;
}

Step Chooser::Button() {
    Step step{"button", {}};
    MaybeAnswer(step);
    int id = Pick(m_buttons);
    if (id == IDC_BTN_UPLOAD && Chance(50))
        id = IDC_BTN_DELETE;
    if (id == IDC_BTN_UPLOAD || id == IDC_BTN_DOWNLOAD)
        step.kind = "load or unload";
    step.lines.push_back("button " + Str(id));
    return step;
}

Step Chooser::MenuCommand() {
    Step step{"menu command", {}};
    MaybeAnswer(step);
    const int roll = Below(4);
    const int id = roll == 0   ? Pick(m_materialMenu)
                   : roll == 1 ? Pick(m_areaMenu)
                   : roll == 2 ? Pick(m_trackMenu)
                               : Pick(m_storyboardMenu);
    step.lines.push_back("command " + Str(id));
    return step;
}

Step Chooser::HistoryUndoRedo() {
    Step step{"history", {}};
    const CKelURBase* history = m_body ? m_body->GetURBase() : nullptr;
    bool undo = Chance(55);
    // Down to the floor the round trips go back to; then forward.
    if (undo && history && history->GetUndoStepCount() <= m_undoFloor)
        undo = false;
    int available = 0;
    if (history)
        available = undo ? history->GetUndoStepCount() - m_undoFloor : history->GetRedoStepCount();
    // Mostly within what the history holds, sometimes beyond it.
    const int steps = Chance(97) ? Between(1, std::max(1, std::min(available, 6))) : Between(0, 50);
    step.lines.push_back("send WM_CG_UR_FROM_HISTORY " + Str(undo ? 1 : 0) + " " + Str(steps));
    return step;
}

Step Chooser::HostMessage() {
    Step step{"host", {}};
    switch (Below(9)) {
    case 8:
        if (Chance(60))
            return Scroll();
        // The host closes the editor (its history goes) and opens it again.
        step.kind = "close and open";
        step.beyondHistory = true;
        step.lines.push_back("close");
        step.lines.push_back("open 1000 400");
        break;
    case 0:
        step.lines.push_back("send WM_CG_SB_REFRESH_WINDOW 0 0");
        break;
    case 1:
        step.lines.push_back("send WM_CG_SB_CHANGE_LIST 0 0");
        break;
    case 2:
        step.lines.push_back("send WM_UPDATE_PLAY_CURRENT_FRAME 0 " + Str(Below(600)));
        break;
    case 3:
        step.lines.push_back("send WM_CG_SB_REFRESH_CONTENTS 0 contents");
        break;
    case 4:
        // The host's item selection is the host's own; the items go on new tracks on their own
        // step, which the history records.
        if (Chance(50)) {
            step.kind = "host item selection";
            step.lines.push_back(std::string(Chance(50) ? "select-item " : "unselect-item ") +
                                 Pick(kPieces));
        } else {
            step.kind = "add items";
            step.lines.push_back("send WM_CG_ADD_ITEM_TO_SB 0 none");
        }
        break;
    case 5:
        step.lines.push_back("hide");
        step.lines.push_back("show");
        break;
    case 6:
        step.lines.push_back("deactivate");
        step.lines.push_back("activate");
        break;
    default:
        step.kind = "resize";
        step.lines.push_back("size " + Str(Between(300, 1400)) + " " + Str(Between(150, 600)));
        break;
    }
    return step;
}

Step Chooser::StoryboardList() {
    Step step{"storyboard list", {}, true};
    if (Chance(30)) {
        MaybeAnswer(step);
        step.lines.push_back("command " + Str(Pick(m_listMenu)));
        return step;
    }
    std::string line = "list open";
    const int actions = Between(1, 3);
    for (int i = 0; i < actions; ++i) {
        // Only the first choice knows how many storyboards there are.
        line += " select " + Str(i == 0 ? Below(std::max(1, m_bodies)) : 0);
        if (Chance(70))
            line += std::string(" press ") + Pick(kListButtons);
    }
    line += " close";
    MaybeAnswer(step);
    step.lines.push_back(line);
    return step;
}

Step Chooser::Scroll() {
    Step step{"scroll", {}};
    const int roll = Below(3);
    const std::string bar = roll == 0 ? "h" : roll == 1 ? "v" : "zoom";
    step.lines.push_back("scroll " + bar + " " + Pick(kScrollCodes) + " " + Str(Below(200)));
    return step;
}

Step Chooser::Settings() {
    Step step{"settings", {}};
    if (Chance(30)) {
        step.lines.push_back("edit-attr cancel");
    } else {
        step.lines.push_back("edit-attr ok height=" + Str(Between(16, 60)) +
                             " frames=" + Str(Below(2)) + " rangeonly=" + Str(Below(2)) +
                             " start=" + Str(Below(100)) + " end=" + Str(Between(100, 900)));
    }
    step.lines.push_back("command " + Str(ID_SB_SETUP));
    return step;
}

Step Chooser::Choose() {
    // Weights: the editing gestures most, the rest now and then.
    struct Kind {
        int weight;
        Step (Chooser::*choose)();
    };
    static const std::array<Kind, 13> kinds = {{{20, &Chooser::Click},
                                                {14, &Chooser::Drag},
                                                {8, &Chooser::Trim},
                                                {9, &Chooser::RightClick},
                                                {7, &Chooser::DragIn},
                                                {8, &Chooser::Key},
                                                {12, &Chooser::Button},
                                                {6, &Chooser::MenuCommand},
                                                {8, &Chooser::HistoryUndoRedo},
                                                {3, &Chooser::HostMessage},
                                                {1, &Chooser::StoryboardList},
                                                {2, &Chooser::Scroll},
                                                {1, &Chooser::Settings}}};
    // While loaded the storyboard list does not open: the step unloads instead.
    if (m_state.loaded && Chance(50))
        return Step{"load or unload", {"button " + Str(IDC_BTN_DOWNLOAD)}};
    int total = 0;
    for (const Kind& kind : kinds)
        total += kind.weight;
    int roll = Below(total);
    for (const Kind& kind : kinds) {
        if (roll < kind.weight && kind.choose == &Chooser::StoryboardList && m_state.loaded)
            return Step{"load or unload", {"button " + Str(IDC_BTN_DOWNLOAD)}};
        if (roll < kind.weight)
            return (this->*kind.choose)();
        roll -= kind.weight;
    }
    return Click();
}

} // namespace

Step ChooseStep(script::Runner& runner, std::mt19937& random, int undoFloor) {
    const std::optional<EditorState> state = runner.QueryEditor();
    if (!state || !state->hasView)
        return Step{"reopen", {"open 1000 400"}, true};
    return Chooser(runner, random, *state, undoFloor).Choose();
}

} // namespace kel::soak
