// Storyboards the size of a broadcast day, made up the same way on every run: each track a
// sequence of effect pieces in their In, Stay and Out phases, movies and scrolls, some butting
// against their neighbours, some with gaps between them.
#pragma once

#include <memory>

class CKelPlaySceneObj;

namespace kel::bench {

// The sizes every measure runs at: materials in all, on how many tracks.
struct StoryboardSize {
    int materials;
    int tracks;
};
inline constexpr StoryboardSize kSizes[] = {{500, 50}, {5000, 100}, {51000, 255}};

// A scene whose current storyboard holds size.materials materials spread evenly over
// size.tracks tracks at 10 frames per unit, its track lists built. The containers are appended
// track by track, so the last track's materials come last.
std::unique_ptr<CKelPlaySceneObj> MakeStoryboardScene(StoryboardSize size);

} // namespace kel::bench
