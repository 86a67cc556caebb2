// The record the host hands the storyboard editor with WM_CG_PIECE_EFFECT_PREVIEW. The host
// keeps its own data in the first five fields; the editor reads only the sixth, the window the
// effect and its player run for.
#pragma once

#include <cstddef>

class CWnd;

struct KelPieceEffectPreview {
    void* reserved[5] = {}; // the host's own
    CWnd* pWnd = nullptr;
};

static_assert(offsetof(KelPieceEffectPreview, pWnd) == 5 * sizeof(void*),
              "the editor reads the window from the sixth pointer-sized field");
