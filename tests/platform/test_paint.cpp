// Invalidation, painting through the backend and scrolling.
#include "ui_fixtures.h"

#include "platform/dc.h"

using kel::test::LoggingWnd;
using kel::test::UiTest;

namespace {

long Area(const std::vector<CRect>& rects) {
    long area = 0;
    for (const CRect& r : rects) {
        area += static_cast<long>(r.Width()) * r.Height();
    }
    return area;
}

// Fills its whole client area on every paint, so the recorded clip shows what was painted.
class FillingWnd : public LoggingWnd {
protected:
    void OnPaint() override {
        LoggingWnd::OnPaint();
        CPaintDC dc(this);
        CRect client;
        GetClientRect(&client);
        dc.FillSolidRect(client, RGB(1, 2, 3));
    }
};

class PaintTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_TRUE(wnd.CreatePopup(CRect(0, 0, 200, 100)));
        wnd.UpdateWindow(); // the first paint of a new window
        wnd.paints = 0;
        wnd.erases = 0;
        wnd.paintBoxes.clear();
    }
    FillingWnd wnd;
};

} // namespace

TEST_F(PaintTest, InvalidationAccumulatesAndOnePaintCoversExactlyIt) {
    wnd.InvalidateRect(CRect(10, 10, 50, 50), FALSE);
    wnd.InvalidateRect(CRect(30, 30, 80, 60), FALSE);    // overlaps the first
    wnd.InvalidateRect(CRect(190, 90, 400, 400), FALSE); // clipped to the client area
    const auto& region = wnd.GetInvalidRegion();
    EXPECT_EQ(40L * 40 + 50 * 30 - 20 * 20 + 10 * 10, Area(region)); // disjoint pieces
    CRect box;
    EXPECT_TRUE(wnd.GetUpdateRect(&box));
    EXPECT_EQ(CRect(10, 10, 200, 100), box);

    wnd.UpdateWindow();
    EXPECT_EQ(1, wnd.paints);
    EXPECT_EQ(0, wnd.erases); // nobody asked for erasing
    ASSERT_EQ(1u, wnd.paintBoxes.size());
    EXPECT_EQ(CRect(10, 10, 200, 100), wnd.paintBoxes[0]);
    const auto fills = headless->LastPaint(wnd);
    ASSERT_EQ(1u, fills.size());
    EXPECT_EQ(CRect(10, 10, 200, 100), fills[0].clip);
    EXPECT_TRUE(wnd.GetInvalidRegion().empty());

    wnd.UpdateWindow(); // nothing invalid: no paint
    EXPECT_EQ(1, wnd.paints);
}

TEST_F(PaintTest, EraseIsSentOnlyWhenAskedAndValidationSubtracts) {
    wnd.Invalidate(TRUE);
    const CRect top(0, 0, 200, 50);
    wnd.ValidateRect(&top);
    EXPECT_EQ(CRect(0, 50, 200, 100), wnd.GetInvalidRegion().at(0));
    wnd.UpdateWindow();
    EXPECT_EQ(1, wnd.erases);
    EXPECT_EQ(CRect(0, 50, 200, 100), wnd.paintBoxes.at(0));

    wnd.Invalidate(TRUE);
    wnd.ValidateRect(nullptr);
    wnd.UpdateWindow();
    EXPECT_EQ(1, wnd.paints);
}

TEST_F(PaintTest, HiddenWindowsKeepTheirRegionUntilShown) {
    wnd.ShowWindow(SW_HIDE);
    wnd.InvalidateRect(CRect(0, 0, 20, 20), FALSE);
    wnd.UpdateWindow();
    EXPECT_EQ(0, wnd.paints);
    wnd.ShowWindow(SW_SHOW); // showing invalidates everything
    wnd.UpdateWindow();
    EXPECT_EQ(1, wnd.paints);
    EXPECT_EQ(CRect(0, 0, 200, 100), wnd.paintBoxes.at(0));
}

TEST_F(PaintTest, ScrollingMovesTheInvalidRegionAndExposesAStrip) {
    wnd.InvalidateRect(CRect(50, 10, 60, 20), FALSE);
    wnd.ScrollWindow(-30, 0); // content moves left by 30
    std::vector<CRect> region = wnd.GetInvalidRegion();
    ASSERT_EQ(2u, region.size());
    EXPECT_EQ(CRect(20, 10, 30, 20), region[0]);
    EXPECT_EQ(CRect(170, 0, 200, 100), region[1]);
    wnd.UpdateWindow();
    EXPECT_EQ(1, wnd.erases); // the uncovered strip is erased
}

TEST_F(PaintTest, ScrollingInsideAnAreaLeavesTheRestAlone) {
    const CRect area(100, 0, 200, 100);
    wnd.InvalidateRect(CRect(10, 10, 20, 20), FALSE);   // outside the area
    wnd.InvalidateRect(CRect(110, 10, 120, 20), FALSE); // scrolled out of the area
    wnd.InvalidateRect(CRect(150, 40, 160, 50), FALSE); // moves along
    wnd.ScrollWindow(-20, 10, &area, &area);
    const std::vector<CRect> expected = {CRect(10, 10, 20, 20), CRect(130, 50, 140, 60),
                                         CRect(100, 0, 200, 10), CRect(180, 10, 200, 100)};
    EXPECT_EQ(expected, wnd.GetInvalidRegion());
}
