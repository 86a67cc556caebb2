// Graphics objects: pens, brushes, fonts, bitmaps and rectangular regions. They hold their
// description as data; a device context reads it when it draws. Handles (HPEN, HBRUSH, ...) are
// plain pointers to the objects, so a handle converts back with FromHandle at no cost.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/resource_types.h"
#include "platform/win_types.h"

#include <cstdint>
#include <vector>

class CGdiObject;
class CPen;
class CBrush;
class CFont;
class CBitmap;
class CRgn;
class CDC;

using HGDIOBJ = CGdiObject*;
using HPEN = CPen*;
using HBRUSH = CBrush*;
using HFONT = CFont*;
using HBITMAP = CBitmap*;
using HRGN = CRgn*;

// Pen styles.
inline constexpr int PS_SOLID = 0;
inline constexpr int PS_DASH = 1;
inline constexpr int PS_DOT = 2;
inline constexpr int PS_DASHDOT = 3;
inline constexpr int PS_DASHDOTDOT = 4;
inline constexpr int PS_NULL = 5;
inline constexpr int PS_INSIDEFRAME = 6;

// Brush styles and hatch patterns.
inline constexpr UINT BS_SOLID = 0;
inline constexpr UINT BS_NULL = 1;
inline constexpr UINT BS_HOLLOW = BS_NULL;
inline constexpr UINT BS_HATCHED = 2;
inline constexpr int HS_HORIZONTAL = 0;
inline constexpr int HS_VERTICAL = 1;
inline constexpr int HS_FDIAGONAL = 2;
inline constexpr int HS_BDIAGONAL = 3;
inline constexpr int HS_CROSS = 4;
inline constexpr int HS_DIAGCROSS = 5;

// Stock objects.
inline constexpr int WHITE_BRUSH = 0;
inline constexpr int LTGRAY_BRUSH = 1;
inline constexpr int GRAY_BRUSH = 2;
inline constexpr int DKGRAY_BRUSH = 3;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int HOLLOW_BRUSH = NULL_BRUSH;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int OEM_FIXED_FONT = 10;
inline constexpr int ANSI_FIXED_FONT = 11;
inline constexpr int ANSI_VAR_FONT = 12;
inline constexpr int SYSTEM_FONT = 13;
inline constexpr int DEFAULT_GUI_FONT = 17;

// Font weights.
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_BOLD = 700;

// Region combination and results.
inline constexpr int RGN_AND = 1;
inline constexpr int RGN_OR = 2;
inline constexpr int RGN_COPY = 5;
inline constexpr int RGN_ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;
inline constexpr int COMPLEXREGION = 3;

// Object types (GetObjectType).
inline constexpr DWORD OBJ_PEN = 1;
inline constexpr DWORD OBJ_BRUSH = 2;
inline constexpr DWORD OBJ_REGION = 4;
inline constexpr DWORD OBJ_BITMAP = 7;
inline constexpr DWORD OBJ_FONT = 6;

struct LOGFONT {
    LONG lfHeight = 0; // negative: character height in pixels; positive: cell height
    LONG lfWidth = 0;
    LONG lfWeight = FW_NORMAL;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfCharSet = 0;
    CString lfFaceName;
    bool operator==(const LOGFONT&) const = default;
};

struct LOGPEN {
    UINT lopnStyle = PS_SOLID;
    CPoint lopnWidth{1, 0}; // x is the width
    COLORREF lopnColor = 0;
    bool operator==(const LOGPEN&) const = default;
};

struct LOGBRUSH {
    UINT lbStyle = BS_SOLID;
    COLORREF lbColor = 0;
    LONG lbHatch = 0;
    bool operator==(const LOGBRUSH&) const = default;
};

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 32;
    void* bmBits = nullptr;
};

class CGdiObject {
public:
    CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    virtual ~CGdiObject() = default;

    // Forgets the description; the object may be created again. Stock objects refuse.
    BOOL DeleteObject();
    // A stand-in for the handle test of the framework: non-null once created.
    HGDIOBJ GetSafeHandle() const { return m_created ? const_cast<CGdiObject*>(this) : nullptr; }
    operator HGDIOBJ() const { return GetSafeHandle(); }
    virtual DWORD GetObjectType() const = 0;
    bool IsStock() const { return m_stock; }

protected:
    void MarkCreated() { m_created = true; }
    virtual void ResetDescription() {}

private:
    friend struct StockObjectAccess;
    bool m_created = false;
    bool m_stock = false;
};

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color);
    BOOL CreatePenIndirect(const LOGPEN* logPen);
    int GetLogPen(LOGPEN* logPen) const;
    const LOGPEN& GetDesc() const { return m_desc; }
    operator HPEN() const { return GetSafeHandle() ? const_cast<CPen*>(this) : nullptr; }
    static CPen* FromHandle(HPEN h) { return h; }
    DWORD GetObjectType() const override { return OBJ_PEN; }

protected:
    void ResetDescription() override { m_desc = LOGPEN{}; }

private:
    LOGPEN m_desc;
};

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    CBrush(int hatch, COLORREF color) { CreateHatchBrush(hatch, color); }
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateHatchBrush(int hatch, COLORREF color);
    BOOL CreateBrushIndirect(const LOGBRUSH* logBrush);
    int GetLogBrush(LOGBRUSH* logBrush) const;
    const LOGBRUSH& GetDesc() const { return m_desc; }
    operator HBRUSH() const { return GetSafeHandle() ? const_cast<CBrush*>(this) : nullptr; }
    static CBrush* FromHandle(HBRUSH h) { return h; }
    DWORD GetObjectType() const override { return OBJ_BRUSH; }

protected:
    void ResetDescription() override { m_desc = LOGBRUSH{}; }

private:
    LOGBRUSH m_desc;
};

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONT* logFont);
    // pointSize in tenths of a point; the height is taken at 96 pixels per inch, as the
    // headless and the desktop backends both measure.
    BOOL CreatePointFont(int pointSize, const char* faceName, CDC* dc = nullptr);
    int GetLogFont(LOGFONT* logFont) const;
    const LOGFONT& GetDesc() const { return m_desc; }
    operator HFONT() const { return GetSafeHandle() ? const_cast<CFont*>(this) : nullptr; }
    static CFont* FromHandle(HFONT h) { return h; }
    DWORD GetObjectType() const override { return OBJ_FONT; }

protected:
    void ResetDescription() override { m_desc = LOGFONT{}; }

private:
    LOGFONT m_desc;
};

// A 32-bit RGBA picture. The tag names where it came from (a bitmap resource id), so that a
// recorded paint can say which picture was drawn.
class CBitmap : public CGdiObject {
public:
    BOOL CreateFromImage(const ImageData& image, UINT tag = 0);
    // A blank (transparent black) picture of the given size, as a memory DC's drawing surface.
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    int GetBitmap(BITMAP* bitmap) const;
    CSize GetSize() const { return {m_image.width, m_image.height}; }
    // 0xAARRGGBB; 0 outside the picture.
    std::uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, std::uint32_t argb);
    const ImageData& GetImage() const { return m_image; }
    // Changes with every change of the picture, and no two pictures share one (0: none yet).
    // A backend that keeps its own copy of the picture knows by it whether the copy is current.
    std::uint64_t GetVersion() const { return m_version; }
    UINT GetTag() const { return m_tag; }
    void SetTag(UINT tag) { m_tag = tag; }
    operator HBITMAP() const { return GetSafeHandle() ? const_cast<CBitmap*>(this) : nullptr; }
    static CBitmap* FromHandle(HBITMAP h) { return h; }
    DWORD GetObjectType() const override { return OBJ_BITMAP; }

protected:
    void ResetDescription() override {
        m_image = ImageData{};
        m_tag = 0;
        Changed();
    }

private:
    void Changed();

    ImageData m_image;
    UINT m_tag = 0;
    std::uint64_t m_version = 0;
};

// A region as a set of rectangles; clipping uses its bounding box.
class CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(const CRect* rect);
    // RGN_AND, RGN_OR or RGN_COPY of rectangular regions; returns the region type.
    int CombineRgn(const CRgn* a, const CRgn* b, int mode);
    int GetRgnBox(CRect* rect) const;
    BOOL RectInRegion(const CRect* rect) const;
    BOOL PtInRegion(int x, int y) const;
    void OffsetRgn(int dx, int dy);
    const std::vector<CRect>& GetRects() const { return m_rects; }
    operator HRGN() const { return GetSafeHandle() ? const_cast<CRgn*>(this) : nullptr; }
    static CRgn* FromHandle(HRGN h) { return h; }
    DWORD GetObjectType() const override { return OBJ_REGION; }

protected:
    void ResetDescription() override { m_rects.clear(); }

private:
    std::vector<CRect> m_rects; // non-empty rectangles only
};

// The process-wide stock objects (never deleted).
HGDIOBJ GetStockObject(int index);
BOOL DeleteObject(HGDIOBJ object);
