// Device context state, clipping and the recorded drawing operations.
#include "platform/dc.h"
#include "platform/gdi.h"
#include "platform/gdi_test_backend.h"
#include "platform/recording_dc.h"

#include <gtest/gtest.h>

using kel::platform::DrawRecord;
using kel::test::ScopedGdiBackend;

namespace {

const DrawRecord& Last(const CRecordingDC& dc) {
    return dc.Operations().back();
}

TEST(RecordingDC, ClipStackFollowsSaveAndRestore) {
    CRecordingDC dc(CRect(0, 0, 200, 100));
    const int outer = dc.SaveDC();
    EXPECT_EQ(dc.IntersectClipRect(10, 10, 50, 50), SIMPLEREGION);
    EXPECT_TRUE(dc.RectVisible(CRect(20, 20, 30, 30)));
    EXPECT_FALSE(dc.RectVisible(CRect(50, 50, 70, 70))); // right and bottom edges are outside
    EXPECT_TRUE(dc.PtVisible(49, 49));
    EXPECT_FALSE(dc.PtVisible(50, 49));

    dc.SaveDC();
    dc.IntersectClipRect(CRect(40, 40, 100, 100));
    CRect box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(40, 40, 50, 50));
    // Disjoint clips leave nothing visible, and an operation there is recorded as invisible.
    EXPECT_EQ(dc.IntersectClipRect(0, 0, 5, 5), NULLREGION);
    dc.FillSolidRect(CRect(0, 0, 200, 100), RGB(1, 2, 3));
    EXPECT_FALSE(Last(dc).visible);
    EXPECT_TRUE(Last(dc).clip.IsRectEmpty());

    ASSERT_TRUE(dc.RestoreDC(-1));
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(10, 10, 50, 50));
    dc.FillSolidRect(CRect(45, 45, 80, 80), RGB(1, 2, 3));
    EXPECT_TRUE(Last(dc).visible);
    EXPECT_EQ(Last(dc).clip, CRect(10, 10, 50, 50));

    ASSERT_TRUE(dc.RestoreDC(outer));
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(0, 0, 200, 100));
    // Nothing is saved any more: a restore is refused and changes nothing.
    EXPECT_FALSE(dc.RestoreDC(-1));
    EXPECT_FALSE(dc.RestoreDC(outer));
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(0, 0, 200, 100));
}

TEST(RecordingDC, PaintClipBoundsEveryClipRegion) {
    // Only the invalid part of a window can be drawn, whatever region is selected later.
    CRecordingDC dc(CRect(0, 0, 200, 100), CRect(0, 0, 100, 100));
    EXPECT_FALSE(dc.RectVisible(CRect(150, 0, 160, 10)));
    CRgn wide;
    wide.CreateRectRgn(0, 0, 200, 100);
    dc.SelectClipRgn(&wide);
    EXPECT_FALSE(dc.RectVisible(CRect(150, 0, 160, 10)));
    // A selected region replaces the previous clip instead of narrowing it.
    dc.IntersectClipRect(0, 0, 10, 10);
    CRgn right;
    right.CreateRectRgn(50, 0, 100, 100);
    dc.SelectClipRgn(&right);
    EXPECT_TRUE(dc.RectVisible(CRect(60, 10, 70, 20)));
    EXPECT_FALSE(dc.RectVisible(CRect(0, 0, 10, 10)));
    dc.SelectClipRgn(nullptr);
    EXPECT_TRUE(dc.RectVisible(CRect(0, 0, 10, 10)));

    // An excluded rectangle leaves a hole.
    dc.ExcludeClipRect(CRect(20, 20, 40, 40));
    EXPECT_FALSE(dc.RectVisible(CRect(25, 25, 35, 35)));
    EXPECT_TRUE(dc.RectVisible(CRect(25, 15, 35, 35)));
    CRect box;
    EXPECT_EQ(dc.GetClipBox(&box), COMPLEXREGION);
    EXPECT_EQ(box, CRect(0, 0, 100, 100));
}

TEST(RecordingDC, SelectedObjectsComeBackWithRestore) {
    CRecordingDC dc(CRect(0, 0, 100, 100));
    CPen red(PS_SOLID, 2, RGB(255, 0, 0));
    CBrush hatch(HS_FDIAGONAL, RGB(255, 0, 0));
    CPen* defaultPen = dc.GetCurrentPen();
    ASSERT_NE(defaultPen, nullptr);

    const int saved = dc.SaveDC();
    EXPECT_EQ(dc.SelectObject(&red), defaultPen);
    dc.SelectObject(&hatch);
    dc.SelectStockObject(NULL_PEN);
    dc.SetTextColor(RGB(255, 255, 0));
    dc.SetBkMode(TRANSPARENT);
    dc.Rectangle(CRect(10, 10, 20, 20));
    EXPECT_EQ(Last(dc).pen.lopnStyle, static_cast<UINT>(PS_NULL));
    EXPECT_EQ(Last(dc).brush.lbStyle, BS_HATCHED);
    EXPECT_EQ(Last(dc).brush.lbHatch, HS_FDIAGONAL);
    EXPECT_EQ(Last(dc).brush.lbColor, RGB(255, 0, 0));

    dc.RestoreDC(saved);
    EXPECT_EQ(dc.GetCurrentPen(), defaultPen);
    EXPECT_EQ(dc.GetTextColor(), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetBkMode(), OPAQUE);
    dc.Rectangle(CRect(10, 10, 20, 20));
    EXPECT_EQ(Last(dc).pen.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(Last(dc).brush.lbStyle, BS_SOLID);
    EXPECT_EQ(Last(dc).brush.lbColor, RGB(255, 255, 255));
}

TEST(RecordingDC, ObjectDeletedWhileSelectedStillDrawsAsSelected) {
    CRecordingDC dc(CRect(0, 0, 100, 100));
    {
        CPen dotted(PS_DOT, 1, RGB(0, 255, 255));
        dc.SelectObject(&dotted);
    }
    dc.MoveTo(0, 0);
    dc.LineTo(10, 0);
    EXPECT_EQ(Last(dc).pen.lopnStyle, static_cast<UINT>(PS_DOT));
    EXPECT_EQ(Last(dc).pen.lopnColor, RGB(0, 255, 255));
}

TEST(GdiObjects, CreationRulesAndStockObjects) {
    CPen pen;
    EXPECT_FALSE(pen.CreatePen(42, 1, 0));
    EXPECT_TRUE(pen.CreatePen(PS_SOLID, 0, 0));
    EXPECT_EQ(pen.GetDesc().lopnWidth.x, 1);   // zero width is the thinnest line
    EXPECT_FALSE(pen.CreatePen(PS_DOT, 1, 0)); // created once until deleted
    EXPECT_TRUE(pen.DeleteObject());
    EXPECT_TRUE(pen.CreatePen(PS_DOT, 1, 0));

    CGdiObject* stock = GetStockObject(BLACK_PEN);
    ASSERT_NE(stock, nullptr);
    EXPECT_FALSE(DeleteObject(stock));
    EXPECT_NE(stock->GetSafeHandle(), nullptr);
    EXPECT_EQ(GetStockObject(99), nullptr);

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, "Times New Roman"));
    LOGFONT lf;
    font.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -12); // 9 points at 96 pixels per inch
    EXPECT_EQ(lf.lfFaceName, CString("Times New Roman"));

    CBitmap bad;
    ImageData short_{2, 2, {1, 2, 3}}; // fewer pixels than the size says
    EXPECT_FALSE(bad.CreateFromImage(short_));
}

TEST(RecordingDC, XorFeedbackLinesRecordTheirMode) {
    CRecordingDC dc(CRect(0, 0, 100, 100));
    CPen pen(PS_SOLID, 1, RGB(161, 149, 138));
    CPen* old = dc.SelectObject(&pen);
    const int oldRop = dc.SetROP2(R2_XORPEN);
    EXPECT_EQ(oldRop, R2_COPYPEN);
    dc.MoveTo(30, 0);
    dc.LineTo(30, 50);
    const DrawRecord line = Last(dc);
    EXPECT_EQ(line.rop2, R2_XORPEN);
    EXPECT_EQ(line.pen.lopnColor, RGB(161, 149, 138));
    EXPECT_EQ(line.from, CPoint(30, 0));
    EXPECT_EQ(line.to, CPoint(30, 50));
    EXPECT_EQ(line.rect, CRect(30, 0, 31, 50)); // the end point is not drawn
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(30, 50));
    dc.SetROP2(oldRop);
    dc.SelectObject(old);

    // A line that only touches the clip at its undrawn end point is invisible.
    dc.IntersectClipRect(0, 60, 100, 100);
    dc.MoveTo(10, 0);
    dc.LineTo(10, 60);
    EXPECT_FALSE(Last(dc).visible);
    EXPECT_EQ(Last(dc).rop2, R2_COPYPEN);
}

TEST(RecordingDC, SolidFillsLeaveTheBackgroundColourSet) {
    // Framework code relies on FillSolidRect and Draw3dRect changing the background colour.
    CRecordingDC dc(CRect(0, 0, 100, 100));
    dc.FillSolidRect(0, 0, 10, 10, RGB(10, 20, 30));
    EXPECT_EQ(dc.GetBkColor(), RGB(10, 20, 30));
    dc.Draw3dRect(CRect(0, 0, 10, 10), RGB(223, 223, 223), RGB(128, 128, 128));
    EXPECT_EQ(dc.GetBkColor(), RGB(128, 128, 128));
    EXPECT_EQ(Last(dc).color, RGB(223, 223, 223));
    EXPECT_EQ(Last(dc).color2, RGB(128, 128, 128));
    // Negative sizes are normalised.
    dc.FillSolidRect(10, 10, -5, -5, 0);
    EXPECT_EQ(Last(dc).rect, CRect(5, 5, 10, 10));
}

TEST(RecordingDCText, DrawTextPlacesTextByItsFlags) {
    ScopedGdiBackend backend;
    CRecordingDC dc(CRect(0, 0, 200, 100));
    const CRect band(0, 0, 100, 30);

    dc.DrawText("Track1", band, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(Last(dc).textRect, CRect(64, 8, 100, 21));
    EXPECT_EQ(Last(dc).rect, band);
    dc.DrawText("Track1", band, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    EXPECT_EQ(Last(dc).textRect, CRect(32, 17, 68, 30));
    dc.DrawText("Track1", band, DT_LEFT | DT_TOP);
    EXPECT_EQ(Last(dc).textRect, CRect(0, 0, 36, 13));

    // Measuring draws nothing and fits the rectangle to the text.
    const std::size_t before = dc.Operations().size();
    CRect calc(5, 5, 500, 500);
    EXPECT_EQ(dc.DrawText("abc\ndefgh", &calc, DT_CALCRECT), 26);
    EXPECT_EQ(calc, CRect(5, 5, 35, 31));
    EXPECT_EQ(dc.Operations().size(), before);

    // Word breaks wrap at spaces within the width.
    CRect wrapped(0, 0, 45, 100);
    EXPECT_EQ(dc.DrawText("aaa bbb ccc", &wrapped, DT_WORDBREAK), 26);
    EXPECT_EQ(Last(dc).text, CString("aaa bbb\nccc"));
}

TEST(RecordingDCText, PrefixesAndEllipsis) {
    ScopedGdiBackend backend;
    CRecordingDC dc(CRect(0, 0, 200, 100));
    dc.DrawText("&Cut A&&B", CRect(0, 0, 200, 20), DT_SINGLELINE);
    EXPECT_EQ(Last(dc).text, CString("Cut A&B"));
    dc.DrawText("&Cut", CRect(0, 0, 200, 20), DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(Last(dc).text, CString("&Cut"));

    dc.DrawText("Hello World", CRect(0, 0, 40, 20), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(Last(dc).text, CString("Hel..."));
    EXPECT_LE(Last(dc).textRect.Width(), 40);
    // Cuts never split a character.
    dc.DrawText("\xE6\x95\x85\xE4\xBA\x8B\xE6\x9D\xBF\xE7\xBC\x96\xE8\xBE\x91", CRect(0, 0, 25, 20),
                DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(Last(dc).text, CString("\xE6\x95\x85..."));
    // Text that fits is left alone.
    dc.DrawText("Hi", CRect(0, 0, 40, 20), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(Last(dc).text, CString("Hi"));

    // Text outside its own rectangle is clipped by it, so an empty band shows nothing.
    dc.DrawText("Hidden", CRect(0, 0, 0, 20), DT_SINGLELINE);
    EXPECT_FALSE(Last(dc).visible);

    dc.TextOut(10, 20, "abc");
    EXPECT_EQ(Last(dc).textRect, CRect(10, 20, 28, 33));
    EXPECT_EQ(dc.GetTextExtent("abcd"), CSize(24, 13));

    // A long caption is cut as a short one is: the widest head that fits with its dots.
    const std::string caption(100000, 'x');
    dc.DrawText(caption.c_str(), CRect(0, 0, 600, 20), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(Last(dc).text, CString(std::string(97, 'x') + "..."));
    dc.DrawText(caption.c_str(), CRect(0, 0, 5, 20), DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(Last(dc).text, CString("..."));
}

TEST(RecordingDCText, BrokenUtf8IsShownWithReplacementCharacters) {
    ScopedGdiBackend backend;
    CRecordingDC dc(CRect(0, 0, 200, 100));
    // A stray continuation, a cut sequence, an overlong form, a surrogate, a value past
    // U+10FFFF: each bad byte becomes U+FFFD; good characters stay.
    dc.DrawText("a\x80"
                "b\xE2\x82 c\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82\xAC",
                CRect(0, 0, 200, 20), DT_SINGLELINE | DT_NOPREFIX);
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_EQ(Last(dc).text, CString("a" + r + "b" + r + r + " c" + r + r + r + r + r + r + r + r +
                                     r + "\xE2\x82\xAC"));
    dc.TextOut(0, 0, "\xFFok");
    EXPECT_EQ(Last(dc).text, CString(r + "ok"));
}

TEST(RecordingDC, BlitsNameTheBitmapOfTheSourceDC) {
    CRecordingDC dc(CRect(0, 0, 100, 100));
    CBitmap picture;
    ASSERT_TRUE(
        picture.CreateFromImage(ImageData{4, 2, std::vector<std::uint32_t>(8, 0xFF00FF00)}, 353));

    // A window DC has no surface a bitmap could become.
    EXPECT_EQ(dc.SelectObject(&picture), nullptr);

    CDC memory;
    EXPECT_EQ(memory.GetSafeHdc(), nullptr);
    ASSERT_TRUE(memory.CreateCompatibleDC(&dc));
    EXPECT_EQ(memory.SelectObject(&picture), nullptr); // nothing was selected before
    EXPECT_EQ(memory.GetCurrentBitmap(), &picture);

    ASSERT_TRUE(dc.StretchBlt(0, 0, 40, 20, &memory, 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(Last(dc).name, "StretchBlt");
    EXPECT_EQ(Last(dc).bitmapTag, 353u);
    EXPECT_EQ(Last(dc).bitmapSize, CSize(4, 2));
    EXPECT_EQ(Last(dc).srcRect, CRect(0, 0, 4, 2));
    EXPECT_EQ(Last(dc).rect, CRect(0, 0, 40, 20));
    EXPECT_EQ(Last(dc).bitmap, nullptr); // the log never keeps the caller's picture

    dc.BitBlt(5, 5, 4, 2, &memory, 0, 0, SRCCOPY);
    EXPECT_EQ(Last(dc).name, "BitBlt");

    // Drawing on the memory DC goes to its own surface, not to the window's log.
    const std::size_t before = dc.Operations().size();
    memory.FillSolidRect(CRect(0, 0, 4, 2), 0);
    EXPECT_EQ(dc.Operations().size(), before);

    EXPECT_TRUE(dc.DrawState(CPoint(10, 10), CSize(0, 0), &picture, DST_BITMAP));
    EXPECT_EQ(Last(dc).rect, CRect(10, 10, 14, 12));
    EXPECT_EQ(Last(dc).bitmapTag, 353u);
    EXPECT_FALSE(dc.DrawState(CPoint(10, 10), CSize(0, 0), nullptr, DST_BITMAP));
}

TEST(RecordingDC, SharedSinkCollectsSeveralPaints) {
    kel::platform::DrawLog log;
    {
        CRecordingDC first(CRect(0, 0, 10, 10), CRect(0, 0, 10, 10), &log);
        first.FillSolidRect(CRect(0, 0, 5, 5), 0);
    }
    {
        CRecordingDC second(CRect(0, 0, 10, 10), CRect(0, 0, 10, 10), &log);
        second.InvertRect(CRect(0, 0, 5, 5));
        EXPECT_EQ(second.OperationsNamed("InvertRect").size(), 1u);
    }
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(log[0].Is("FillSolidRect"));
    EXPECT_TRUE(log[1].Is("InvertRect"));
}

} // namespace
