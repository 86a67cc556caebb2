// The device context. CDC keeps the whole drawing state (clip, selected objects, colours, modes,
// current position) and resolves every drawing call into one DrawRecord: what to draw, where,
// with which pen, brush, font and colours, and the clip box at that moment. A concrete device
// context only renders (or records) resolved DrawRecords, so every backend sees the same
// semantics. Text is measured by the installed backend.
//
// A CDC may also stand for another one (CPaintDC, CClientDC, a compatible memory DC): then every
// call goes to that target, which holds the state.
#pragma once

#include "platform/cstring.h"
#include "platform/gdi.h"
#include "platform/geometry.h"
#include "platform/win_types.h"

#include <memory>
#include <string>
#include <vector>

class CWnd;
class CDC;

// A device context handle is the CDC itself (owner-draw structures carry one).
using HDC = CDC*;

// DrawText formats.
inline constexpr UINT DT_TOP = 0x0000;
inline constexpr UINT DT_LEFT = 0x0000;
inline constexpr UINT DT_CENTER = 0x0001;
inline constexpr UINT DT_RIGHT = 0x0002;
inline constexpr UINT DT_VCENTER = 0x0004;
inline constexpr UINT DT_BOTTOM = 0x0008;
inline constexpr UINT DT_WORDBREAK = 0x0010;
inline constexpr UINT DT_SINGLELINE = 0x0020;
inline constexpr UINT DT_EXPANDTABS = 0x0040;
inline constexpr UINT DT_NOCLIP = 0x0100;
inline constexpr UINT DT_CALCRECT = 0x0400;
inline constexpr UINT DT_NOPREFIX = 0x0800;
inline constexpr UINT DT_END_ELLIPSIS = 0x8000;

// Binary raster operations (SetROP2).
inline constexpr int R2_BLACK = 1;
inline constexpr int R2_NOTMERGEPEN = 2;
inline constexpr int R2_MASKNOTPEN = 3;
inline constexpr int R2_NOTCOPYPEN = 4;
inline constexpr int R2_MASKPENNOT = 5;
inline constexpr int R2_NOT = 6;
inline constexpr int R2_XORPEN = 7;
inline constexpr int R2_NOTMASKPEN = 8;
inline constexpr int R2_MASKPEN = 9;
inline constexpr int R2_NOTXORPEN = 10;
inline constexpr int R2_NOP = 11;
inline constexpr int R2_MERGENOTPEN = 12;
inline constexpr int R2_COPYPEN = 13;
inline constexpr int R2_MERGEPENNOT = 14;
inline constexpr int R2_MERGEPEN = 15;
inline constexpr int R2_WHITE = 16;

// Ternary raster operations (BitBlt, StretchBlt, PatBlt).
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCPAINT = 0x00EE0086;
inline constexpr DWORD SRCAND = 0x008800C6;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD PATCOPY = 0x00F00021;
inline constexpr DWORD PATINVERT = 0x005A0049;
inline constexpr DWORD DSTINVERT = 0x00550009;
inline constexpr DWORD BLACKNESS = 0x00000042;
inline constexpr DWORD WHITENESS = 0x00FF0062;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// DrawState kinds and states.
inline constexpr UINT DST_TEXT = 0x0001;
inline constexpr UINT DST_ICON = 0x0003;
inline constexpr UINT DST_BITMAP = 0x0004;
inline constexpr UINT DSS_NORMAL = 0x0000;
inline constexpr UINT DSS_DISABLED = 0x0020;

// GetDeviceCaps indices.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int BITSPIXEL = 12;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

// Clip results are the region values of gdi.h: RGN_ERROR, NULLREGION, SIMPLEREGION.

struct TEXTMETRIC {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
};

struct PAINTSTRUCT {
    BOOL fErase = FALSE;
    CRect rcPaint;
};

namespace kel::platform {

// One resolved drawing operation. Coordinates are device (client) coordinates.
struct DrawRecord {
    // "FillSolidRect", "FillRect", "FrameRect", "Draw3dRect", "Rectangle", "Ellipse", "LineTo",
    // "InvertRect", "PatBlt", "TextOut", "DrawText", "BitBlt", "StretchBlt", "DrawState".
    std::string name;
    CRect rect;          // the target rectangle; for lines the segment's bounds
    CPoint from;         // lines: start; TextOut: the text origin
    CPoint to;           // lines: end (not drawn, as a line's end point never is)
    CRect srcRect;       // blits: the source rectangle in the source bitmap
    COLORREF color = 0;  // fill colour; Draw3dRect: top-left colour
    COLORREF color2 = 0; // Draw3dRect: bottom-right colour
    LOGPEN pen;          // the pen that draws outlines and lines
    LOGBRUSH brush;      // the brush that fills (the given one for FillRect and FrameRect)
    int rop2 = 0;
    DWORD rop = 0; // blits and PatBlt
    COLORREF textColor = 0;
    COLORREF bkColor = 0;
    int bkMode = 0;
    LOGFONT font;
    CString text;       // the text as shown: prefixes resolved, ellipsis applied
    UINT format = 0;    // DT_* flags, or DrawState flags
    CRect textRect;     // where the text lands
    UINT bitmapTag = 0; // the tag of the drawn bitmap
    CSize bitmapSize;
    // The drawn bitmap; valid only while the record is being rendered.
    const CBitmap* bitmap = nullptr;
    CRect clip;           // the clip box at the time
    bool visible = false; // whether anything of it lies inside the clip

    bool Is(const char* operation) const { return name == operation; }
};

} // namespace kel::platform

class CDC {
public:
    CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    static CDC* FromHandle(HDC dc) { return dc; }

    // --- Memory DCs.
    // Makes this DC a memory DC compatible with `dc` (or with the screen when null).
    BOOL CreateCompatibleDC(CDC* dc);
    BOOL DeleteDC();
    // The DC itself when it can draw (a standalone, paint, client or memory DC), else null.
    HDC GetSafeHdc() const;

    // --- State.
    int SaveDC();
    // A positive id restores the state saved under it, -1 the latest; states above are dropped.
    BOOL RestoreDC(int savedDC);
    int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(const CRect& rect);
    int ExcludeClipRect(const CRect& rect);
    // Replaces the clip region (the device bounds still apply); null removes it.
    int SelectClipRgn(const CRgn* region);
    int GetClipBox(CRect* rect) const;
    BOOL RectVisible(const CRect& rect) const;
    BOOL PtVisible(int x, int y) const;
    BOOL PtVisible(CPoint point) const { return PtVisible(point.x, point.y); }

    // --- Objects. Each returns the previously selected object (null on failure).
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    int SelectObject(CRgn* region) { return SelectClipRgn(region); }
    CGdiObject* SelectObject(CGdiObject* object);
    CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;

    // --- Colours and modes. Each setter returns the previous value.
    int SetROP2(int mode);
    int GetROP2() const;
    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;

    // --- Drawing.
    // Like the framework's, FillSolidRect leaves the background colour set to `color`.
    void FillSolidRect(const CRect& rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FillRect(const CRect& rect, CBrush* brush);
    void FrameRect(const CRect& rect, CBrush* brush);
    void Draw3dRect(const CRect& rect, COLORREF topLeft, COLORREF bottomRight);
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight);
    void InvertRect(const CRect& rect);
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(const CRect& rect);
    BOOL Ellipse(const CRect& rect);
    CPoint MoveTo(int x, int y);
    CPoint MoveTo(CPoint point) { return MoveTo(point.x, point.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(CPoint point) { return LineTo(point.x, point.y); }
    CPoint GetCurrentPosition() const;

    BOOL TextOut(int x, int y, const CString& text);
    // Returns the height of the text; with DT_CALCRECT it only measures, widening or
    // narrowing `rect` to the text.
    int DrawText(const CString& text, CRect* rect, UINT format);
    int DrawText(const CString& text, const CRect& rect, UINT format);
    CSize GetTextExtent(const CString& text) const;
    CSize GetOutputTextExtent(const CString& text) const { return GetTextExtent(text); }
    BOOL GetTextMetrics(TEXTMETRIC* metrics) const;

    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* source, int xSrc, int ySrc,
                    int srcWidth, int srcHeight, DWORD rop);
    // DST_BITMAP draws `bitmap` at `point`; an empty size means the bitmap's own size.
    BOOL DrawState(CPoint point, CSize size, CBitmap* bitmap, UINT flags, CBrush* brush = nullptr);

    int GetDeviceCaps(int index) const;

protected:
    // A DC that stands for `target` (paint, client and memory DCs).
    explicit CDC(std::unique_ptr<CDC> target);
    void SetTarget(std::unique_ptr<CDC> target);

    // Renders one resolved operation. The base class draws nothing.
    virtual void Render(const kel::platform::DrawRecord& record);
    // The kind of DC that CreateCompatibleDC gives for this one. The default is a recording
    // DC, which serves headless runs and bitmaps alike.
    virtual std::unique_ptr<CDC> CreateCompatible();
    // The device bounds: what can be drawn at all, before any clip region.
    void SetDeviceBounds(const CRect& bounds);
    const CRect& GetDeviceBounds() const;

private:
    struct State;
    struct Selection;
    CDC& Target();
    const CDC& Target() const;
    CRect EffectiveClip() const;
    kel::platform::DrawRecord Begin(const char* name, const CRect& bounds) const;
    void Emit(kel::platform::DrawRecord record);
    LOGFONT CurrentFontDesc() const;

    std::unique_ptr<CDC> m_target;
    std::unique_ptr<State> m_state;
};

// The DC of a WM_PAINT: covers the client area, clipped to what is invalid.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* wnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps;
};

// A DC on a window's client area that draws at once (feedback drawing).
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* wnd);
    ~CClientDC() override;
};
