#include "platform/gdi.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <memory>

BOOL CGdiObject::DeleteObject() {
    // Stock objects belong to the process and stay usable whatever a caller does.
    if (m_stock || !m_created)
        return FALSE;
    ResetDescription();
    m_created = false;
    return TRUE;
}

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    if (GetSafeHandle() || style < PS_SOLID || style > PS_INSIDEFRAME)
        return FALSE;
    m_desc.lopnStyle = static_cast<UINT>(style);
    // A width of 0 is the thinnest line the device draws: one pixel.
    m_desc.lopnWidth = CPoint(std::max(width, 1), 0);
    m_desc.lopnColor = color;
    MarkCreated();
    return TRUE;
}

BOOL CPen::CreatePenIndirect(const LOGPEN* logPen) {
    if (!logPen)
        return FALSE;
    return CreatePen(static_cast<int>(logPen->lopnStyle), logPen->lopnWidth.x, logPen->lopnColor);
}

int CPen::GetLogPen(LOGPEN* logPen) const {
    if (!GetSafeHandle() || !logPen)
        return 0;
    *logPen = m_desc;
    return static_cast<int>(sizeof(LOGPEN));
}

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    if (GetSafeHandle())
        return FALSE;
    m_desc = LOGBRUSH{BS_SOLID, color, 0};
    MarkCreated();
    return TRUE;
}

BOOL CBrush::CreateHatchBrush(int hatch, COLORREF color) {
    if (GetSafeHandle() || hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS)
        return FALSE;
    m_desc = LOGBRUSH{BS_HATCHED, color, hatch};
    MarkCreated();
    return TRUE;
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* logBrush) {
    if (!logBrush || GetSafeHandle())
        return FALSE;
    switch (logBrush->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(logBrush->lbColor);
    case BS_HATCHED:
        return CreateHatchBrush(logBrush->lbHatch, logBrush->lbColor);
    case BS_NULL:
        m_desc = LOGBRUSH{BS_NULL, 0, 0};
        MarkCreated();
        return TRUE;
    default:
        return FALSE;
    }
}

int CBrush::GetLogBrush(LOGBRUSH* logBrush) const {
    if (!GetSafeHandle() || !logBrush)
        return 0;
    *logBrush = m_desc;
    return static_cast<int>(sizeof(LOGBRUSH));
}

BOOL CFont::CreateFontIndirect(const LOGFONT* logFont) {
    if (!logFont || GetSafeHandle())
        return FALSE;
    m_desc = *logFont;
    MarkCreated();
    return TRUE;
}

BOOL CFont::CreatePointFont(int pointSize, const char* faceName, CDC* /*dc*/) {
    LOGFONT lf;
    // Tenths of a point at 96 pixels per inch, rounded; negative asks for the character height.
    lf.lfHeight = -((pointSize * 96 + 360) / 720);
    lf.lfFaceName = faceName ? faceName : "";
    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONT* logFont) const {
    if (!GetSafeHandle() || !logFont)
        return 0;
    *logFont = m_desc;
    return static_cast<int>(sizeof(LOGFONT));
}

void CBitmap::Changed() {
    static std::atomic<std::uint64_t> last{0};
    m_version = last.fetch_add(1, std::memory_order_relaxed) + 1;
}

BOOL CBitmap::CreateFromImage(const ImageData& image, UINT tag) {
    if (GetSafeHandle() || image.width <= 0 || image.height <= 0 ||
        image.pixels.size() !=
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
        return FALSE;
    m_image = image;
    m_tag = tag;
    Changed();
    MarkCreated();
    return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* /*dc*/, int width, int height) {
    if (GetSafeHandle() || width <= 0 || height <= 0)
        return FALSE;
    m_image.width = width;
    m_image.height = height;
    m_image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    m_tag = 0;
    Changed();
    MarkCreated();
    return TRUE;
}

int CBitmap::GetBitmap(BITMAP* bitmap) const {
    if (!GetSafeHandle() || !bitmap)
        return 0;
    *bitmap = BITMAP{};
    bitmap->bmWidth = m_image.width;
    bitmap->bmHeight = m_image.height;
    bitmap->bmWidthBytes = m_image.width * 4;
    bitmap->bmBits = nullptr;
    return static_cast<int>(sizeof(BITMAP));
}

std::uint32_t CBitmap::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_image.width || y >= m_image.height)
        return 0;
    return m_image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_image.width) +
                          static_cast<std::size_t>(x)];
}

void CBitmap::SetPixel(int x, int y, std::uint32_t argb) {
    if (x < 0 || y < 0 || x >= m_image.width || y >= m_image.height)
        return;
    m_image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_image.width) +
                   static_cast<std::size_t>(x)] = argb;
    Changed();
}

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
    CRect r(left, top, right, bottom);
    return CreateRectRgnIndirect(&r);
}

BOOL CRgn::CreateRectRgnIndirect(const CRect* rect) {
    if (!rect || GetSafeHandle())
        return FALSE;
    CRect r = *rect;
    r.NormalizeRect();
    m_rects.clear();
    if (!r.IsRectEmpty())
        m_rects.push_back(r);
    MarkCreated();
    return TRUE;
}

int CRgn::GetRgnBox(CRect* rect) const {
    if (!GetSafeHandle())
        return RGN_ERROR;
    CRect box;
    for (const CRect& r : m_rects)
        box |= r;
    if (rect)
        *rect = box;
    if (m_rects.empty())
        return NULLREGION;
    return m_rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
    if (!a || !a->GetSafeHandle())
        return RGN_ERROR;
    std::vector<CRect> out;
    switch (mode) {
    case RGN_COPY:
        out = a->m_rects;
        break;
    case RGN_OR:
        if (!b || !b->GetSafeHandle())
            return RGN_ERROR;
        out = a->m_rects;
        for (const CRect& r : b->m_rects) {
            // Pieces already covered add nothing; keeping them would only slow hit tests.
            bool covered =
                std::any_of(out.begin(), out.end(), [&](const CRect& o) { return (o & r) == r; });
            if (!covered)
                out.push_back(r);
        }
        break;
    case RGN_AND:
        if (!b || !b->GetSafeHandle())
            return RGN_ERROR;
        for (const CRect& ra : a->m_rects)
            for (const CRect& rb : b->m_rects) {
                CRect r = ra & rb;
                if (!r.IsRectEmpty())
                    out.push_back(r);
            }
        break;
    default:
        return RGN_ERROR;
    }
    m_rects = std::move(out);
    MarkCreated();
    return GetRgnBox(nullptr);
}

BOOL CRgn::RectInRegion(const CRect* rect) const {
    if (!rect)
        return FALSE;
    return std::any_of(m_rects.begin(), m_rects.end(),
                       [&](const CRect& r) { return !(r & *rect).IsRectEmpty(); });
}

BOOL CRgn::PtInRegion(int x, int y) const {
    return std::any_of(m_rects.begin(), m_rects.end(),
                       [&](const CRect& r) { return r.PtInRect(CPoint(x, y)); });
}

void CRgn::OffsetRgn(int dx, int dy) {
    for (CRect& r : m_rects)
        r.OffsetRect(dx, dy);
}

struct StockObjectAccess {
    static void MakeStock(CGdiObject& object) { object.m_stock = true; }
};

namespace {

struct StockObjects {
    std::array<std::unique_ptr<CGdiObject>, DEFAULT_GUI_FONT + 1> table;

    StockObjects() {
        auto brush = [this](int index, COLORREF color) {
            auto b = std::make_unique<CBrush>(color);
            table[static_cast<std::size_t>(index)] = std::move(b);
        };
        brush(WHITE_BRUSH, RGB(255, 255, 255));
        brush(LTGRAY_BRUSH, RGB(192, 192, 192));
        brush(GRAY_BRUSH, RGB(128, 128, 128));
        brush(DKGRAY_BRUSH, RGB(64, 64, 64));
        brush(BLACK_BRUSH, RGB(0, 0, 0));
        auto nullBrush = std::make_unique<CBrush>();
        LOGBRUSH hollow{BS_NULL, 0, 0};
        nullBrush->CreateBrushIndirect(&hollow);
        table[NULL_BRUSH] = std::move(nullBrush);
        table[WHITE_PEN] = std::make_unique<CPen>(PS_SOLID, 1, RGB(255, 255, 255));
        table[BLACK_PEN] = std::make_unique<CPen>(PS_SOLID, 1, RGB(0, 0, 0));
        table[NULL_PEN] = std::make_unique<CPen>(PS_NULL, 1, RGB(0, 0, 0));
        auto font = [this](int index, const char* face, LONG height, LONG weight) {
            LOGFONT lf;
            lf.lfFaceName = face;
            lf.lfHeight = height;
            lf.lfWeight = weight;
            auto f = std::make_unique<CFont>();
            f->CreateFontIndirect(&lf);
            table[static_cast<std::size_t>(index)] = std::move(f);
        };
        font(OEM_FIXED_FONT, "Terminal", 12, FW_NORMAL);
        font(ANSI_FIXED_FONT, "Courier", 13, FW_NORMAL);
        font(ANSI_VAR_FONT, "MS Sans Serif", 13, FW_NORMAL);
        font(SYSTEM_FONT, "System", 16, FW_BOLD);
        font(DEFAULT_GUI_FONT, "MS Shell Dlg", -11, FW_NORMAL);
        for (auto& object : table)
            if (object)
                StockObjectAccess::MakeStock(*object);
    }
};

StockObjects& Stock() {
    static StockObjects stock;
    return stock;
}

} // namespace

HGDIOBJ GetStockObject(int index) {
    if (index < 0 || index > DEFAULT_GUI_FONT)
        return nullptr;
    return Stock().table[static_cast<std::size_t>(index)].get();
}

BOOL DeleteObject(HGDIOBJ object) {
    return object ? object->DeleteObject() : FALSE;
}
