// The Storyboard List dialog's buttons, in the order they stand: what the tests of their
// captions walk, on the counting backend and on Qt.
#pragma once

#include "platform/win_consts.h"
#include "platform/win_types.h"
#include "res/resource.h"

namespace kel::test {

inline constexpr UINT kListButtonIds[] = {IDC_SBL_APPEND,  IDC_SBL_INSERT,    IDC_SBL_DELETE,
                                          IDC_SBL_MOVE_UP, IDC_SBL_MOVE_DOWN, IDC_SBL_CUT,
                                          IDC_SBL_COPY,    IDC_SBL_PASTE,     IDOK};

} // namespace kel::test
