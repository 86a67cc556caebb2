// Materials, containers and effects: timing rules, ordering and copies.
#include "model_fixtures.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"

#include <gtest/gtest.h>
#include <memory>

using kel::test::MakeContent;

TEST(ModelContent, MoveFlagKeepsDurationAndTrimFlagKeepsOtherEnd) {
    std::unique_ptr<CKelSBContentBaseObj> p(MakeContent<CKelSBContentPieceInObj>(0, 100, 150));

    EXPECT_EQ(p->SetStoryIn(200, 1), 1);
    EXPECT_EQ(p->GetStoryIn(), 200u);
    EXPECT_EQ(p->GetStoryOut(), 250u);

    EXPECT_EQ(p->SetStoryOut(120, 1), 1);
    EXPECT_EQ(p->GetStoryIn(), 70u);
    EXPECT_EQ(p->GetStoryOut(), 120u);

    EXPECT_EQ(p->SetStoryIn(100, 0), 1);
    EXPECT_EQ(p->GetStoryIn(), 100u);
    EXPECT_EQ(p->GetStoryOut(), 120u);

    EXPECT_EQ(p->SetStoryOut(300, 0), 1);
    EXPECT_EQ(p->GetStoryIn(), 100u);
    EXPECT_EQ(p->GetDuration(), 200u);
}

TEST(ModelContent, RefusalsLeaveTheMaterialUnchanged) {
    std::unique_ptr<CKelSBContentBaseObj> p(MakeContent<CKelSBContentPieceStayObj>(0, 100, 150));
    // Trimming to less than the minimum duration, or past the other end.
    EXPECT_EQ(p->SetStoryIn(150, 0), 0);
    EXPECT_EQ(p->SetStoryIn(160, 0), 0);
    EXPECT_EQ(p->SetStoryOut(100, 0), 0);
    EXPECT_EQ(p->SetStoryOut(50, 0), 0);
    // Moving so that the material would start before frame 0 or end past the last frame.
    EXPECT_EQ(p->SetStoryOut(49, 1), 0);
    EXPECT_EQ(p->SetStoryIn(0xFFFFFFF0u, 1), 0);
    EXPECT_EQ(p->Move(-101), 0);
    EXPECT_EQ(p->GetStoryIn(), 100u);
    EXPECT_EQ(p->GetStoryOut(), 150u);

    EXPECT_EQ(p->Move(-100), 1);
    EXPECT_EQ(p->GetStoryIn(), 0u);
    EXPECT_EQ(p->GetStoryOut(), 50u);
}

TEST(ModelContent, MovieStaysWithinItsFile) {
    std::unique_ptr<CKelSBContentMovieObj> movie(
        MakeContent<CKelSBContentMovieObj>(0, 100, 200)); // a 100-frame movie
    EXPECT_EQ(movie->GetMinStoryIn(), 100u);
    EXPECT_EQ(movie->SetStoryIn(99, 0), 0);   // before its first frame
    EXPECT_EQ(movie->SetStoryOut(201, 0), 0); // past its last frame

    // Trimming the head moves the first frame shown; the head can then come back.
    EXPECT_EQ(movie->SetStoryIn(140, 0), 1);
    EXPECT_EQ(movie->GetMediaIn(), 40u);
    EXPECT_EQ(movie->GetMinStoryIn(), 100u);
    EXPECT_EQ(movie->SetStoryOut(201, 0), 0);
    EXPECT_EQ(movie->SetStoryIn(100, 0), 1);
    EXPECT_EQ(movie->GetMediaIn(), 0u);

    // A move carries the file along: the limits move with it.
    EXPECT_EQ(movie->SetStoryIn(10, 0), 0);
    EXPECT_EQ(movie->Move(-90), 1);
    EXPECT_EQ(movie->GetMinStoryIn(), 10u);
    EXPECT_EQ(movie->SetStoryIn(10, 0), 1);
}

TEST(ModelContent, KindsAnswerTheirPhase) {
    std::unique_ptr<CKelSBContentPieceBaseObj> in(MakeContent<CKelSBContentPieceInObj>(0, 0, 10));
    std::unique_ptr<CKelSBContentPieceBaseObj> out(MakeContent<CKelSBContentPieceOutObj>(0, 0, 10));
    std::unique_ptr<CKelSBContentPieceBaseObj> scroll(
        MakeContent<CKelSBContentScrollObj>(0, 0, 10));
    EXPECT_EQ(in->GetIOStateType(), 0);
    EXPECT_TRUE(in->GetIOSoftEffect()->IsKindOf(RUNTIME_CLASS(CKelIOSoftEffectInObj)));
    EXPECT_EQ(out->GetIOStateType(), 2);
    EXPECT_TRUE(out->GetIOSoftEffect()->IsKindOf(RUNTIME_CLASS(CKelIOSoftEffectOutObj)));
    // A scroll is a movie and a piece, without phase or effect.
    EXPECT_TRUE(scroll->IsKindOf(RUNTIME_CLASS(CKelSBContentMovieObj)));
    EXPECT_TRUE(scroll->IsKindOf(RUNTIME_CLASS(CKelSBContentPieceBaseObj)));
    EXPECT_EQ(scroll->GetIOStateType(), CKelSBContentBaseObj::kNoIOState);
    EXPECT_EQ(scroll->GetIOSoftEffect(), nullptr);
    // The effect follows the material's length.
    in->SetPlayDuration(42);
    EXPECT_EQ(in->GetIOSoftEffect()->GetPlayDuration(), 42u);
}

TEST(ModelContent, CopiesAreIndependentAndAssignmentRestores) {
    std::unique_ptr<CKelSBContentPieceInObj> original(
        MakeContent<CKelSBContentPieceInObj>(2, 10, 60));
    original->GetIOSoftEffect()->SetEffectName("Fade");
    auto* pPiece = new CKelItemBaseObj;
    pPiece->SetName("Title");
    original->GetAttachedPieceList().AddTail(pPiece);
    CKelMemBlock icon;
    icon.Init(2, 2, nullptr, CKelMemBlock::kInitOpaque);
    original->SetIcon(&icon);

    std::unique_ptr<CKelSBContentPieceInObj> copy(original->MakeCopy());
    original->GetIOSoftEffect()->SetEffectName("Wipe");
    original->SetStoryIn(500, 1);
    original->SetTrackIndex(7);
    pPiece->SetName("Changed");
    original->SetIcon(nullptr);

    EXPECT_EQ(copy->GetIOSoftEffectStr(), "Fade");
    EXPECT_NE(copy->GetIOSoftEffect(), original->GetIOSoftEffect());
    EXPECT_EQ(copy->GetStoryIn(), 10u);
    EXPECT_EQ(copy->GetTrackIndex(), 2);
    EXPECT_EQ(copy->GetGUID(), original->GetGUID());
    ASSERT_NE(copy->GetAttachedPiece(), nullptr);
    EXPECT_EQ(copy->GetAttachedPiece()->GetName(), "Title");
    ASSERT_NE(copy->GetIcon(), nullptr);

    // Assigning through the base type brings back the kind's data too.
    CKelSBContentBaseObj& asBase = *original;
    asBase = *copy;
    EXPECT_EQ(original->GetStoryIn(), 10u);
    EXPECT_EQ(original->GetTrackIndex(), 2);
    EXPECT_EQ(original->GetIOSoftEffectStr(), "Fade");
    EXPECT_EQ(original->GetAttachedPiece()->GetName(), "Title");
    EXPECT_NE(original->GetAttachedPiece(), copy->GetAttachedPiece());
}

TEST(ModelContent, MakeOrderSortsByTimeThenTrackAndRefusesAmbiguousLists) {
    CKelSBContainerObj container;
    container.AddContent(MakeContent<CKelSBContentPieceInObj>(1, 50, 60));
    container.AddContent(MakeContent<CKelSBContentPieceInObj>(2, 10, 20));
    container.AddContent(MakeContent<CKelSBContentPieceInObj>(0, 50, 55));
    ASSERT_EQ(container.MakeOrder(0), 1);
    EXPECT_EQ(container.GetContentObj(0)->GetStoryIn(), 10u);
    EXPECT_EQ(container.GetContentObj(1)->GetTrackIndex(), 0);
    EXPECT_EQ(container.GetContentObj(2)->GetTrackIndex(), 1);
    EXPECT_EQ(container.GetDuration(), 50u);

    // Two materials of one track that overlap have no clear order: strict ordering refuses
    // and leaves the list as it was; loose ordering accepts.
    container.AddContent(MakeContent<CKelSBContentPieceInObj>(2, 5, 15));
    EXPECT_EQ(CKelSBContainerObj::MakeOrder(container.GetContentList(), 1), 0);
    EXPECT_EQ(container.GetContentObj(3)->GetStoryIn(), 5u);
    EXPECT_EQ(CKelSBContainerObj::MakeOrder(container.GetContentList(), 0), 1);
    EXPECT_EQ(container.GetContentObj(0)->GetStoryIn(), 5u);

    // A list holding anything but materials cannot be ordered.
    CObList borrowed;
    CKelSBContainerObj stranger;
    borrowed.AddTail(container.GetContentObj(1));
    borrowed.AddTail(&stranger);
    EXPECT_EQ(CKelSBContainerObj::MakeOrder(borrowed, 0), 0);
}

TEST(ModelEffects, PlayerEndsOnThePhasesFinalPicture) {
    CKelMemBlock picture;
    picture.Init(4, 2, nullptr, CKelMemBlock::kInitOpaque);
    picture.Fill(0xFF112233u);

    CKelIOSoftEffectInObj in;
    in.SetEffectName(CKelIOSoftEffectBaseObj::kFade);
    in.SetPlayDuration(5);
    ASSERT_EQ(in.Prepare(&picture, CRect(1, 1, 5, 3), nullptr, nullptr, nullptr), 1);
    CKelMemBlock output;
    output.Init(8, 4);
    ASSERT_EQ(in.GetPlayer()->Run(&output, CKelIOSoftEffectPlayer::kModeReplace, nullptr), 1);
    EXPECT_EQ(output.GetPixel(1, 1), 0xFF112233u);
    EXPECT_EQ(output.GetPixel(0, 0), 0u);

    CKelIOSoftEffectOutObj out;
    out.SetEffectName(CKelIOSoftEffectBaseObj::kWipe);
    out.SetPlayDuration(3);
    ASSERT_EQ(out.Prepare(&picture, CRect(1, 1, 5, 3), nullptr, nullptr, nullptr), 1);
    out.GetPlayer()->RenderFrame(&output, 0, CKelIOSoftEffectPlayer::kModeReplace);
    EXPECT_EQ(output.GetPixel(1, 1), 0xFF112233u); // two thirds still shown, from the left
    EXPECT_EQ(output.GetPixel(4, 1), 0u);
    out.GetPlayer()->Run(&output, CKelIOSoftEffectPlayer::kModeReplace, nullptr);
    EXPECT_EQ(output.GetPixel(1, 1), 0u);

    // Nothing to prepare from, and assignment drops prepared data.
    CKelMemBlock empty;
    EXPECT_EQ(out.Prepare(&empty, CRect(0, 0, 2, 2), nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(out.GetPlayer(), nullptr);
    ASSERT_EQ(in.Prepare(&picture, CRect(0, 0, 4, 2), nullptr, nullptr, nullptr), 1);
    in = out;
    EXPECT_FALSE(in.IsPrepared());
    EXPECT_EQ(in.GetEffectName(), "Wipe");
    EXPECT_EQ(in.GetIOState(), 0);
}
