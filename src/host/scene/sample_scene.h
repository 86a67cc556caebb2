// The sample scene: a complete, deterministic scene for demonstrations, scripts and tests.
//
// Pieces (GUID number, kind, name): 1 group "Headline" (In "Fade" 10, Stay "Copy" 75, Out
// "Wipe" 10), 2 group "Lower Third" (In "Wipe" 8, Stay "Copy" 50, Out "Fade" 8), 3 group
// "Logo" (In "Copy" 12, Stay "Copy" 100, Out "Fade" 12), 6 group "Score" (In "Fade" 10, Stay
// "Copy" 100, Out "Wipe" 10), 4 movie "Opening" (125 frames), 5 scroll "Ticker" (800 pixels
// wide, moving left: 200 frames). Headline and Logo stand selected in the item list. The
// movie and scroll media travel with the scene.
//
// Two storyboards at 25 frames per unit; the first is current, both time lines at 0.
// "News", 5 tracks (containers in this order; [..] is one container):
//   track 0: [Headline In 0-10] [Headline Stay 10-85] [Headline Out 85-95]
//            [Logo In 100-112, Logo Stay 112-212]
//   track 1, locked: [Opening 0-125] [Ticker 150-350]
//   track 2, playing forbidden: [Lower Third In 20-28, Lower Third Out 60-68]
//   track 3: [Stay 30-80 of piece 99, which the scene does not hold]
//   track 4: [Lower Third Stay 140-190, Lower Third Out 190-198]
// "Sports", 4 tracks:
//   track 0: [Score In 0-10, Score Stay 10-110, Score Out 110-120]
//   track 1: [Lower Third In 50-58] [Lower Third Stay 58-108]
#pragma once

#include "host/scene/play_scene.h"

#include <memory>

enum KelSamplePiece : unsigned {
    kSampleHeadline = 1,
    kSampleLowerThird = 2,
    kSampleLogo = 3,
    kSampleOpening = 4,
    kSampleTicker = 5,
    kSampleScore = 6,
    kSampleMissing = 99, // referred to by a material, not in the scene
};

// The fixed GUID of a sample piece.
KelGUID KelSampleGUID(unsigned n);

std::unique_ptr<CKelPlaySceneObj> KelCreateSampleScene();
