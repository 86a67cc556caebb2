// What the timeline view paints: checked on the drawing operations a recording device context
// keeps, on the sample scene ("News": five tracks, track 1 locked, track 2 not playing, a
// material on track 3 whose piece the scene does not hold) at 25 frames per second.
#include "view_input_fixture.h"

#include "platform/recording_dc.h"
#include "res/resource.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace kel::test {
namespace {

using kel::platform::DrawLog;
using kel::platform::DrawRecord;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kCyan = RGB(0, 255, 255);

const DrawRecord* FindText(const DrawLog& log, const char* text) {
    for (const DrawRecord& r : log)
        if ((r.Is("DrawText") || r.Is("TextOut")) && r.text == text)
            return &r;
    return nullptr;
}

std::vector<DrawRecord> Matching(const DrawLog& log, auto predicate) {
    std::vector<DrawRecord> out;
    std::copy_if(log.begin(), log.end(), std::back_inserter(out), predicate);
    return out;
}

class ViewPaintTest : public ViewInputTest {
protected:
    // One whole paint of the view, or of the part `paintClip` of it.
    DrawLog Paint(const CRect* paintClip = nullptr) {
        CRect client;
        view->GetClientRect(&client);
        CRecordingDC dc(client, paintClip ? *paintClip : client);
        view->OnDraw(&dc);
        return dc.Operations();
    }
};

// ---- Materials.

TEST_F(ViewPaintTest, OnlyTheMaterialWithoutItsPieceIsHatched) {
    const DrawLog log = Paint();
    const auto hatches = Matching(log, [](const DrawRecord& r) {
        return r.Is("Rectangle") && r.brush.lbStyle == BS_HATCHED;
    });
    ASSERT_EQ(hatches.size(), 1u);
    const DrawRecord& hatch = hatches[0];
    EXPECT_EQ(hatch.brush.lbHatch, HS_FDIAGONAL);
    EXPECT_EQ(hatch.brush.lbColor, kRed);
    EXPECT_EQ(hatch.pen.lopnStyle, static_cast<UINT>(PS_NULL));
    // Track 3 (rows of 30 pixels from y 49), frames 30 to 80, inside the row's bevels.
    EXPECT_EQ(hatch.rect, CRect(130, 141, 180, 167));
    // It is still drawn as a Stay material under the hatch, with its background and label.
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const DrawRecord& r) {
        return r.Is("StretchBlt") && r.bitmapTag == IDB_MATERIAL_STAY &&
               r.rect == CRect(130, 141, 180, 167);
    }));
}

TEST_F(ViewPaintTest, LabelsNameThePieceTheEffectAndThePhase) {
    // A Stay that copies its picture keeps it; an In with the same effect copies.
    EXPECT_EQ(view->GetMaterialLabel(Content(1, 0)), "Headline\\Keep(Stay)");
    EXPECT_EQ(view->GetMaterialLabel(Content(3, 0)), "Logo\\Copy(In)");
    EXPECT_EQ(view->GetMaterialLabel(Content(0, 0)), "Headline\\Fade(In)");
    EXPECT_EQ(view->GetMaterialLabel(Content(2, 0)), "Headline\\Wipe(Out)");
    // Movies and scrolls have no phase.
    EXPECT_EQ(view->GetMaterialLabel(Content(4, 0)), "Opening");
    EXPECT_EQ(view->GetMaterialLabel(Content(5, 0)), "Ticker");

    body->SetFramesPerUnit(5); // five pixels a frame: room for the labels of short materials
    const DrawLog log = Paint();
    const DrawRecord* keep = FindText(log, "Headline\\Keep(Stay)");
    ASSERT_NE(keep, nullptr);
    EXPECT_EQ(keep->textColor, RGB(0, 0, 0));
    EXPECT_EQ(keep->bkMode, TRANSPARENT);
    EXPECT_EQ(keep->format, static_cast<UINT>(DT_LEFT | DT_VCENTER | DT_SINGLELINE));
    // Frames 10 to 85 on track 0, clipped to the material; the text starts past the thumbnail
    // square (2 pixels in, 22 wide) and a gap of 2.
    EXPECT_EQ(keep->clip, CRect(150, 51, 525, 77));
    EXPECT_EQ(keep->textRect.left, 150 + 2 + 22 + 2);
    EXPECT_NE(FindText(log, "Logo\\Copy(In)"), nullptr);
    EXPECT_EQ(FindText(log, "Headline\\Copy(Stay)"), nullptr);
}

TEST_F(ViewPaintTest, MaterialsShowTheBackgroundOfTheirKindAndAThumbnailSquare) {
    const DrawLog log = Paint();
    auto backgroundAt = [&](const CRect& rect) -> UINT {
        for (const DrawRecord& r : log)
            if (r.Is("StretchBlt") && r.rect == rect)
                return r.bitmapTag;
        return 0;
    };
    EXPECT_EQ(backgroundAt(CRect(100, 51, 110, 77)), IDB_MATERIAL_IN);  // Headline In
    EXPECT_EQ(backgroundAt(CRect(185, 51, 195, 77)), IDB_MATERIAL_OUT); // Headline Out
    EXPECT_EQ(backgroundAt(CRect(100, 81, 225, 107)), IDB_MATERIAL_IN); // the movie
    EXPECT_EQ(backgroundAt(CRect(250, 81, 450, 107)), IDB_MATERIAL_IN); // the scroll
    // The thumbnail square of the movie: 2 pixels in, as high as the material less 4.
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const DrawRecord& r) {
        return r.Is("Draw3dRect") && r.rect == CRect(102, 83, 124, 105) &&
               r.color == RGB(96, 109, 137) && r.color2 == RGB(156, 168, 197);
    }));
}

TEST_F(ViewPaintTest, AThumbnailIconIsPlacedOnTheWholeSquare) {
    // Icons drawn from a memory block are the untagged stretches.
    const auto iconsIn = [](const DrawLog& log, const CRect& square) {
        return Matching(log, [&](const DrawRecord& r) {
            return r.Is("StretchBlt") && r.bitmapTag == 0 && square.PtInRect(r.rect.TopLeft());
        });
    };
    // The movie's square is (102, 83)-(124, 105). Its 32 x 18 icon spans the full width with
    // trunc(22 / 1.78) / 2 = 6 pixels above and below the middle row 94.
    const CRect square(102, 83, 124, 105);
    auto icons = iconsIn(Paint(), square);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].rect, CRect(102, 88, 124, 100));

    // An icon no wider than high fills the square.
    auto* movie = body->GetContainerObj(4)->GetContentObj(0);
    ASSERT_TRUE(movie->IsKindOf(RUNTIME_CLASS(CKelSBContentMovieObj)));
    CKelMemBlock tall;
    ASSERT_TRUE(tall.Init(9, 16, nullptr, CKelMemBlock::kInitOpaque));
    movie->SetIcon(&tall);
    icons = iconsIn(Paint(), square);
    ASSERT_EQ(icons.size(), 1u);
    EXPECT_EQ(icons[0].rect, square);
}

// ---- Ruler.

TEST_F(ViewPaintTest, RulerAtOneSecondPerUnitLabelsEveryFiveSeconds) {
    // The ruler runs from x 100 to the client's right edge (1000) between y 29 and 49; every
    // mark stands one pixel left of the logical pixel it counts.
    const DrawLog log = Paint();
    const auto labels = Matching(log, [](const DrawRecord& r) { return r.Is("TextOut"); });
    std::vector<std::string> texts;
    for (const DrawRecord& r : labels)
        texts.push_back(r.text.GetString());
    EXPECT_EQ(texts, (std::vector<std::string>{"00:00:00:00", "00:00:05:00", "00:00:10:00",
                                               "00:00:15:00", "00:00:20:00", "00:00:25:00",
                                               "00:00:30:00", "00:00:35:00"}));
    // Centred on its mark (7 pixels a character), 2 pixels below the ruler's top.
    EXPECT_EQ(labels[1].from, CPoint(224 - 38, 31));
    EXPECT_EQ(labels[1].textColor, RGB(0, 0, 0));
    EXPECT_EQ(labels[1].bkMode, TRANSPARENT);

    // Ticks: everything drawn from the ruler's last row upward.
    const auto ticks = Matching(log, [](const DrawRecord& r) {
        return r.Is("LineTo") && r.from.y == 48 && r.from.x == r.to.x;
    });
    int longTicks = 0, shortTicks = 0;
    for (const DrawRecord& r : ticks) {
        const int logical = r.from.x - 100 + 1;
        if (r.to.y == 41) {
            ++longTicks;
            EXPECT_EQ(logical % 25, 0) << r.from.x;
        } else {
            ++shortTicks;
            EXPECT_EQ(r.to.y, 44);
            EXPECT_EQ(logical % 5, 0) << r.from.x;
            EXPECT_NE(logical % 25, 0) << r.from.x;
        }
        EXPECT_EQ(r.pen.lopnColor, RGB(0, 0, 0));
    }
    // x 124, 149 ... 999 carry long ticks; four short ones lie between neighbours.
    EXPECT_EQ(longTicks, 36);
    EXPECT_EQ(shortTicks, 36 * 4);
}

// The ruler's frame counts when the storyboard counts frames: the runner script paint.kss.

TEST_F(ViewPaintTest, ScrolledRulerLabelsFollowTheScrollPosition) {
    SizeView(300, 300); // 183 pixels of time area for 350 frames
    view->Scroll().UpdateHRange();
    view->Scroll().SetHScrollPos(100);
    ASSERT_EQ(view->Scroll().GetHScrollPos(), 100);
    // Logical 125 (frame 125, 5 seconds) now has its mark at client x 124.
    const DrawLog log = Paint();
    const DrawRecord* label = FindText(log, "00:00:05:00");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->from.x, 124 - 38);
    EXPECT_EQ(FindText(log, "00:00:00:00"), nullptr); // its mark lies left of the view
}

// ---- Headers and rows.

TEST_F(ViewPaintTest, SelectedTrackHeaderIsDrawnPressed) {
    view->Selection().GetSelTrackList().AddTail(body->GetTrackObj(0));
    const DrawLog log = Paint();

    const DrawRecord* selected = FindText(log, "Track1");
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->textColor, RGB(255, 255, 0));
    EXPECT_EQ(selected->format, static_cast<UINT>(DT_RIGHT | DT_VCENTER | DT_SINGLELINE));
    const DrawRecord* other = FindText(log, "Track2");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->textColor, RGB(60, 60, 60));
    // Pressed: the text band and the icons sit one pixel further right and down than in a
    // header that is not (the next header lies 30 pixels lower).
    EXPECT_EQ(selected->textRect.right, other->textRect.right + 1);
    EXPECT_EQ(selected->textRect.top, other->textRect.top - 30 + 1);

    const auto frames = Matching(log, [](const DrawRecord& r) { return r.Is("FrameRect"); });
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].rect, CRect(0, 49, 100, 79));
    EXPECT_EQ(frames[0].brush.lbColor, RGB(158, 0, 0));

    auto iconAt = [&](CPoint point) -> UINT {
        for (const DrawRecord& r : log)
            if (r.Is("DrawState") && r.rect.TopLeft() == point)
                return r.bitmapTag;
        return 0;
    };
    EXPECT_EQ(iconAt(CPoint(5, 54)), IDB_TRACK_PLAY_ALLOWED); // pressed track 0
    EXPECT_EQ(iconAt(CPoint(21, 54)), IDB_TRACK_UNLOCKED);
    EXPECT_EQ(iconAt(CPoint(20, 83)), IDB_TRACK_LOCKED);         // track 1
    EXPECT_EQ(iconAt(CPoint(4, 113)), IDB_TRACK_PLAY_FORBIDDEN); // track 2
}

TEST_F(ViewPaintTest, RowsOfTracksThatMayNotPlayAreFilledGrey) {
    const DrawLog log = Paint();
    const auto fills = Matching(log, [](const DrawRecord& r) {
        return r.Is("FillSolidRect") && r.color == RGB(128, 128, 128);
    });
    // Only track 2 (y 109 to 139), inside the row's two bevels at top and bottom.
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rect, CRect(100, 111, 983, 137));
}

// ---- Selection and time line.

TEST_F(ViewPaintTest, SelectionOutlinesAreDottedRedForTheCurrentMaterialCyanForOthers) {
    view->Selection().GetSelContainerList().AddTail(
        body->GetContainerObj(3)); // Logo In 100-112, Stay -212
    view->Selection().GetSelContainerList().AddTail(
        body->GetContainerObj(6)); // Lower Third on track 2
    view->Selection().SetCurContent(Content(3, 1));
    const DrawLog log = Paint();
    const auto outlines = Matching(log, [](const DrawRecord& r) {
        return r.Is("Rectangle") && r.pen.lopnStyle == static_cast<UINT>(PS_DOT);
    });
    ASSERT_EQ(outlines.size(), 4u);
    for (const DrawRecord& r : outlines)
        EXPECT_EQ(r.brush.lbStyle, BS_NULL) << "an outline must leave the material visible";
    auto colourAt = [&](const CRect& rect) -> COLORREF {
        for (const DrawRecord& r : outlines)
            if (r.rect == rect)
                return r.pen.lopnColor;
        return RGB(1, 2, 3);
    };
    EXPECT_EQ(colourAt(CRect(213, 51, 311, 77)), kRed);  // the current content
    EXPECT_EQ(colourAt(CRect(201, 51, 211, 77)), kCyan); // same container
    EXPECT_EQ(colourAt(CRect(121, 111, 127, 137)), kCyan);
    EXPECT_EQ(colourAt(CRect(161, 111, 167, 137)), kCyan);
    // Drawn after the materials, so they are not painted over.
    std::size_t lastBackground = 0, firstOutline = log.size();
    for (std::size_t i = 0; i < log.size(); ++i) {
        if (log[i].Is("StretchBlt"))
            lastBackground = i;
        if (log[i].Is("Rectangle") && log[i].pen.lopnStyle == static_cast<UINT>(PS_DOT))
            firstOutline = std::min(firstOutline, i);
    }
    EXPECT_LT(lastBackground, firstOutline);
}

TEST_F(ViewPaintTest, TimeLineIsTwoBlackLinesBelowItsHead) {
    body->SetTimeLinePos(50);
    const DrawLog log = Paint();
    const CRect head = view->Geometry().GetTimeLineHeadRect(50);
    const auto lines = Matching(log, [](const DrawRecord& r) {
        return r.Is("LineTo") && r.to.y == 300 && r.from.x == r.to.x;
    });
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].from, CPoint(150, head.bottom));
    EXPECT_EQ(lines[1].from.x, 151);
    EXPECT_EQ(lines[0].pen.lopnColor, RGB(0, 0, 0));
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [&](const DrawRecord& r) {
        return r.Is("DrawState") && r.bitmapTag == IDB_TIMELINE_HEAD && r.rect == head;
    }));
}

// ---- Zoom text.

TEST_F(ViewPaintTest, ZoomTextSpellsMinutesSecondsAndFrames) {
    EXPECT_EQ(view->Scroll().GetZoomText(1525), "1 Minutes  1 Seconds  0 Frames");
    EXPECT_EQ(view->Scroll().GetZoomText(1500), "1 Minutes  0 Seconds  0 Frames");
    EXPECT_EQ(view->Scroll().GetZoomText(30), "1 Seconds  5 Frames");
    EXPECT_EQ(view->Scroll().GetZoomText(20), "20 Frames");
    KelSBSetCurScene(nullptr);
    EXPECT_EQ(view->Scroll().GetZoomText(1525), "");
}

// ---- What is not visible.

TEST_F(ViewPaintTest, AWholePaintDrawsNothingThatCannotShow) {
    const DrawLog log = Paint();
    ASSERT_FALSE(log.empty());
    for (const DrawRecord& r : log)
        EXPECT_TRUE(r.visible) << r.name << " at " << r.rect.left << "," << r.rect.top;
}

TEST_F(ViewPaintTest, APaintOfTheHeaderColumnDrawsOnlyHeaders) {
    const CRect column = view->Geometry().GetHeaderColumnRect();
    const DrawLog log = Paint(&column);
    ASSERT_FALSE(log.empty());
    for (const DrawRecord& r : log) {
        EXPECT_TRUE(r.visible) << r.name;
        EXPECT_FALSE(r.Is("StretchBlt") || r.Is("TextOut") || r.Is("Rectangle")) << r.name;
    }
    EXPECT_NE(FindText(log, "Track1"), nullptr);
}

TEST_F(ViewPaintTest, TracksScrolledAboveTheAreaAreNotDrawn) {
    SizeView(1000, 120); // track area 71 pixels high for 150 pixels of tracks
    view->Scroll().UpdateVRange();
    view->Scroll().SetVScrollPos(40);
    ASSERT_EQ(view->Scroll().GetVScrollPos(), 40);
    const DrawLog log = Paint();
    EXPECT_EQ(FindText(log, "Track1"), nullptr);
    EXPECT_NE(FindText(log, "Track2"), nullptr);
    EXPECT_EQ(FindText(log, "Headline\\Keep(Stay)"), nullptr);
    EXPECT_EQ(FindText(log, "Track5"), nullptr); // below the client area
}

TEST_F(ViewPaintTest, WithoutAStoryboardOnlyTheBackgroundsArePainted) {
    KelSBSetCurScene(nullptr);
    const DrawLog log = Paint();
    ASSERT_FALSE(log.empty());
    for (const DrawRecord& r : log) {
        EXPECT_FALSE(r.Is("TextOut") || r.Is("DrawText") || r.Is("StretchBlt") || r.Is("DrawState"))
            << r.name;
    }
}

// ---- The window's own paint and the header tip.

TEST_F(ViewPaintTest, WindowPaintGoesThroughTheSameDrawingWithoutErasing) {
    view->Invalidate(TRUE);
    view->UpdateWindow();
    const DrawLog& log = headless->LastPaint(*view);
    EXPECT_NE(FindText(log, "Headline\\Keep(Stay)"), nullptr);
    // Nothing is erased first: the corner box's bevel is the first thing drawn.
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(log.front().Is("LineTo"));
    EXPECT_EQ(log.front().pen.lopnColor, RGB(128, 128, 128));
}

TEST_F(ViewPaintTest, HeaderTipNamesTheButtonUnderTheMouse) {
    auto tipAt = [&](CPoint point) -> std::string {
        headless->ClearRecords();
        view->UpdateHeaderTip(point);
        MSG msg;
        msg.hwnd = view;
        msg.message = WM_MOUSEMOVE;
        msg.lParam = MAKELPARAM(point.x, point.y);
        kel::platform::PreTranslateChain(msg);
        const auto& tips = headless->Tooltips();
        return tips.empty() ? std::string() : std::string(tips.back().GetString());
    };
    // Header of track i from y 49 + 30 i; the buttons are 16-pixel squares 3 pixels in.
    EXPECT_EQ(tipAt(CPoint(10, 60)), "Allow Playing");
    EXPECT_EQ(tipAt(CPoint(25, 60)), "Unlock");
    EXPECT_EQ(tipAt(CPoint(25, 90)), "Lock");            // track 1 is locked
    EXPECT_EQ(tipAt(CPoint(10, 120)), "Forbid Playing"); // track 2 may not play
    EXPECT_EQ(tipAt(CPoint(60, 60)), "");                // on the name: no tip
    EXPECT_EQ(tipAt(CPoint(10, 51)), "");                // above the buttons
}

// ---- Gesture feedback.

TEST_F(ViewPaintTest, MarkerFeedbackLinesAreXorAndGoneWhenTheDragEnds) {
    body->SetRange(20, 120); // range bar from x 120 to 220
    auto feedback = [&] {
        return Matching(headless->ClientDrawing(*view),
                        [](const DrawRecord& r) { return r.Is("LineTo") && r.rop2 == R2_XORPEN; });
    };
    headless->ClearClientDrawing(*view);
    Down(170, 22); // inside the bar: the whole range
    auto lines = feedback();
    ASSERT_EQ(lines.size(), 2u);
    for (const DrawRecord& r : lines) {
        EXPECT_EQ(r.pen.lopnColor, RGB(161, 149, 138));
        EXPECT_EQ(r.from.y, 29); // the top of the ruler
        EXPECT_EQ(r.to.y, 300);  // the bottom of the track rows
        EXPECT_EQ(r.clip, view->Geometry().GetTimeAreaRect());
    }
    EXPECT_EQ(lines[0].from.x, 120);
    EXPECT_EQ(lines[1].from.x, 220);

    Move(180, 22);
    Up(180, 22);
    // Every line was drawn an even number of times: nothing is left on the screen.
    std::map<int, int> drawn;
    for (const DrawRecord& r : feedback())
        ++drawn[r.from.x];
    EXPECT_EQ(drawn.size(), 4u); // the old and the moved marks
    for (const auto& [x, count] : drawn)
        EXPECT_EQ(count % 2, 0) << "x " << x;
}

} // namespace
} // namespace kel::test
