// The sample scene: a complete, deterministic scene for demonstrations, scripts and tests.
//
// Two storyboards, 25 frames per unit at 25 frames per second. The first ("News") holds:
//   track 0: group pieces In "Fade", Stay "Copy", Out "Wipe" in separate containers, then a
//            container of two materials (In and Stay) of another group;
//   track 1 (locked): a movie and a scroll;
//   track 2 (playing forbidden): a group's In and Out in one container;
//   track 3: a material whose piece is not in the scene.
// The second ("Sports") holds two tracks of group pieces, one container with three materials.
// Every GUID is fixed (KelSampleGUID), so the sample is the same on every run.
#pragma once

#include "host/scene/play_scene.h"

#include <memory>

// Fixed GUIDs of the sample: n selects the object (pieces 1..6, the missing piece 99).
KelGUID KelSampleGUID(unsigned n);

std::unique_ptr<CKelPlaySceneObj> KelCreateSampleScene();
