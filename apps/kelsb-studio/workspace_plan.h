// Where the studio's two windows go on a first start, before the user has moved anything: the
// workspace (menus and panels) at the top of the desktop and the editor below it, the full
// width of both lined up, and neither covering the other nor the desktop's edge where it fits.
#pragma once

#include <QMargins>
#include <QRect>

namespace kel::studio {

struct WorkspacePlan {
    QRect workspace;    // the main window without its frame
    QRect editorClient; // the edit dialog's client area
};

// `available`: the desktop's free area; `frame`: what the window manager adds around a
// window's client area (its title bar above), estimated from the editor's own frame.
WorkspacePlan PlanFirstStart(const QRect& available, const QMargins& frame);

} // namespace kel::studio
