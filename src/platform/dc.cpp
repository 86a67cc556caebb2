#include "platform/dc.h"

#include "platform/backend.h"
#include "platform/recording_dc.h"

#include <algorithm>
#include <optional>
#include <utility>

using kel::platform::DrawRecord;

// Selected objects keep a copy of their description, so that a pen deleted while it is still
// selected does not leave the DC reading freed memory; the pointers are only handed back.
struct CDC::Selection {
    CPen* pen = nullptr;
    LOGPEN penDesc;
    CBrush* brush = nullptr;
    LOGBRUSH brushDesc;
    CFont* font = nullptr;
    LOGFONT fontDesc;
    CBitmap* bitmap = nullptr;
};

struct CDC::State {
    struct Layer {
        std::optional<std::vector<CRect>> clipRegion; // none: only the device bounds clip
        Selection selection;
        int rop2 = R2_COPYPEN;
        COLORREF textColor = RGB(0, 0, 0);
        COLORREF bkColor = RGB(255, 255, 255);
        int bkMode = OPAQUE;
        CPoint position;

        Layer() {
            selection.pen = static_cast<CPen*>(GetStockObject(BLACK_PEN));
            selection.penDesc = selection.pen->GetDesc();
            selection.brush = static_cast<CBrush*>(GetStockObject(WHITE_BRUSH));
            selection.brushDesc = selection.brush->GetDesc();
            selection.font = static_cast<CFont*>(GetStockObject(SYSTEM_FONT));
            selection.fontDesc = selection.font->GetDesc();
        }
    };
    bool usable = false;
    bool memory = false;
    CRect bounds;
    Layer current;
    std::vector<Layer> saved;
};

namespace {

std::vector<CRect> Intersect(const std::vector<CRect>& region, const CRect& rect) {
    std::vector<CRect> out;
    for (const CRect& r : region) {
        CRect i = r & rect;
        if (!i.IsRectEmpty())
            out.push_back(i);
    }
    return out;
}

// `r` minus `hole`, as up to four rectangles.
void Subtract(const CRect& r, const CRect& hole, std::vector<CRect>& out) {
    CRect h = r & hole;
    if (h.IsRectEmpty()) {
        out.push_back(r);
        return;
    }
    if (h.top > r.top)
        out.emplace_back(r.left, r.top, r.right, h.top);
    if (h.bottom < r.bottom)
        out.emplace_back(r.left, h.bottom, r.right, r.bottom);
    if (h.left > r.left)
        out.emplace_back(r.left, h.top, h.left, h.bottom);
    if (h.right < r.right)
        out.emplace_back(h.right, h.top, r.right, h.bottom);
}

CRect Normalized(int x, int y, int cx, int cy) {
    CRect r(x, y, x + cx, y + cy);
    r.NormalizeRect();
    return r;
}

// The pixels a line covers: its end point is never drawn.
CRect LineBounds(CPoint a, CPoint b, int width) {
    auto span = [](int from, int to, int& lo, int& hi) {
        if (from < to) {
            lo = from;
            hi = to;
        } else if (from > to) {
            lo = to + 1;
            hi = from + 1;
        } else {
            lo = from;
            hi = from + 1;
        }
    };
    CRect r;
    span(a.x, b.x, r.left, r.right);
    span(a.y, b.y, r.top, r.bottom);
    int extra = std::max(width, 1) / 2;
    r.InflateRect(extra, extra);
    return r;
}

} // namespace

CDC::CDC() : m_state(std::make_unique<State>()) {}

CDC::CDC(std::unique_ptr<CDC> target) : CDC() {
    m_target = std::move(target);
}

CDC::~CDC() = default;

void CDC::SetTarget(std::unique_ptr<CDC> target) {
    m_target = std::move(target);
}

CDC& CDC::Target() {
    return m_target ? m_target->Target() : *this;
}
const CDC& CDC::Target() const {
    return m_target ? m_target->Target() : *this;
}

void CDC::Render(const DrawRecord& /*record*/) {}

std::unique_ptr<CDC> CDC::CreateCompatible() {
    return std::make_unique<CRecordingDC>(CRect(0, 0, 1, 1));
}

void CDC::SetDeviceBounds(const CRect& bounds) {
    m_state->bounds = bounds;
    m_state->usable = true;
}

const CRect& CDC::GetDeviceBounds() const {
    return Target().m_state->bounds;
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    std::unique_ptr<CDC> memory = dc ? dc->Target().CreateCompatible() : CreateCompatible();
    if (!memory)
        return FALSE;
    CDC& t = memory->Target();
    t.m_state->memory = true;
    // A new memory DC holds a one-pixel surface until a bitmap is selected into it.
    t.SetDeviceBounds(CRect(0, 0, 1, 1));
    m_target = std::move(memory);
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!m_target)
        return FALSE;
    m_target.reset();
    return TRUE;
}

HDC CDC::GetSafeHdc() const {
    return Target().m_state->usable ? const_cast<CDC*>(this) : nullptr;
}

int CDC::SaveDC() {
    State& s = *Target().m_state;
    s.saved.push_back(s.current);
    return static_cast<int>(s.saved.size());
}

BOOL CDC::RestoreDC(int savedDC) {
    State& s = *Target().m_state;
    int count = static_cast<int>(s.saved.size());
    int level = savedDC < 0 ? count + 1 + savedDC : savedDC;
    if (level < 1 || level > count)
        return FALSE;
    s.current = std::move(s.saved[static_cast<std::size_t>(level - 1)]);
    s.saved.resize(static_cast<std::size_t>(level - 1));
    return TRUE;
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
    return IntersectClipRect(CRect(left, top, right, bottom));
}

int CDC::IntersectClipRect(const CRect& rect) {
    State& s = *Target().m_state;
    s.current.clipRegion =
        s.current.clipRegion ? Intersect(*s.current.clipRegion, rect) : Intersect({s.bounds}, rect);
    CRect box;
    return GetClipBox(&box);
}

int CDC::ExcludeClipRect(const CRect& rect) {
    State& s = *Target().m_state;
    std::vector<CRect> base =
        s.current.clipRegion ? *s.current.clipRegion : std::vector<CRect>{s.bounds};
    std::vector<CRect> out;
    for (const CRect& r : base)
        Subtract(r, rect, out);
    s.current.clipRegion = std::move(out);
    CRect box;
    return GetClipBox(&box);
}

int CDC::SelectClipRgn(const CRgn* region) {
    State& s = *Target().m_state;
    if (!region)
        s.current.clipRegion.reset();
    else if (!region->GetSafeHandle())
        return RGN_ERROR;
    else
        s.current.clipRegion = region->GetRects();
    CRect box;
    return GetClipBox(&box);
}

namespace {

// Calls `visit` with each non-empty part of the visible region: the clip region within the
// device bounds, or the bounds alone. Every drawing call asks for its clip box and whether it
// shows, so neither builds the region.
template <class Visit>
void ForEachVisible(const CRect& bounds, const std::optional<std::vector<CRect>>& clip,
                    Visit visit) {
    if (!clip) {
        if (!bounds.IsRectEmpty())
            visit(bounds);
        return;
    }
    for (const CRect& r : *clip) {
        const CRect part = r & bounds;
        if (!part.IsRectEmpty())
            visit(part);
    }
}

} // namespace

int CDC::GetClipBox(CRect* rect) const {
    const State& s = *Target().m_state;
    CRect box;
    int parts = 0;
    ForEachVisible(s.bounds, s.current.clipRegion, [&](const CRect& part) {
        box |= part;
        ++parts;
    });
    if (rect)
        *rect = box;
    if (parts == 0)
        return NULLREGION;
    return parts == 1 ? SIMPLEREGION : COMPLEXREGION;
}

CRect CDC::EffectiveClip() const {
    CRect box;
    GetClipBox(&box);
    return box;
}

BOOL CDC::RectVisible(const CRect& rect) const {
    const State& s = *Target().m_state;
    CRect r = rect;
    r.NormalizeRect();
    bool visible = false;
    ForEachVisible(s.bounds, s.current.clipRegion,
                   [&](const CRect& part) { visible = visible || !(part & r).IsRectEmpty(); });
    return visible ? TRUE : FALSE;
}

BOOL CDC::PtVisible(int x, int y) const {
    return RectVisible(CRect(x, y, x + 1, y + 1));
}

CPen* CDC::SelectObject(CPen* pen) {
    if (!pen || !pen->GetSafeHandle())
        return nullptr;
    Selection& sel = Target().m_state->current.selection;
    CPen* previous = sel.pen;
    sel.pen = pen;
    sel.penDesc = pen->GetDesc();
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush) {
    if (!brush || !brush->GetSafeHandle())
        return nullptr;
    Selection& sel = Target().m_state->current.selection;
    CBrush* previous = sel.brush;
    sel.brush = brush;
    sel.brushDesc = brush->GetDesc();
    return previous;
}

CFont* CDC::SelectObject(CFont* font) {
    if (!font || !font->GetSafeHandle())
        return nullptr;
    Selection& sel = Target().m_state->current.selection;
    CFont* previous = sel.font;
    sel.font = font;
    sel.fontDesc = font->GetDesc();
    return previous;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    State& s = *Target().m_state;
    // Only a memory DC has a surface that a bitmap can become.
    if (!s.memory || !bitmap || !bitmap->GetSafeHandle())
        return nullptr;
    CBitmap* previous = s.current.selection.bitmap;
    s.current.selection.bitmap = bitmap;
    s.bounds = CRect(CPoint(0, 0), bitmap->GetSize());
    return previous;
}

CGdiObject* CDC::SelectObject(CGdiObject* object) {
    if (!object)
        return nullptr;
    switch (object->GetObjectType()) {
    case OBJ_PEN:
        return SelectObject(static_cast<CPen*>(object));
    case OBJ_BRUSH:
        return SelectObject(static_cast<CBrush*>(object));
    case OBJ_FONT:
        return SelectObject(static_cast<CFont*>(object));
    case OBJ_BITMAP:
        return SelectObject(static_cast<CBitmap*>(object));
    default:
        return nullptr;
    }
}

CGdiObject* CDC::SelectStockObject(int index) {
    return SelectObject(GetStockObject(index));
}

CPen* CDC::GetCurrentPen() const {
    return Target().m_state->current.selection.pen;
}
CBrush* CDC::GetCurrentBrush() const {
    return Target().m_state->current.selection.brush;
}
CFont* CDC::GetCurrentFont() const {
    return Target().m_state->current.selection.font;
}
CBitmap* CDC::GetCurrentBitmap() const {
    return Target().m_state->current.selection.bitmap;
}

int CDC::SetROP2(int mode) {
    if (mode < R2_BLACK || mode > R2_WHITE)
        return 0;
    return std::exchange(Target().m_state->current.rop2, mode);
}
int CDC::GetROP2() const {
    return Target().m_state->current.rop2;
}

COLORREF CDC::SetTextColor(COLORREF color) {
    return std::exchange(Target().m_state->current.textColor, color);
}
COLORREF CDC::GetTextColor() const {
    return Target().m_state->current.textColor;
}

COLORREF CDC::SetBkColor(COLORREF color) {
    return std::exchange(Target().m_state->current.bkColor, color);
}
COLORREF CDC::GetBkColor() const {
    return Target().m_state->current.bkColor;
}

int CDC::SetBkMode(int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return std::exchange(Target().m_state->current.bkMode, mode);
}
int CDC::GetBkMode() const {
    return Target().m_state->current.bkMode;
}

LOGFONT CDC::CurrentFontDesc() const {
    return Target().m_state->current.selection.fontDesc;
}

DrawRecord CDC::Begin(const char* name, const CRect& bounds) const {
    const State& s = *Target().m_state;
    DrawRecord r;
    r.name = name;
    r.rect = bounds;
    r.pen = s.current.selection.penDesc;
    r.brush = s.current.selection.brushDesc;
    r.rop2 = s.current.rop2;
    r.textColor = s.current.textColor;
    r.bkColor = s.current.bkColor;
    r.bkMode = s.current.bkMode;
    r.font = s.current.selection.fontDesc;
    r.clip = EffectiveClip();
    r.visible = RectVisible(bounds) != FALSE;
    return r;
}

void CDC::Emit(DrawRecord record) {
    CDC& t = Target();
    if (!t.m_state->usable)
        return;
    t.Render(record);
}

void CDC::FillSolidRect(const CRect& rect, COLORREF color) {
    // The framework fills through the background colour and leaves it changed; painting code
    // written against it may rely on that for opaque text drawn next.
    SetBkColor(color);
    CRect r = rect;
    r.NormalizeRect();
    DrawRecord rec = Begin("FillSolidRect", r);
    rec.color = color;
    Emit(std::move(rec));
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    FillSolidRect(Normalized(x, y, cx, cy), color);
}

void CDC::FillRect(const CRect& rect, CBrush* brush) {
    if (!brush || !brush->GetSafeHandle())
        return;
    CRect r = rect;
    r.NormalizeRect();
    DrawRecord rec = Begin("FillRect", r);
    rec.brush = brush->GetDesc();
    rec.color = brush->GetDesc().lbColor;
    Emit(std::move(rec));
}

void CDC::FrameRect(const CRect& rect, CBrush* brush) {
    if (!brush || !brush->GetSafeHandle())
        return;
    CRect r = rect;
    r.NormalizeRect();
    DrawRecord rec = Begin("FrameRect", r);
    rec.brush = brush->GetDesc();
    rec.color = brush->GetDesc().lbColor;
    Emit(std::move(rec));
}

void CDC::Draw3dRect(const CRect& rect, COLORREF topLeft, COLORREF bottomRight) {
    // Drawn by the framework as four solid fills, the last in the bottom-right colour.
    SetBkColor(bottomRight);
    CRect r = rect;
    r.NormalizeRect();
    DrawRecord rec = Begin("Draw3dRect", r);
    rec.color = topLeft;
    rec.color2 = bottomRight;
    Emit(std::move(rec));
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) {
    Draw3dRect(CRect(x, y, x + cx, y + cy), topLeft, bottomRight);
}

void CDC::InvertRect(const CRect& rect) {
    CRect r = rect;
    r.NormalizeRect();
    Emit(Begin("InvertRect", r));
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
    DrawRecord rec = Begin("PatBlt", Normalized(x, y, width, height));
    rec.rop = rop;
    Emit(std::move(rec));
    return GetSafeHdc() ? TRUE : FALSE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
    return Rectangle(CRect(left, top, right, bottom));
}

BOOL CDC::Rectangle(const CRect& rect) {
    CRect r = rect;
    r.NormalizeRect();
    Emit(Begin("Rectangle", r));
    return GetSafeHdc() ? TRUE : FALSE;
}

BOOL CDC::Ellipse(const CRect& rect) {
    CRect r = rect;
    r.NormalizeRect();
    Emit(Begin("Ellipse", r));
    return GetSafeHdc() ? TRUE : FALSE;
}

CPoint CDC::MoveTo(int x, int y) {
    return std::exchange(Target().m_state->current.position, CPoint(x, y));
}

CPoint CDC::GetCurrentPosition() const {
    return Target().m_state->current.position;
}

BOOL CDC::LineTo(int x, int y) {
    State& s = *Target().m_state;
    CPoint from = s.current.position;
    CPoint to(x, y);
    DrawRecord rec = Begin("LineTo", LineBounds(from, to, s.current.selection.penDesc.lopnWidth.x));
    rec.from = from;
    rec.to = to;
    s.current.position = to;
    Emit(std::move(rec));
    return GetSafeHdc() ? TRUE : FALSE;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop) {
    return StretchBlt(x, y, width, height, source, xSrc, ySrc, width, height, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc,
                     int srcWidth, int srcHeight, DWORD rop) {
    if (!GetSafeHdc())
        return FALSE;
    const bool stretch = width != srcWidth || height != srcHeight;
    DrawRecord rec = Begin(stretch ? "StretchBlt" : "BitBlt", Normalized(x, y, width, height));
    rec.srcRect = CRect(xSrc, ySrc, xSrc + srcWidth, ySrc + srcHeight);
    rec.rop = rop;
    if (source) {
        const CBitmap* bitmap = source->GetCurrentBitmap();
        // A bitmap deleted while selected has no picture left to copy.
        if (bitmap && bitmap->GetSafeHandle()) {
            rec.bitmap = bitmap;
            rec.bitmapTag = bitmap->GetTag();
            rec.bitmapSize = bitmap->GetSize();
        }
    }
    Emit(std::move(rec));
    return TRUE;
}

BOOL CDC::DrawState(CPoint point, CSize size, CBitmap* bitmap, UINT flags, CBrush* /*brush*/) {
    if (!GetSafeHdc() || (flags & 0x000F) != DST_BITMAP || !bitmap || !bitmap->GetSafeHandle())
        return FALSE;
    if (size.cx <= 0 || size.cy <= 0)
        size = bitmap->GetSize();
    DrawRecord rec = Begin("DrawState", CRect(point, size));
    rec.format = flags;
    rec.bitmap = bitmap;
    rec.bitmapTag = bitmap->GetTag();
    rec.bitmapSize = bitmap->GetSize();
    rec.srcRect = CRect(CPoint(0, 0), bitmap->GetSize());
    Emit(std::move(rec));
    return TRUE;
}

int CDC::GetDeviceCaps(int index) const {
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case BITSPIXEL:
        return 32;
    case HORZRES:
        return GetDeviceBounds().Width();
    case VERTRES:
        return GetDeviceBounds().Height();
    default:
        return 0;
    }
}

CPaintDC::CPaintDC(CWnd* wnd) {
    if (wnd)
        SetTarget(kel::platform::GetBackend().CreatePaintDC(*wnd));
    m_ps.fErase = FALSE;
    GetClipBox(&m_ps.rcPaint);
}

CPaintDC::~CPaintDC() = default;

CClientDC::CClientDC(CWnd* wnd) {
    if (wnd)
        SetTarget(kel::platform::GetBackend().CreateClientDC(*wnd));
}

CClientDC::~CClientDC() = default;
