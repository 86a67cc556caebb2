#include "bench_host.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "platform/controls.h"
#include "platform/headless_backend.h"
#include "platform/wnd.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace kel::bench {

namespace {

constexpr UINT kHScrollBarId = 100;
constexpr UINT kVScrollBarId = 101;
constexpr UINT kSelectorId = 106;

std::unique_ptr<BenchHost> g_host;

std::filesystem::path WorkFolder() {
    return std::filesystem::temp_directory_path() / ("kelsb_bench_" + std::to_string(::getpid()));
}

} // namespace

BenchHost& BenchHost::Get() {
    if (!g_host)
        g_host = std::make_unique<BenchHost>();
    return *g_host;
}

void BenchHost::Close() {
    g_host.reset();
}

BenchHost::BenchHost() {
    std::filesystem::create_directories(WorkFolder());
    ::setenv("KELSB_CONFIG_DIR", WorkFolder().c_str(), 1);
    if (!m_module.Load()) {
        std::fprintf(stderr, "%s\n", m_module.Error().c_str());
        std::exit(1);
    }
    m_hosts = std::make_unique<kel::script::HostWindows>([this] { return m_current; });
    const auto& editor = m_module.Entries();
    editor.open();
    editor.createDlg(m_hosts->Parent());
    editor.setItemEditWnd(m_hosts->ItemEdit());
    // Room for a view of 1920 x 1080 under the dialog's buttons: every point of it must lie
    // inside the windows around it, or input would not reach it.
    const CRect room(0, 0, kViewWidth + 400, kViewHeight + 400);
    m_hosts->Main()->MoveWindow(room);
    m_hosts->Parent()->MoveWindow(room);
    editor.getDlg()->MoveWindow(CRect(0, 0, kViewWidth + 200, kViewHeight + 200));
    editor.getDlg()->ShowWindow(SW_SHOW);
}

BenchHost::~BenchHost() {
    // The host's order at its end: history, editor, then the scenes the editor pointed at.
    m_module.Entries().undoRedoClose();
    m_module.Entries().close();
    m_hosts.reset();
    m_scenes.clear();
    std::error_code ec;
    std::filesystem::remove_all(WorkFolder(), ec);
}

const char* BenchHost::SceneFile() {
    static const std::string path = (WorkFolder() / "scene.kss").string();
    return path.c_str();
}

void BenchHost::Show(int materials) {
    const auto* size =
        std::find_if(std::begin(kSizes), std::end(kSizes),
                     [&](const StoryboardSize& s) { return s.materials == materials; });
    Show(size != std::end(kSizes) ? *size : StoryboardSize{materials, 1});
}

void BenchHost::Show(StoryboardSize size) {
    std::unique_ptr<CKelPlaySceneObj>& scene = m_scenes[{size.materials, size.tracks}];
    if (!scene)
        scene = MakeStoryboardScene(size);
    if (scene.get() != m_current) {
        m_current = scene.get();
        m_module.Entries().setCurScene(m_current);
    }
    CWnd& view = View();
    CRect rect;
    view.GetWindowRect(&rect);
    view.GetParent()->ScreenToClient(&rect);
    // The view has a one-pixel border around its client area.
    view.MoveWindow(
        CRect(rect.left, rect.top, rect.left + kViewWidth + 2, rect.top + kViewHeight + 2));
    ScrollToLastTrack();
    PaintInvalid();
}

void BenchHost::Open(std::unique_ptr<CKelPlaySceneObj> scene) {
    std::unique_ptr<CKelPlaySceneObj>& kept = m_scenes[{-1, static_cast<int>(m_scenes.size())}];
    kept = std::move(scene);
    m_current = kept.get();
    m_module.Entries().setCurScene(m_current);
    ScrollToLastTrack();
    PaintInvalid();
}

CKelPlaySceneObj& BenchHost::Scene() {
    return *m_current;
}

CKelSBBodyObj& BenchHost::Body() {
    return *m_current->GetSBEditObj()->GetCurSBBodyObj();
}

CWnd& BenchHost::View() {
    return *State().view;
}

automation::EditorState BenchHost::State() const {
    automation::EditorState state;
    const UINT message = RegisterWindowMessage(automation::kAutomationMessageName);
    m_module.Entries().getDlg()->SendMessage(message, 0, reinterpret_cast<LPARAM>(&state));
    return state;
}

void BenchHost::ScrollToLastTrack() {
    if (auto* bar = dynamic_cast<CScrollBar*>(View().GetDlgItem(static_cast<int>(kHScrollBarId))))
        bar->UserScroll(SB_LEFT, 0);
    if (auto* bar = dynamic_cast<CScrollBar*>(View().GetDlgItem(static_cast<int>(kVScrollBarId))))
        bar->UserScroll(SB_BOTTOM, 0);
}

std::vector<CPoint> BenchHost::PointsOnLowestRow() {
    std::vector<CPoint> points = MaterialsOnLowestRow();
    // Edges and gaps: a pixel inside each end of every material on screen and the pixel
    // right after it.
    AddEdgesOnLowestRow(points, {1, -2, 1});
    return points;
}

std::vector<CPoint> BenchHost::OutletsOnLowestRow() {
    std::vector<CPoint> points;
    AddEdgesOnLowestRow(points, {0, -2, 0});
    return points;
}

void BenchHost::AddEdgesOnLowestRow(std::vector<CPoint>& points, const EdgeOffsets& offsets) {
    const automation::EditorState state = State();
    const CRect area = state.regions[automation::kTrackArea];
    CKelSBBodyObj& body = Body();
    const int y = area.top + (body.GetTrackCount() - 1) * body.GetTrackHeight() - state.vscroll +
                  body.GetTrackHeight() / 2;
    const CObList& list = body.GetTrackObj(body.GetTrackCount() - 1)->GetContentList();
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const auto* content = static_cast<const CKelSBContentBaseObj*>(list.GetNext(pos));
        const int left = ClientX(content->GetStoryIn());
        const int right = ClientX(content->GetStoryOut());
        const int xs[] = {offsets.left ? left + offsets.left : 0,
                          offsets.outlet ? right + offsets.outlet : 0,
                          offsets.after ? right + offsets.after : 0};
        for (int x : xs) {
            if (x > area.left && x < area.right)
                points.emplace_back(x, y);
        }
    }
}

std::vector<CPoint> BenchHost::GapsOnLowestRow() {
    const std::vector<CPoint> outlets = OutletsOnLowestRow();
    const automation::EditorState state = State();
    const CRect area = state.regions[automation::kTrackArea];
    CKelSBBodyObj& body = Body();
    const CObList& list = body.GetTrackObj(body.GetTrackCount() - 1)->GetContentList();
    std::vector<CPoint> gaps;
    const CKelSBContentBaseObj* previous = nullptr;
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const auto* content = static_cast<const CKelSBContentBaseObj*>(list.GetNext(pos));
        if (previous) {
            const int from = ClientX(previous->GetStoryOut());
            if (ClientX(content->GetStoryIn()) - from >= 6 && from + 3 > area.left &&
                from + 3 < area.right && !outlets.empty())
                gaps.emplace_back(from + 3, outlets.front().y);
        }
        previous = content;
    }
    return gaps;
}

CPoint BenchHost::Screen(CPoint client) {
    View().ClientToScreen(&client);
    return client;
}

void BenchHost::Undo() {
    View().GetParent()->SendMessage(RegisterWindowMessage("WM_CG_UR_FROM_HISTORY"), 1, 1);
    PaintInvalid();
}

std::vector<CPoint> BenchHost::MaterialsOnLowestRow() {
    std::vector<CPoint> middles;
    for (const auto& [content, point] : MaterialsOnScreen())
        middles.push_back(point);
    return middles;
}

std::pair<CPoint, CPoint> BenchHost::TwoContainersOnLowestRow() {
    const auto materials = MaterialsOnScreen();
    for (const auto& [content, point] : materials) {
        if (Body().GetContainerOf(content) != Body().GetContainerOf(materials.front().first))
            return {materials.front().second, point};
    }
    return {materials.front().second, materials.front().second};
}

std::vector<std::pair<const CKelSBContentBaseObj*, CPoint>> BenchHost::MaterialsOnScreen() {
    return MaterialsOnRow(Body().GetTrackCount() - 1);
}

std::vector<std::pair<const CKelSBContentBaseObj*, CPoint>> BenchHost::MaterialsOnRow(int track) {
    // The state once: it lists the selection, which may be the whole storyboard.
    const automation::EditorState state = State();
    const CRect area = state.regions[automation::kTrackArea];
    CKelSBBodyObj& body = Body();
    const auto clientX = [&](DWORD frame) {
        const double pixels = frame * 25.0 / body.GetFramesPerUnit();
        return static_cast<int>(pixels + 0.5) - state.hscroll + area.left;
    };
    const int y =
        area.top + track * body.GetTrackHeight() - state.vscroll + body.GetTrackHeight() / 2;
    std::vector<std::pair<const CKelSBContentBaseObj*, CPoint>> materials;
    const CObList& list = body.GetTrackObj(track)->GetContentList();
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        const auto* content = static_cast<const CKelSBContentBaseObj*>(list.GetNext(pos));
        const int x = (clientX(content->GetStoryIn()) + clientX(content->GetStoryOut())) / 2;
        if (x > area.left + 10 && x < area.right - 10)
            materials.emplace_back(content, CPoint(x, y));
    }
    return materials;
}

int BenchHost::ClientX(DWORD frame) {
    const automation::EditorState state = State();
    const double pixels = frame * 25.0 / Body().GetFramesPerUnit();
    return static_cast<int>(pixels + 0.5) - state.hscroll +
           state.regions[automation::kTrackArea].left;
}

void BenchHost::Mouse(UINT message, CPoint client, UINT keyFlags) {
    CPoint screen = client;
    View().ClientToScreen(&screen);
    kel::platform::HeadlessBackend& backend = kel::platform::Headless();
    backend.SetCursorPosition(screen);
    kel::platform::DeliverMouse(message, screen, keyFlags);
    PaintInvalid();
}

void BenchHost::Press(CPoint client) {
    kel::platform::Headless().SetKeyDown(VK_LBUTTON, true);
    Mouse(WM_LBUTTONDOWN, client, MK_LBUTTON);
}

void BenchHost::Drag(CPoint client) {
    Mouse(WM_MOUSEMOVE, client, MK_LBUTTON);
}

void BenchHost::Release(CPoint client) {
    kel::platform::Headless().SetKeyDown(VK_LBUTTON, false);
    Mouse(WM_LBUTTONUP, client, 0);
}

void BenchHost::Hover(CPoint client) {
    Mouse(WM_MOUSEMOVE, client, 0);
}

void BenchHost::Click(CPoint client) {
    Press(client);
    Release(client);
}

void BenchHost::ShiftClick(CPoint client) {
    kel::platform::HeadlessBackend& backend = kel::platform::Headless();
    backend.SetKeyDown(VK_SHIFT, true);
    backend.SetKeyDown(VK_LBUTTON, true);
    Mouse(WM_LBUTTONDOWN, client, MK_LBUTTON | MK_SHIFT);
    backend.SetKeyDown(VK_LBUTTON, false);
    Mouse(WM_LBUTTONUP, client, MK_SHIFT);
    backend.SetKeyDown(VK_SHIFT, false);
}

void BenchHost::Command(UINT id) {
    View().SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    PaintInvalid();
}

void BenchHost::RightClick(CPoint client) {
    kel::platform::HeadlessBackend& backend = kel::platform::Headless();
    backend.SetKeyDown(VK_RBUTTON, true);
    Mouse(WM_RBUTTONDOWN, client, MK_RBUTTON);
    backend.SetKeyDown(VK_RBUTTON, false);
    Mouse(WM_RBUTTONUP, client, 0);
}

void BenchHost::Key(UINT virtualKey) {
    View().SetFocus();
    kel::platform::DeliverKey(WM_KEYDOWN, virtualKey, 1, 0);
    kel::platform::DeliverKey(WM_KEYUP, virtualKey, 1, 0xC000);
    PaintInvalid();
}

void BenchHost::StoryboardsChanged() {
    static const UINT message = RegisterWindowMessage("WM_CG_SB_CHANGE_LIST");
    m_module.Entries().getDlg()->SendMessage(message, 0, 0);
    ScrollToLastTrack();
    PaintInvalid();
}

void BenchHost::ChooseStoryboard(int nIndex) {
    CWnd& view = View();
    auto* selector = dynamic_cast<CComboBox*>(view.GetDlgItem(static_cast<int>(kSelectorId)));
    if (!selector)
        return;
    if (selector->SetCurSel(nIndex) != nIndex)
        return;
    view.SendMessage(WM_COMMAND, MAKEWPARAM(kSelectorId, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(selector));
    PaintInvalid();
}

void BenchHost::PaintInvalid() {
    kel::platform::UpdateAllWindows();
}

} // namespace kel::bench
