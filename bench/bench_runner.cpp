// kelsb-script's commands at 500, 5,000 and 51,000 materials: how users script the editor and
// how the figures of a storyboard are taken. Each size's scene is saved by the generator and
// loaded by the runner, then shown in the editor at 1920 x 1080.
#include "bench_report.h"
#include "runner.h"
#include "script.h"
#include "storyboard_generator.h"

#include "host/sbobject/sb_content.h"
#include "host/scene/play_scene.h"
#include "host/scene/scene_file.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace kel::bench {

namespace {

using kel::script::ParseLine;
using kel::script::Runner;

// One runner per size, kept for every measure; a runner installs its own backend, so the runner
// of another size is closed first.
class Runners {
public:
    Runner& For(int materials) {
        if (materials != m_materials) {
            m_runner.reset();
            m_runner = std::make_unique<Runner>(m_discard);
            m_materials = materials;
            const auto path = std::filesystem::temp_directory_path() /
                              ("kelsb_bench_runner_" + std::to_string(::getpid()) + ".scene");
            for (const StoryboardSize& size : kSizes) {
                if (size.materials == materials)
                    KelSaveSceneFile(*MakeStoryboardScene(size), path.c_str());
            }
            Run("load \"" + path.string() + "\"");
            Run("open 1920 1080");
            Run("scroll v bottom");
            std::filesystem::remove(path);
        }
        return *m_runner;
    }
    void Run(const std::string& line) { m_runner->Execute(ParseLine(line, 1)); }
    void Close() { m_runner.reset(); }

private:
    std::ostringstream m_discard;
    std::unique_ptr<Runner> m_runner;
    int m_materials = 0;
};

Runners& TheRunners() {
    static Runners runners;
    return runners;
}

// A click on the lowest row (the view is 1916 x 1055 in a dialog of 1920 x 1080), as a script
// clicks: the runner reads the editor's state for it.
void BM_RunnerClick(benchmark::State& state) {
    Runners& runners = TheRunners();
    runners.For(static_cast<int>(state.range(0)));
    int step = 0;
    for (auto _ : state)
        runners.Run(++step % 2 ? "click 300 1040" : "click 700 1040");
}

// A container with one material added by a script, as scenes are built line by line.
void BM_RunnerMaterial(benchmark::State& state) {
    Runners& runners = TheRunners();
    runners.For(static_cast<int>(state.range(0)));
    // Behind everything on the track, and behind what earlier runs of this measure added. A
    // fast machine fills a track up to the largest frame within the runs; the next one
    // takes over then (every storyboard has 50 tracks at least).
    constexpr unsigned kFirstFrame = 1000000;
    constexpr unsigned kLength = 50;
    static unsigned track = 0;
    static unsigned frame = kFirstFrame;
    for (auto _ : state) {
        if (frame + kLength > CKelSBContentBaseObj::kMaxFrame) {
            frame = kFirstFrame;
            ++track;
        }
        runners.Run("container");
        runners.Run("material movie \"Movie 1\" " + std::to_string(track) + " " +
                    std::to_string(frame) + " " + std::to_string(frame + kLength));
        frame += kLength + 10;
    }
}

// The whole state as JSON: every material of the storyboard, so it grows with them.
void BM_RunnerDump(benchmark::State& state) {
    Runners& runners = TheRunners();
    runners.For(static_cast<int>(state.range(0)));
    for (auto _ : state)
        runners.Run("dump");
}

BENCHMARK(BM_RunnerClick)->Apply(AtEverySize);
// A fixed number of steps: each adds to the storyboard for good, and a quick machine would add
// hundreds of thousands (past the largest frame) in the time a measure takes.
BENCHMARK(BM_RunnerMaterial)->Apply(AtEverySize)->Iterations(2000);
BENCHMARK(BM_RunnerDump)->Apply(AtEverySize);

} // namespace

} // namespace kel::bench

int main(int argc, char** argv) {
    using kel::bench::Goal;
    const int result = kel::bench::RunMeasures(
        argc, argv,
        {
            Goal{"BM_RunnerClick", "Runner: click, with the editor's state read", 2, true},
            Goal{"BM_RunnerMaterial", "Runner: `container` and `material` lines", 2, true},
            Goal{"BM_RunnerDump", "Runner: `dump` of every material", 0, false},
        });
    kel::bench::TheRunners().Close();
    return result;
}
