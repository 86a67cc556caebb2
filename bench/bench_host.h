// The editor as the benchmarks drive it: libKelSBEdit.so loaded as a host loads it, the host's
// windows around it, the timeline view's client area 1920 x 1080, and one generated scene per
// size. Input goes through the platform's delivery, as a desktop's would, and whatever a step
// invalidates is painted before the step counts as done.
#pragma once

#include "dialog/automation.h"
#include "host_windows.h"
#include "hostkit/module_loader.h"
#include "storyboard_generator.h"

#include "platform/geometry.h"
#include "platform/win_types.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

class CWnd;
class CKelPlaySceneObj;
class CKelSBBodyObj;
class CKelSBContentBaseObj;

namespace kel::bench {

class BenchHost {
public:
    static constexpr int kViewWidth = 1920;
    static constexpr int kViewHeight = 1080;

    // The one host of a benchmark program, opened on first use on the backend installed then;
    // Close ends it while the backend still stands.
    static BenchHost& Get();
    static void Close();

    // Opens the editor on the backend installed now; exits the process when the module
    // cannot be loaded (nothing can be measured then).
    BenchHost();
    ~BenchHost();
    BenchHost(const BenchHost&) = delete;
    BenchHost& operator=(const BenchHost&) = delete;

    // Makes the scene of that many materials the editor's (generated on first use), scrolled
    // down to its last track, whose containers come last: where walking the storyboard costs
    // most.
    void Show(int materials);
    // The same for a storyboard of that size (its own scene, made on first use).
    void Show(StoryboardSize size);
    // Makes `scene` the editor's, kept with the generated ones, scrolled as Show leaves it.
    void Open(std::unique_ptr<CKelPlaySceneObj> scene);
    CKelPlaySceneObj& Scene();
    CKelSBBodyObj& Body();
    CWnd& View();
    automation::EditorState State() const;

    // Client points of the view: inside, at the edges of and between the materials of the
    // lowest row on screen; and the middles of materials of different containers there.
    std::vector<CPoint> PointsOnLowestRow();
    std::vector<CPoint> MaterialsOnLowestRow();
    // Two pixels inside the outlet of each material of the lowest row on screen: its edge.
    std::vector<CPoint> OutletsOnLowestRow();
    // A few pixels into each gap of at least six pixels between materials of the lowest row.
    std::vector<CPoint> GapsOnLowestRow();
    // Client to screen coordinates of the view.
    CPoint Screen(CPoint client);
    // One step back in the current storyboard's history, as the history panel asks for it.
    void Undo();
    // The middles of the first materials on screen of the lowest row that belong to two
    // different containers.
    std::pair<CPoint, CPoint> TwoContainersOnLowestRow();
    // The materials on screen of a track's row, each with the middle of its rectangle.
    std::vector<std::pair<const CKelSBContentBaseObj*, CPoint>> MaterialsOnRow(int track);

    // The left button pressed, moved with it held, released; a move without it; a click.
    void Press(CPoint client);
    void Drag(CPoint client);
    void Release(CPoint client);
    void Hover(CPoint client);
    void Click(CPoint client);
    // A click with Shift held: adds to the selection and makes the material current.
    void ShiftClick(CPoint client);
    // A command of the view's buttons and menus.
    void Command(UINT id);
    // The right button pressed and released: the view opens the context menu of the place.
    void RightClick(CPoint client);
    // A key pressed and released with the focus on the view.
    void Key(UINT virtualKey);
    // Tells the editor that the scene's list of storyboards changed, as the host does.
    void StoryboardsChanged();
    // Chooses storyboard nIndex in the view's storyboard selector.
    void ChooseStoryboard(int nIndex);
    // Paints whatever is invalid, as a desktop's next paint would.
    void PaintInvalid();

    // Where the save and load measures keep their file.
    static const char* SceneFile();

private:
    // The materials on screen of the lowest row, each with the middle of its rectangle.
    std::vector<std::pair<const CKelSBContentBaseObj*, CPoint>> MaterialsOnScreen();
    void Mouse(UINT message, CPoint client, UINT keyFlags);
    // Points at the edges of the materials of the lowest row on screen: at these offsets from
    // the entry point, the outlet and past the outlet (0 leaves that point out).
    struct EdgeOffsets {
        int left;
        int outlet;
        int after;
    };
    void AddEdgesOnLowestRow(std::vector<CPoint>& points, const EdgeOffsets& offsets);
    void ScrollToLastTrack();
    // The client x of a frame at the storyboard's scale.
    int ClientX(DWORD frame);

    kel::hostkit::ModuleLoader m_module;
    std::map<std::pair<int, int>, std::unique_ptr<CKelPlaySceneObj>> m_scenes;
    CKelPlaySceneObj* m_current = nullptr;
    std::unique_ptr<kel::script::HostWindows> m_hosts;
};

} // namespace kel::bench
