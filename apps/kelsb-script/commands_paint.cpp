// `paint`: the timeline view paints itself once, whole, and the drawing operations its device
// context recorded are printed as one JSON array on one line, in drawing order.
#include "runner.h"

#include "platform/dc.h"
#include "platform/gdi.h"
#include "platform/wnd.h"

#include <cstdio>
#include <ostream>

namespace kel::script {

namespace {

using kel::platform::DrawRecord;

Json Colour(COLORREF colour) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", GetRValue(colour), GetGValue(colour),
                  GetBValue(colour));
    return Json(text);
}

Json RectJson(const CRect& rect) {
    return Json(Json::Array{Json(rect.left), Json(rect.top), Json(rect.right), Json(rect.bottom)});
}

Json PointJson(CPoint point) {
    return Json(Json::Array{Json(point.x), Json(point.y)});
}

const char* PenStyle(UINT style) {
    switch (style) {
    case PS_SOLID:
        return "solid";
    case PS_DASH:
        return "dash";
    case PS_DOT:
        return "dot";
    case PS_DASHDOT:
        return "dashdot";
    case PS_DASHDOTDOT:
        return "dashdotdot";
    case PS_NULL:
        return "null";
    default:
        return "insideframe";
    }
}

const char* HatchName(LONG hatch) {
    static const char* const names[] = {"horizontal", "vertical", "fdiagonal",
                                        "bdiagonal",  "cross",    "diagcross"};
    return hatch >= 0 && hatch < 6 ? names[hatch] : "unknown";
}

Json PenJson(const LOGPEN& pen) {
    Json out = Json::MakeObject();
    out.Set("style", PenStyle(pen.lopnStyle));
    out.Set("width", static_cast<int>(pen.lopnWidth.x));
    out.Set("color", Colour(pen.lopnColor));
    return out;
}

Json BrushJson(const LOGBRUSH& brush) {
    Json out = Json::MakeObject();
    if (brush.lbStyle == BS_NULL) {
        out.Set("style", "null");
        return out;
    }
    out.Set("style", brush.lbStyle == BS_HATCHED ? "hatched" : "solid");
    out.Set("color", Colour(brush.lbColor));
    if (brush.lbStyle == BS_HATCHED)
        out.Set("hatch", HatchName(brush.lbHatch));
    return out;
}

// Each operation with what decides its look: lines their points and pen, fills their colour,
// shapes their pen and brush, texts their text and colour, pictures their resource.
Json Describe(const DrawRecord& r) {
    Json op = Json::MakeObject();
    op.Set("op", r.name);
    if (r.Is("LineTo")) {
        op.Set("from", PointJson(r.from));
        op.Set("to", PointJson(r.to));
    } else {
        op.Set("rect", RectJson(r.rect));
    }
    if (r.Is("FillSolidRect")) {
        op.Set("color", Colour(r.color));
    } else if (r.Is("Draw3dRect")) {
        op.Set("color", Colour(r.color));
        op.Set("color2", Colour(r.color2));
    } else if (r.Is("FillRect") || r.Is("FrameRect")) {
        op.Set("brush", BrushJson(r.brush));
    } else if (r.Is("LineTo")) {
        op.Set("pen", PenJson(r.pen));
    } else if (r.Is("Rectangle") || r.Is("Ellipse")) {
        op.Set("pen", PenJson(r.pen));
        op.Set("brush", BrushJson(r.brush));
    } else if (r.Is("TextOut") || r.Is("DrawText")) {
        op.Set("text", std::string(r.text.GetString()));
        op.Set("color", Colour(r.textColor));
        if (r.bkMode == OPAQUE)
            op.Set("background", Colour(r.bkColor));
    } else if (r.Is("BitBlt") || r.Is("StretchBlt") || r.Is("DrawState")) {
        op.Set("bitmap", static_cast<int>(r.bitmapTag));
    }
    if (r.rop2 == R2_XORPEN)
        op.Set("xor", true);
    return op;
}

} // namespace

void Runner::Paint(const ScriptLine& line) {
    CheckArity(line, 0, 0, "paint");
    CWnd* view = RequireView();
    if (!view->IsWindowVisible())
        throw CommandError("the timeline view is not shown");
    view->Invalidate(FALSE);
    view->UpdateWindow();
    Json ops = Json::MakeArray();
    for (const DrawRecord& record : m_backend.LastPaint(*view))
        ops.Push(Describe(record));
    m_out << ops.Write() << std::endl;
}

} // namespace kel::script
