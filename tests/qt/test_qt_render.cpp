// Drawing records rendered into a picture: the colours, raster operations, pen patterns,
// hatches, bitmaps and text that the timeline's paint relies on.
#include "qt/qt_backend.h"
#include "qt/qt_dc.h"

#include "platform/dc.h"
#include "platform/gdi.h"

#include <QImage>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = kel::platform::SetBackend(std::make_unique<kel::qt::QtBackend>());
        surface = std::make_shared<QImage>(100, 60, QImage::Format_RGB32);
        surface->fill(Qt::white);
        dc = std::make_unique<CQtDC>(surface, CRect(0, 0, 100, 60), CRect(0, 0, 100, 60));
    }
    void TearDown() override {
        dc.reset();
        kel::platform::SetBackend(std::move(previous));
    }
    QRgb Pixel(int x, int y) const { return surface->pixel(x, y); }
    int CountNot(QRgb colour, const QRect& area) const {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += Pixel(x, y) != colour;
        return n;
    }

    std::unique_ptr<kel::platform::Backend> previous;
    std::shared_ptr<QImage> surface;
    std::unique_ptr<CQtDC> dc;
};

TEST_F(RenderTest, FillsAndBevelsLandOnTheirPixelsOnly) {
    dc->FillSolidRect(CRect(10, 10, 20, 15), RGB(230, 220, 0));
    EXPECT_EQ(Pixel(10, 10), qRgb(230, 220, 0));
    EXPECT_EQ(Pixel(19, 14), qRgb(230, 220, 0));
    EXPECT_EQ(Pixel(20, 14), kWhite); // right and bottom edges are exclusive
    EXPECT_EQ(Pixel(19, 15), kWhite);

    dc->Draw3dRect(CRect(30, 10, 40, 20), RGB(223, 223, 223), RGB(128, 128, 128));
    EXPECT_EQ(Pixel(30, 10), qRgb(223, 223, 223));
    EXPECT_EQ(Pixel(30, 18), qRgb(223, 223, 223));
    EXPECT_EQ(Pixel(39, 10), qRgb(128, 128, 128)); // the bottom-right colour wins its corners
    EXPECT_EQ(Pixel(30, 19), qRgb(128, 128, 128));
    EXPECT_EQ(Pixel(35, 15), kWhite);

    // The clip holds whatever is drawn.
    dc->IntersectClipRect(CRect(50, 0, 60, 60));
    dc->FillSolidRect(CRect(40, 30, 70, 40), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(49, 35), kWhite);
    EXPECT_EQ(Pixel(50, 35), qRgb(0, 0, 255));
    EXPECT_EQ(Pixel(60, 35), kWhite);
}

TEST_F(RenderTest, XorFeedbackDrawnTwiceLeavesThePictureAsItWas) {
    dc->FillSolidRect(CRect(0, 0, 50, 60), RGB(161, 166, 170));
    const QImage before = surface->copy();
    CPen pen(PS_SOLID, 1, RGB(255, 255, 255));
    CPen* old = dc->SelectObject(&pen);
    dc->SelectStockObject(NULL_BRUSH);
    dc->SetROP2(R2_XORPEN);
    for (int pass = 0; pass < 2; ++pass) {
        dc->Rectangle(CRect(5, 5, 80, 40));
        dc->MoveTo(20, 2);
        dc->LineTo(20, 55);
        dc->MoveTo(0, 0);
        dc->LineTo(70, 50); // a diagonal goes through the painter's own line drawing
        if (pass == 0) {
            EXPECT_NE(*surface, before);
            EXPECT_EQ(Pixel(5, 5), qRgb(161 ^ 255, 166 ^ 255, 170 ^ 255));
            EXPECT_EQ(Pixel(60, 5), qRgb(0, 0, 0)); // white xor white
        }
    }
    dc->SelectObject(old);
    EXPECT_EQ(*surface, before);
}

TEST_F(RenderTest, LinesLeaveOutTheirEndPointAndDotsAlternate) {
    dc->MoveTo(10, 5);
    dc->LineTo(20, 5);
    EXPECT_EQ(Pixel(10, 5), qRgb(0, 0, 0));
    EXPECT_EQ(Pixel(19, 5), qRgb(0, 0, 0));
    EXPECT_EQ(Pixel(20, 5), kWhite);

    CPen dotted(PS_DOT, 1, RGB(255, 0, 0));
    dc->SelectObject(&dotted);
    dc->SetBkMode(TRANSPARENT);
    dc->MoveTo(0, 20);
    dc->LineTo(60, 20);
    int on = 0;
    int changes = 0;
    for (int x = 0; x < 60; ++x) {
        on += Pixel(x, 20) == qRgb(255, 0, 0);
        if (x > 0)
            changes += (Pixel(x, 20) == kWhite) != (Pixel(x - 1, 20) == kWhite);
    }
    EXPECT_EQ(on, 30);      // half of the run is ink
    EXPECT_GE(changes, 10); // and it alternates
    // An opaque background fills the gaps.
    dc->SetBkMode(OPAQUE);
    dc->SetBkColor(RGB(0, 255, 255));
    dc->MoveTo(0, 30);
    dc->LineTo(60, 30);
    EXPECT_EQ(CountNot(kWhite, QRect(0, 30, 60, 1)), 60);
}

TEST_F(RenderTest, ForwardHatchRunsFromTopLeftToBottomRightAndShowsWhatIsBelow) {
    dc->FillSolidRect(CRect(0, 0, 100, 60), RGB(0, 0, 255));
    CBrush hatch(HS_FDIAGONAL, RGB(255, 0, 0));
    dc->SelectObject(&hatch);
    dc->SelectStockObject(NULL_PEN);
    dc->SetBkMode(TRANSPARENT);
    dc->Rectangle(CRect(10, 10, 50, 50));
    int red = 0;
    int along = 0;
    for (int y = 10; y < 48; ++y) {
        for (int x = 10; x < 48; ++x) {
            if (Pixel(x, y) == qRgb(255, 0, 0)) {
                ++red;
                along += Pixel(x + 1, y + 1) == qRgb(255, 0, 0);
            }
        }
    }
    EXPECT_GT(red, 100);
    EXPECT_LT(red, 38 * 38 / 2);               // gaps keep the blue below
    EXPECT_GT(along * 10, red * 8);            // lines follow the down-right diagonal
    EXPECT_EQ(Pixel(49, 30), qRgb(0, 0, 255)); // the null pen fills one pixel less
    EXPECT_EQ(Pixel(5, 5), qRgb(0, 0, 255));
}

TEST_F(RenderTest, TextIsMeasuredAndDrawnWithTheSameFont) {
    LOGFONT lf;
    lf.lfHeight = -12;
    lf.lfFaceName = "MS Sans Serif";
    CFont font;
    font.CreateFontIndirect(&lf);
    dc->SelectObject(&font);
    // Widths as the painter measures them are the kept-drawing tests'; here the metrics agree.
    const CSize shortText = dc->GetTextExtent("Track1");
    TEXTMETRIC tm;
    dc->GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight, shortText.cy);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);

    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(RGB(0, 0, 0));
    CRect box(5, 5, 95, 25);
    dc->DrawText("Track1", box, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    const int inkRight = CountNot(kWhite, QRect(95 - shortText.cx, 5, shortText.cx, 20));
    const int inkElsewhere = CountNot(kWhite, QRect(5, 5, 90 - shortText.cx - 1, 20));
    EXPECT_GT(inkRight, 20);
    EXPECT_EQ(inkElsewhere, 0);

    // Opaque text paints its cell in the background colour.
    dc->SetBkMode(OPAQUE);
    dc->SetBkColor(RGB(255, 255, 0));
    dc->TextOut(5, 35, "Keep");
    EXPECT_EQ(Pixel(5, 35), qRgb(255, 255, 0));
}

TEST_F(RenderTest, BitmapsAreCopiedAndStretched) {
    ImageData image;
    image.width = 2;
    image.height = 2;
    image.pixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF000000};
    CBitmap bitmap;
    bitmap.CreateFromImage(image, 353);
    CDC memory;
    memory.CreateCompatibleDC(dc.get());
    memory.SelectObject(&bitmap);
    dc->BitBlt(0, 0, 2, 2, &memory, 0, 0, SRCCOPY);
    EXPECT_EQ(Pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(Pixel(1, 1), qRgb(0, 0, 0));
    dc->StretchBlt(10, 10, 20, 20, &memory, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(Pixel(12, 12), qRgb(255, 0, 0));
    EXPECT_EQ(Pixel(25, 12), qRgb(0, 255, 0));
    EXPECT_EQ(Pixel(12, 25), qRgb(0, 0, 255));
    dc->DrawState(CPoint(50, 10), CSize(), &bitmap, DST_BITMAP | DSS_NORMAL);
    EXPECT_EQ(Pixel(51, 10), qRgb(0, 255, 0));
}

} // namespace

TEST(RectsTest, InlineIntersectionAndContainmentAgreeWithQt) {
    // Every rectangle of a small grid, empty, inverted and one pixel wide among them.
    std::vector<QRect> rects;
    for (int x = -1; x <= 2; ++x)
        for (int w = -2; w <= 3; ++w)
            for (int h : {-1, 0, 1, 3})
                rects.emplace_back(x, x - 1, w, h);
    for (const QRect& a : rects) {
        for (const QRect& b : rects) {
            EXPECT_EQ(kel::qt::Meet(a, b), a & b)
                << a.x() << ',' << a.width() << ' ' << b.x() << ',' << b.width();
            EXPECT_EQ(kel::qt::Holds(a, b), a.contains(b));
        }
    }
}
