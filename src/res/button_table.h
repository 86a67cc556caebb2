// Which bitmap and which tooltip text each button of the editor uses. The edit dialog binds its
// template buttons with this table, the timeline view creates its tool buttons from it.
#pragma once

#include "platform/win_types.h"

#include <span>

namespace kel::res {

struct ButtonResources {
    UINT controlId; // template control id (edit dialog) or command id (view tool button)
    UINT bitmapId;  // a strip of BUTTON_FRAME_COUNT frames, see resource.h
    UINT tipId;     // string id of the tooltip
};

// The 28 buttons of the edit dialog, in template order.
std::span<const ButtonResources> EditDialogButtons();

// The six tool buttons of the timeline view's corner box, left to right.
std::span<const ButtonResources> ViewToolButtons();

} // namespace kel::res
