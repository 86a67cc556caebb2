// A crowded storyboard: the hit test, band selection, the header buttons and the painting of
// materials and selection outlines look only at the rows and frames under the point or in the
// clip. Here they must answer exactly what walking every container and every track answers:
// the first container in storyboard order wins, overlapping materials, scrolled and
// fractional scales, low rows, lists out of step with the containers, partial repaints.
#include "view_input_fixture.h"

#include "platform/recording_dc.h"

#include <random>
#include <set>
#include <sstream>

// Rectangles print as such when an expectation fails.
inline void PrintTo(const CRect& r, std::ostream* out) {
    *out << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace kel::test {
namespace {

using kel::platform::DrawLog;
using kel::platform::DrawRecord;

std::string Describe(int result, const KelSBHitResult& hit) {
    std::ostringstream text;
    const auto rect = [&](const CRect& r) {
        text << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ") ";
    };
    text << result << " track " << hit.nTrackIndex << " " << hit.pTrack << " container "
         << hit.pContainer << " content " << hit.pContent << " ";
    rect(hit.rcTrackRow);
    rect(hit.rcContainerOutline);
    rect(hit.rcContent);
    return text.str();
}

class ViewCrowdedTest : public ViewInputTest {
protected:
    void SetUp() override {
        ViewInputTest::SetUp();
        while (body->GetTrackCount() < 20)
            body->AppendTrack();
        // Sixty containers over twenty tracks: some span two tracks, many overlap materials of
        // earlier containers on the same track, and some overlap within their own container.
        std::mt19937 random(5);
        CKelPlayBaseObj* pPiece = scene->FindPieceByGUID(KelSampleGUID(kSampleHeadline));
        for (int c = 0; c < 60; ++c) {
            auto* pContainer = new CKelSBContainerObj;
            const int nTrack = static_cast<int>(random() % 20);
            const DWORD dwStart = random() % 1200;
            for (int m = static_cast<int>(random() % 3); m >= 0; --m) {
                CKelSBContentBaseObj* pContent = nullptr;
                switch (random() % 4) {
                case 0:
                    pContent = new CKelSBContentPieceInObj;
                    break;
                case 1:
                    pContent = new CKelSBContentPieceStayObj;
                    break;
                case 2:
                    pContent = new CKelSBContentPieceOutObj;
                    break;
                default:
                    pContent = new CKelSBContentMovieObj;
                    break;
                }
                const DWORD dwIn = dwStart + random() % 40;
                pContent->Init(static_cast<WORD>(std::min(19, nTrack + static_cast<int>(m % 2))),
                               pPiece->GetGUID(), dwIn, dwIn + 1 + random() % 150, pPiece);
                pContainer->AddContent(pContent);
            }
            body->AddContainer(pContainer);
        }
        view->RefreshView(nullptr);
        ASSERT_GT(body->GetContainerCount(), KelSBViewSelection::kSelectionWalkedUpTo);
    }

    // Every material's hit rectangle, container by container, as the walk below sees them.
    struct Placed {
        CKelSBContainerObj* pContainer;
        std::vector<std::pair<CKelSBContentBaseObj*, CRect>> contents;
    };
    std::vector<Placed> PlaceAll() const {
        std::vector<Placed> placed;
        for (int c = 0; c < body->GetContainerCount(); ++c) {
            placed.push_back({body->GetContainerObj(c), {}});
            for (INT_PTR m = 0; m < body->GetContainerObj(c)->GetContentCount(); ++m) {
                CKelSBContentBaseObj* pContent = Content(c, static_cast<int>(m));
                placed.back().contents.emplace_back(pContent,
                                                    view->Geometry().GetMaterialHitRect(pContent));
            }
        }
        return placed;
    }

    // The hit test as a walk of every track and every container.
    int WalkHitTest(const std::vector<Placed>& placed, CPoint point, KelSBHitResult& result) const {
        result = KelSBHitResult{};
        if (!view->Geometry().GetTrackAreaRect().PtInRect(point))
            return 1;
        for (int i = 0; i < body->GetTrackCount() && result.nTrackIndex < 0; ++i) {
            if (view->Geometry().GetTrackRowRect(i).PtInRect(point)) {
                result.nTrackIndex = i;
                result.pTrack = body->GetTrackObj(i);
                result.rcTrackRow = view->Geometry().GetTrackRowRect(i);
            }
        }
        if (result.nTrackIndex < 0)
            return 0;
        for (const Placed& container : placed) {
            CRect outline, rcHit;
            CKelSBContentBaseObj* pHit = nullptr;
            for (const auto& [pContent, rc] : container.contents) {
                outline.UnionRect(outline, rc);
                if (!pContent->IsKindOf(RUNTIME_CLASS(CKelSBContentMovieObj)) &&
                    pContent->GetTrackIndex() != result.nTrackIndex)
                    continue;
                if (rc.PtInRect(point)) {
                    pHit = pContent;
                    rcHit = rc;
                }
            }
            if (pHit) {
                result.pContainer = container.pContainer;
                result.pContent = pHit;
                result.rcContent = rcHit;
                result.rcContainerOutline = outline;
                return 1;
            }
        }
        return 0;
    }

    // Every point near a material's edges or a row's borders, the view's answer against the
    // walk's.
    void ExpectHitTestsAgree() {
        const std::vector<Placed> placed = PlaceAll();
        std::set<int> xs, ys;
        for (const Placed& container : placed) {
            for (const auto& [pContent, rc] : container.contents) {
                for (int d = -1; d <= 2; ++d)
                    xs.insert({rc.left + d, rc.right - 1 + d});
                xs.insert(rc.CenterPoint().x);
            }
        }
        for (int t = 0; t <= body->GetTrackCount(); ++t) {
            const CRect row = view->Geometry().GetTrackRowRect(t);
            for (int d = -1; d <= 1; ++d)
                ys.insert({row.top + d, row.bottom - 1 + d});
            ys.insert(row.CenterPoint().y);
        }
        // Outside the track area both answer at once; a pixel beyond it on each side stays.
        const CRect area = view->Geometry().GetTrackAreaRect();
        std::erase_if(xs, [&](int x) { return x < area.left - 1 || x > area.right; });
        std::erase_if(ys, [&](int y) { return y < area.top - 1 || y > area.bottom; });
        for (int y : ys) {
            for (int x : xs) {
                KelSBHitResult expected, actual;
                const int nExpected = WalkHitTest(placed, CPoint(x, y), expected);
                const int nActual = view->Geometry().HitTest(CPoint(x, y), actual);
                ASSERT_EQ(Describe(nActual, actual), Describe(nExpected, expected))
                    << "at " << x << "," << y;
            }
        }
    }

    DrawLog Paint(const CRect* pPart = nullptr) {
        view->InvalidateRect(pPart, FALSE);
        view->UpdateWindow();
        return headless->LastPaint(*view);
    }

    // Material backgrounds and selection outlines, in the order they were drawn.
    static std::vector<CRect> Drawn(const DrawLog& log, bool bOutlines) {
        std::vector<CRect> rects;
        for (const DrawRecord& r : log) {
            const bool bOutline = r.Is("Rectangle") && r.pen.lopnStyle == static_cast<UINT>(PS_DOT);
            const bool bMaterial = r.Is("Draw3dRect") && r.color == RGB(230, 230, 230);
            if (bOutlines ? bOutline : bMaterial)
                rects.push_back(r.rect);
        }
        return rects;
    }

    // What a walk of every track list, and of every selected container, would draw in `clip`.
    std::vector<CRect> WalkBackgrounds(const CRect& clip) const {
        std::vector<CRect> rects;
        for (int t = 0; t < body->GetTrackCount(); ++t) {
            for (INT_PTR m = 0; m < body->GetTrackObj(t)->GetContentCount(); ++m) {
                CRect rc = view->Geometry().GetMaterialRect(body->GetTrackObj(t)->GetContentObj(m));
                rc.DeflateRect(0, 1);
                CRect shown;
                if (!rc.IsRectEmpty() && shown.IntersectRect(rc, clip))
                    rects.push_back(rc);
            }
        }
        return rects;
    }
    std::vector<CRect> WalkOutlines(const CRect& clip) const {
        std::vector<CRect> rects;
        const CObList& selected = view->Selection().GetSelContainerList();
        for (POSITION pos = selected.GetHeadPosition(); pos;) {
            const auto* pContainer = static_cast<CKelSBContainerObj*>(selected.GetNext(pos));
            for (INT_PTR m = 0; m < pContainer->GetContentCount(); ++m) {
                CRect rc = view->Geometry().GetMaterialRect(pContainer->GetContentObj(m));
                CRect shown;
                if (!rc.IsRectEmpty() && shown.IntersectRect(rc, clip)) {
                    rc.DeflateRect(1, 1);
                    rects.push_back(rc);
                }
            }
        }
        return rects;
    }
};

TEST_F(ViewCrowdedTest, HitTestsAnswerAsAWalkOfEveryContainer) {
    ExpectHitTestsAgree(); // the track lists current
    view->Scroll().SetHScrollPos(137);
    view->Scroll().SetVScrollPos(13);
    ExpectHitTestsAgree();
    ASSERT_TRUE(body->SetFramesPerUnit(7)); // a scale whose pixels round both ways
    view->Scroll().UpdateHRange();
    ExpectHitTestsAgree();
    // A material moved without the lists being rebuilt: they are out of step, and the hit
    // test must not trust them.
    Content(0, 0)->SetTrackIndex(static_cast<WORD>((Content(0, 0)->GetTrackIndex() + 3) % 20));
    ASSERT_FALSE(body->AreTrackContentListsCurrent());
    ExpectHitTestsAgree();
}

TEST_F(ViewCrowdedTest, HeaderButtonsOfLowRowsReachIntoTheNextHeader) {
    CKelSBBodyAttr attr = body->GetEditAttr();
    attr.nTrackHeight = CKelSBBodyObj::kMinTrackHeight;
    body->SetEditAttr(attr);
    view->Scroll().SetVScrollPos(5);
    for (int y = view->Geometry().GetTrackAreaRect().top; y < 300; ++y) {
        for (int x = 0; x < 40; ++x) {
            int nExpected = -1, nExpectedButton = -1;
            for (int i = 0; i < body->GetTrackCount() && nExpected < 0; ++i) {
                CRect rc = view->Geometry().GetTrackHeaderRect(i);
                rc.DeflateRect(3, 3);
                const CRect play(rc.left, rc.top, rc.left + 16, rc.top + 16);
                const CRect lock(play.left + 16, play.top, play.right + 16, play.bottom);
                if (play.PtInRect(CPoint(x, y)) || lock.PtInRect(CPoint(x, y))) {
                    nExpected = i;
                    nExpectedButton = play.PtInRect(CPoint(x, y)) ? 0 : 1;
                }
            }
            int nButton = -1;
            ASSERT_EQ(view->Geometry().HeaderButtonTest(CPoint(x, y), nButton), nExpected)
                << x << "," << y;
            if (nExpected >= 0) {
                ASSERT_EQ(nButton, nExpectedButton) << x << "," << y;
            }
        }
    }
}

TEST_F(ViewCrowdedTest, BandsSelectContainersInStoryboardOrder) {
    std::mt19937 random(3);
    const CRect area = view->Geometry().GetTrackAreaRect();
    for (int n = 0; n < 40; ++n) {
        const int left = area.left + static_cast<int>(random() % 900);
        const int top = area.top + static_cast<int>(random() % 260);
        // Some bands reach below the last track and past the right end.
        const CRect band(left, top, left + static_cast<int>(random() % 300),
                         top + static_cast<int>(random() % 200));
        std::vector<int> expected;
        for (int c = 0; c < body->GetContainerCount(); ++c) {
            for (INT_PTR m = 0; m < body->GetContainerObj(c)->GetContentCount(); ++m) {
                CRect overlap;
                if (overlap.IntersectRect(
                        view->Geometry().GetMaterialHitRect(Content(c, static_cast<int>(m))),
                        band)) {
                    expected.push_back(c);
                    break;
                }
            }
        }
        view->Selection().SelectByRect(band);
        ASSERT_EQ(SelectedContainers(), expected) << "band " << n;
        if (!expected.empty()) {
            ASSERT_EQ(view->Selection().GetCurContent(), Content(expected[0], 0));
        }
    }
}

TEST_F(ViewCrowdedTest, PaintingDrawsWhatAWalkDrawsInSelectionOrder) {
    const CRect area = view->Geometry().GetTrackAreaRect();
    view->Scroll().SetHScrollPos(90);
    // Every container, most recent first, so that selection order and storyboard order
    // differ; more of them than the selection walk takes.
    for (int c = body->GetContainerCount() - 1; c >= 0; --c)
        view->Selection().GetSelContainerList().AddTail(body->GetContainerObj(c));
    view->Selection().SetCurContent(Content(7, 0));
    DrawLog log = Paint();
    EXPECT_EQ(Drawn(log, false), WalkBackgrounds(area));
    EXPECT_EQ(Drawn(log, true), WalkOutlines(area));
    ASSERT_FALSE(Drawn(log, true).empty());
    for (const DrawRecord& r : log) {
        if (r.Is("Rectangle") && r.pen.lopnStyle == static_cast<UINT>(PS_DOT)) {
            CRect current = view->Geometry().GetMaterialRect(Content(7, 0));
            current.DeflateRect(1, 1);
            EXPECT_EQ(r.pen.lopnColor, r.rect == current ? RGB(255, 0, 0) : RGB(0, 255, 255));
        }
    }

    // A part of the view repainted: only what reaches into it.
    const CRect part(area.left + 150, area.top + 40, area.left + 420, area.top + 130);
    log = Paint(&part);
    EXPECT_EQ(Drawn(log, false), WalkBackgrounds(part));
    EXPECT_EQ(Drawn(log, true), WalkOutlines(part));

    // Lists out of step (a material moved to another track, not yet rebuilt): every list is
    // painted as it stands, and outlines come from the selection itself.
    Content(3, 0)->SetTrackIndex(static_cast<WORD>((Content(3, 0)->GetTrackIndex() + 1) % 20));
    log = Paint();
    EXPECT_EQ(Drawn(log, false), WalkBackgrounds(area));
    EXPECT_EQ(Drawn(log, true), WalkOutlines(area));
}

} // namespace
} // namespace kel::test
