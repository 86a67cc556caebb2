// Small drawing tools shared by the painting files of the timeline view.
#pragma once

#include "platform/dc.h"

namespace kel::sbedit {

// Optionally fills `rect`, then draws nLines lines across its top in crTop and as many across
// its bottom (its last rows inside) in crBottom.
void Bevel(CDC* pDC, const CRect& rect, const COLORREF* pFill, COLORREF crTop, COLORREF crBottom,
           int nLines = 1);

// One step of a paint: clips the DC to `region` within `below` for the step's lifetime and
// restores the DC afterwards. It tests false when the region cannot show anything, and the step
// then draws nothing.
class PaintStep {
public:
    PaintStep(CDC* pDC, const CRect& region, const CRect& below);
    ~PaintStep();
    PaintStep(const PaintStep&) = delete;
    PaintStep& operator=(const PaintStep&) = delete;
    explicit operator bool() const { return m_nSaved != 0; }

private:
    CDC* m_pDC;
    int m_nSaved = 0;
};

// A band nHeight pixels high across `rect`, centred vertically, for one line of text.
CRect TextBand(const CRect& rect, int nHeight);

// The play (0) or lock (1) button of a track header: a 16-pixel square 3 pixels into the
// header at its top left, the lock button next to it.
CRect HeaderButtonRect(const CRect& header, int nButton);
// How far below a header's top its buttons reach.
inline constexpr int kHeaderButtonReach = 3 + 16;

} // namespace kel::sbedit
