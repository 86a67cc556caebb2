// The storyboard document: storyboard operations, its clipboard, and storage.
#include "model_fixtures.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/undo/ur_manager.h"
#include "platform/archive.h"
#include "platform/file.h"

#include <gtest/gtest.h>
#include <vector>

using kel::test::AddContainer;
using kel::test::Load;
using kel::test::MakeContent;
using kel::test::Store;

namespace {

std::vector<CString> Names(const CKelSBEditObj& doc) {
    std::vector<CString> names;
    for (int i = 0; i < doc.GetSBBodyCount(); ++i)
        names.push_back(doc.GetSBBodyObj(i)->GetName());
    return names;
}

// A document with three named storyboards, "A" current.
void Name(CKelSBEditObj& doc) {
    doc.AppendSBBody();
    doc.AppendSBBody();
    const char* names[] = {"A", "B", "C"};
    for (int i = 0; i < 3; ++i)
        doc.GetSBBodyObj(i)->SetName(names[i]);
    doc.SetCurSBBodyIndex(0);
}

class NoOpCmd : public CKelURCmd {
public:
    NoOpCmd() : CKelURCmd(nullptr, 1, "step") {}
};

} // namespace

TEST(ModelDocument, StoryboardOperationsKeepTheCurrentOne) {
    CKelSBEditObj doc;
    Name(doc);

    ASSERT_EQ(doc.MoveSBBody(-1, 1), 1); // A down: the current one follows
    EXPECT_EQ(Names(doc), (std::vector<CString>{"B", "A", "C"}));
    EXPECT_EQ(doc.GetCurSBBodyIndex(), 1);
    EXPECT_EQ(doc.MoveSBBody(2, 1), 0);
    EXPECT_EQ(doc.MoveSBBody(0, 0), 0);

    ASSERT_EQ(doc.InsertSBBody(-1), 1); // before A, and current
    EXPECT_EQ(doc.GetCurSBBodyIndex(), 1);
    EXPECT_EQ(doc.GetCurSBBodyObj()->GetName(), CKelSBBodyObj::GetDefName());

    ASSERT_EQ(doc.DeleteSBBody(-1), 1); // A takes its place
    EXPECT_EQ(doc.GetCurSBBodyObj()->GetName(), "A");
    doc.SetCurSBBodyIndex(2);
    ASSERT_EQ(doc.DeleteSBBody(-1), 1); // the last one: the new last becomes current
    EXPECT_EQ(doc.GetCurSBBodyObj()->GetName(), "A");
    ASSERT_EQ(doc.DeleteSBBody(0), 1); // one before the current: it stays current
    EXPECT_EQ(doc.GetCurSBBodyObj()->GetName(), "A");
    EXPECT_EQ(doc.DeleteSBBody(-1), 0); // never the last storyboard
    EXPECT_EQ(doc.CutSBBody(-1), 0);
    EXPECT_EQ(doc.GetSBClipboardCount(), 0);
    EXPECT_EQ(doc.SetCurSBBodyIndex(1), 0);
}

TEST(ModelDocument, StoryboardClipboardSurvivesCutAndPastesRepeatedly) {
    CKelSBEditObj doc;
    Name(doc);
    AddContainer(*doc.GetSBBodyObj(1), {MakeContent<CKelSBContentPieceInObj>(0, 0, 25)});
    doc.GetSBBodyObj(1)->GetURBase()->AddCommand(new NoOpCmd);

    ASSERT_EQ(doc.CutSBBody(1), 1);
    EXPECT_EQ(Names(doc), (std::vector<CString>{"A", "C"}));
    ASSERT_EQ(doc.GetSBClipboardCount(), 1);

    ASSERT_EQ(doc.PasteSBBody(), 1); // after the current one, and current
    ASSERT_EQ(doc.PasteSBBody(), 1);
    EXPECT_EQ(Names(doc), (std::vector<CString>{"A", "B", "B", "C"}));
    EXPECT_EQ(doc.GetCurSBBodyIndex(), 2);
    EXPECT_EQ(doc.GetSBClipboardCount(), 1);

    // Each paste is its own storyboard with its own materials and a fresh history.
    CKelSBBodyObj* pFirst = doc.GetSBBodyObj(1);
    CKelSBBodyObj* pSecond = doc.GetSBBodyObj(2);
    EXPECT_EQ(pFirst->GetDuration(), 25u);
    EXPECT_EQ(pFirst->GetURBase()->GetStepCount(), 0);
    pFirst->GetContainerObj(0)->GetContentObj(0)->SetStoryOut(99, 0);
    EXPECT_EQ(pSecond->GetDuration(), 25u);
    EXPECT_EQ(pFirst->GetTrackObj(0)->GetContentCount(), 1);

    ASSERT_EQ(doc.CopySBBody(0), 1); // copy replaces the clipboard
    ASSERT_EQ(doc.PasteSBBody(), 1);
    EXPECT_EQ(doc.GetCurSBBodyObj()->GetName(), "A");

    doc.GetSBBodyObj(0)->GetURBase()->AddCommand(new NoOpCmd);
    doc.ClearHistory();
    EXPECT_EQ(doc.GetSBBodyObj(0)->GetURBase()->GetStepCount(), 0);
}

TEST(ModelDocument, PasteListFollowsTheMaterialClipboard) {
    CKelSBEditObj doc;
    CKelObList& clipboard = doc.GetMaterialClipboard();
    clipboard.AddTail(MakeContent<CKelSBContentPieceOutObj>(1, 40, 50));
    clipboard.AddTail(new CKelSBContainerObj); // not a material: dropped
    clipboard.AddTail(MakeContent<CKelSBContentPieceInObj>(0, 10, 20));
    EXPECT_EQ(doc.UpdatePasteStuff(), 2);
    EXPECT_EQ(clipboard.GetCount(), 2);
    EXPECT_EQ(static_cast<CKelSBContentBaseObj*>(doc.GetPasteList().GetHead())->GetStoryIn(), 10u);
    clipboard.DeleteAll();
    EXPECT_TRUE(doc.GetPasteList().IsEmpty());
}

TEST(ModelDocument, RoundTripKeepsEverythingStored) {
    CKelSBEditObj doc;
    Name(doc);
    CKelSBBodyObj& body = *doc.GetSBBodyObj(2);
    auto* pIn = MakeContent<CKelSBContentPieceInObj>(0, 0, 25);
    pIn->GetIOSoftEffect()->SetEffectName("Fade");
    pIn->SetGeometryRect(CRect(1, 2, 3, 4));
    auto* pPiece = new CKelItemBaseObj;
    pPiece->SetName("Logo");
    pPiece->SetGUID(pIn->GetGUID());
    pIn->GetAttachedPieceList().AddTail(pPiece);
    auto* pMovie = MakeContent<CKelSBContentMovieObj>(3, 100, 400);
    pMovie->SetStoryIn(150, 0);
    AddContainer(body, {pIn, MakeContent<CKelSBContentPieceStayObj>(1, 25, 80), pMovie});
    AddContainer(body, {MakeContent<CKelSBContentScrollObj>(2, 5, 9),
                        MakeContent<CKelSBContentPieceOutObj>(0, 80, 90)});
    body.GetTrackObj(3)->SetLocked(TRUE);
    CKelSBBodyAttr attr = body.GetEditAttr();
    attr.nFrameDisplay = 1;
    attr.nTrackHeight = 44;
    attr.dwRangeStart = 10;
    attr.dwRangeEnd = 70;
    body.SetEditAttr(attr);
    body.SetFramesPerUnit(50);
    body.SetTimeLinePos(33);
    body.SetDeleteMode(1);
    doc.SetCurSBBodyIndex(2);

    const std::vector<BYTE> stored = Store(doc);
    CKelSBEditObj loaded;
    Load(loaded, stored);
    EXPECT_EQ(Store(loaded), stored);

    const CKelSBBodyObj& back = *loaded.GetCurSBBodyObj();
    EXPECT_EQ(back.GetEditAttr(), body.GetEditAttr());
    EXPECT_EQ(back.GetDuration(), 400u);
    EXPECT_EQ(back.GetTrackObj(1)->GetContentCount(), 1); // track lists rebuilt on load
    const auto* pBackIn =
        dynamic_cast<CKelSBContentPieceInObj*>(back.GetTrackObj(0)->GetContentObj(0));
    ASSERT_NE(pBackIn, nullptr);
    EXPECT_EQ(pBackIn->GetIOSoftEffectStr(), "Fade");
    EXPECT_EQ(pBackIn->GetGUID(), pIn->GetGUID());
    EXPECT_EQ(pBackIn->GetAttachedPiece()->GetName(), "Logo");
    const auto* pBackMovie =
        dynamic_cast<CKelSBContentMovieObj*>(back.GetTrackObj(3)->GetContentObj(0));
    ASSERT_NE(pBackMovie, nullptr);
    EXPECT_EQ(pBackMovie->GetMediaIn(), 50u);
    EXPECT_EQ(pBackMovie->GetMinStoryIn(), 100u);
}

TEST(ModelDocument, DamagedDataIsRefusedAndTheDocumentKept) {
    CKelSBEditObj doc;
    Name(doc);
    AddContainer(*doc.GetSBBodyObj(0), {MakeContent<CKelSBContentPieceInObj>(1, 0, 25),
                                        MakeContent<CKelSBContentMovieObj>(2, 30, 60)});
    const std::vector<BYTE> stored = Store(doc);

    CKelSBEditObj target;
    target.GetCurSBBodyObj()->SetName("untouched");
    const std::vector<BYTE> before = Store(target);
    for (std::size_t n = 0; n < stored.size(); ++n) {
        std::vector<BYTE> cut(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_THROW(Load(target, cut), CArchiveException) << "cut at " << n;
    }
    EXPECT_EQ(Store(target), before);

    // Values that parse but make no sense: a material on a track the storyboard lacks, and a
    // current index past the storyboards.
    CKelSBEditObj bad;
    AddContainer(*bad.GetCurSBBodyObj(), {MakeContent<CKelSBContentPieceInObj>(7, 0, 5)});
    bad.GetCurSBBodyObj()->GetTrackList().DeleteAll(); // now no track 7 (nor any other)
    EXPECT_THROW(Load(target, Store(bad)), CArchiveException);
    std::vector<BYTE> badIndex = Store(doc);
    // Behind the archive's 8-byte header: the document's version, then its current index.
    badIndex[8 + 4] = 9;
    EXPECT_THROW(Load(target, badIndex), CArchiveException);
    EXPECT_EQ(Store(target), before);
}
