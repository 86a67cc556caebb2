// The steps a random run chooses from, each as the runner commands a person's action takes:
// mostly on what is there (points on materials, their edges, tracks, the header column), some
// anywhere in the view.
#pragma once

#include <random>
#include <string>
#include <vector>

namespace kel::script {
class Runner;
}

namespace kel::soak {

struct Step {
    std::string kind;               // for the statistics
    std::vector<std::string> lines; // runner commands, in order
    // The step may change the document in ways no undo step records (storyboard list, track
    // flags, storyboard settings, closing the editor): a round trip runs before it.
    bool beyondHistory = false;
};

// `undoFloor`: the history position the round trips go back to; the history panel's undo steps
// mostly stay above it.
Step ChooseStep(kel::script::Runner& runner, std::mt19937& random, int undoFloor);

} // namespace kel::soak
