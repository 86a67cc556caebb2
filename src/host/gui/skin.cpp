#include "host/gui/skin.h"

#include "platform/gdi.h"

#include <algorithm>

namespace kel::gui {

void DrawArrow(CDC& dc, const CRect& box, int direction, COLORREF colour) {
    const int size = std::max(2, std::min(box.Width(), box.Height()) / 3);
    const CPoint centre = box.CenterPoint();
    CPen pen(PS_SOLID, 1, colour);
    CPen* old = dc.SelectObject(&pen);
    for (int i = 0; i < size; ++i) {
        const int half = i;
        switch (direction) {
        case 0: // tip on the left
            dc.MoveTo(centre.x - size / 2 + i, centre.y - half);
            dc.LineTo(centre.x - size / 2 + i, centre.y + half + 1);
            break;
        case 1:
            dc.MoveTo(centre.x + size / 2 - i, centre.y - half);
            dc.LineTo(centre.x + size / 2 - i, centre.y + half + 1);
            break;
        case 2:
            dc.MoveTo(centre.x - half, centre.y - size / 2 + i);
            dc.LineTo(centre.x + half + 1, centre.y - size / 2 + i);
            break;
        default:
            dc.MoveTo(centre.x - half, centre.y + size / 2 - i);
            dc.LineTo(centre.x + half + 1, centre.y + size / 2 - i);
            break;
        }
    }
    dc.SelectObject(old);
}

} // namespace kel::gui
