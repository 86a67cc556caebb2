#include "workspace_plan.h"

#include <algorithm>

namespace kel::studio {

namespace {

constexpr int kMargin = 16; // from the desktop's edge
constexpr int kGap = 16;    // between the two windows, room for a taller title bar
constexpr int kPreferredWidth = 1040;
constexpr int kMinWidth = 640;
constexpr int kPreferredWorkspaceHeight = 400;
constexpr int kMinWorkspaceHeight = 240;
constexpr int kEditorHeight = 300;

} // namespace

WorkspacePlan PlanFirstStart(const QRect& available, const QMargins& frame) {
    const int frameWidth = frame.left() + frame.right();
    const int frameHeight = frame.top() + frame.bottom();
    const int width = std::max(
        kMinWidth, std::min(kPreferredWidth, available.width() - 2 * kMargin - frameWidth));
    // The editor keeps its height; the workspace gives way on a low desktop.
    const int room = available.height() - 2 * kMargin - 2 * frameHeight - kGap - kEditorHeight;
    const int workspaceHeight =
        std::max(kMinWorkspaceHeight, std::min(kPreferredWorkspaceHeight, room));

    WorkspacePlan plan;
    plan.workspace = QRect(available.left() + kMargin + frame.left(),
                           available.top() + kMargin + frame.top(), width, workspaceHeight);
    const int editorTop = plan.workspace.bottom() + 1 + frame.bottom() + kGap + frame.top();
    plan.editorClient = QRect(plan.workspace.left(), editorTop, width, kEditorHeight);
    return plan;
}

} // namespace kel::studio
