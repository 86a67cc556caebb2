// The palette and drawing helpers shared by the skinned controls: a steel-blue face with light
// top-left and dark bottom-right edges, as the rest of the host's panels are drawn.
#pragma once

#include "platform/dc.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

namespace kel::gui {

inline constexpr COLORREF kFace = RGB(160, 165, 168);
inline constexpr COLORREF kFaceHot = RGB(184, 190, 196);
inline constexpr COLORREF kFacePressed = RGB(128, 134, 140);
inline constexpr COLORREF kLight = RGB(223, 223, 223);
inline constexpr COLORREF kShadow = RGB(96, 100, 104);
inline constexpr COLORREF kText = RGB(20, 20, 20);
inline constexpr COLORREF kTextDisabled = RGB(120, 120, 120);
inline constexpr COLORREF kCaption = RGB(96, 109, 137);
inline constexpr COLORREF kCaptionInactive = RGB(130, 136, 148);
inline constexpr COLORREF kCaptionText = RGB(255, 255, 255);
inline constexpr COLORREF kAquaTrack = RGB(180, 188, 200);
inline constexpr COLORREF kAquaThumb = RGB(96, 140, 196);
inline constexpr COLORREF kZtTrack = RGB(176, 176, 176);
inline constexpr COLORREF kZtThumb = RGB(120, 124, 128);

// A raised (or, pressed, sunken) bevel around `rect`, face filled.
inline void DrawBevel(CDC& dc, const CRect& rect, COLORREF face, bool sunken) {
    dc.FillSolidRect(rect, face);
    dc.Draw3dRect(rect, sunken ? kShadow : kLight, sunken ? kLight : kShadow);
}

// A small filled triangle pointing in `direction` (0 left, 1 right, 2 up, 3 down), drawn as
// stacked lines so that it stays crisp at any size.
void DrawArrow(CDC& dc, const CRect& box, int direction, COLORREF colour);

} // namespace kel::gui
