// The random run of edits over fixed seeds, each checked after every step and undone and redone
// in round trips; and the run's checks, shown to catch a storyboard changed behind the history's
// back, a locked track's material moved and an inconsistent selection.
#include "runner.h"
#include "script.h"
#include "soak_driver.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

using kel::script::CommandError;
using kel::script::ParseLine;
using kel::script::Runner;

class SoakSeed : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(SoakSeed, EveryStepKeepsTheEditorConsistentAndEveryRoundTripIsExact) {
    kel::soak::SoakOptions options;
    options.seed = GetParam();
    options.steps = 600;
    options.episodeSteps = 300;
    options.roundTripEvery = 25;
    kel::soak::SoakStats stats;
    const std::optional<kel::soak::SoakFailure> failure = kel::soak::RunSoak(options, &stats);
    if (failure) {
        // The whole episode, to replay with kelsb-script.
        const std::string path = "soak-failure-" + std::to_string(failure->seed) + ".kss";
        std::ofstream(path) << kel::soak::FailureScript(*failure);
        FAIL() << kel::soak::DescribeFailure(*failure) << "the episode's script: " << path;
    }
    EXPECT_EQ(stats.steps, options.steps);
    // The run must edit, not only click around: steps recorded, round trips that undo them.
    EXPECT_GT(stats.recorded, options.steps / 20);
    EXPECT_GT(stats.stepsUndone, 0);
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, SoakSeed, ::testing::Values(1u, 2u, 3u, 4u));

// ---- The checks ------------------------------------------------------------------------------

class SoakChecks : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string config = ::testing::TempDir() + "kelsb_soak_test";
        setenv("KELSB_CONFIG_DIR", config.c_str(), 1);
        runner = std::make_unique<Runner>(out);
        Run("sample");
        Run("open 1000 400");
        Run("check");
    }
    void Run(const std::string& line) { runner->Execute(ParseLine(line, 1)); }
    std::string Failure(const std::string& line) {
        try {
            Run(line);
        } catch (const CommandError& e) {
            return e.what();
        }
        return {};
    }
    CKelSBBodyObj& Body() { return *runner->Scene().GetSBEditObj()->GetCurSBBodyObj(); }

    std::ostringstream out;
    std::unique_ptr<Runner> runner;
};

TEST_F(SoakChecks, AChangeNoUndoStepRecordsIsCaughtByTheRoundTrip) {
    Run("keep start");
    Run("drag 150 64 150 154 30"); // the Headline Stay to track 3: one step
    Run("check");
    Run("keep moved");
    Run("send WM_CG_UR_FROM_HISTORY 1 1");
    Run("same start");
    Run("send WM_CG_UR_FROM_HISTORY 0 1");
    Run("same moved");
    // Zooming and scrubbing change what is stored, but no undo step is expected to give it back.
    Run("scroll zoom lineright");
    Run("click 300 40");
    Run("same moved");
    // A material moved behind the history's back is.
    Body().GetContainerObj(0)->GetContentObj(0)->Move(1);
    EXPECT_NE(Failure("same moved").find("differs from moved"), std::string::npos);
    EXPECT_NE(Failure("same nothing").find("nothing kept"), std::string::npos);
}

TEST_F(SoakChecks, AMaterialOfALockedTrackThatMovesIsCaught) {
    // Track 1 of the sample is locked; its Opening moves one frame without any undo step.
    CKelSBContentBaseObj* opening = Body().GetContainerObj(4)->GetContentObj(0);
    ASSERT_TRUE(Body().GetTrackObj(opening->GetTrackIndex())->IsLocked());
    opening->Move(1);
    EXPECT_NE(Failure("check").find("locked track 1 changed"), std::string::npos);
    // Unlocking a track changes none of its materials; the next check starts from there.
    Run("check");
    Run("click 27 90"); // the lock button of track 1
    Run("check");
    EXPECT_FALSE(Body().GetTrackObj(1)->IsLocked());
}

TEST_F(SoakChecks, AnInconsistentStoryboardIsCaught) {
    // Two materials of track 0 made to overlap.
    Body().GetContainerObj(1)->GetContentObj(0)->Move(-5);
    const std::string failure = Failure("check");
    EXPECT_NE(failure.find("inconsistent"), std::string::npos) << failure;
    // Storyboards from files may hold overlaps: the check can be told to let them be.
    Run("check overlaps");
}

} // namespace
