// A user's operations at 51,000 and 200,000 materials (254 tracks) as a script gives them to
// kelsb-script: select all + Delete, the track menu's commands, the Storyboard List's cut and
// one material's delete, each with its undo and redo, in the runner's CPU time. The same
// operations as bench_scale, but through every layer a script goes through (parsing, the
// window messages, the runner's reading of the editor's state), as people first met them.
//
// Each row runs three times on a storyboard brought back to where it started (by undo, not
// timed); the table gives the median. With --kel_table=FILE the rows are appended to FILE.
#include "runner.h"
#include "script.h"
#include "storyboard_generator.h"

#include "host/scene/play_scene.h"
#include "host/scene/scene_file.h"
#include "res/resource.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using kel::script::ParseLine;
using kel::script::Runner;
using Lines = std::vector<std::string>;

constexpr kel::bench::StoryboardSize kRunnerSizes[] = {{51000, 254}, {200000, 254}};

double CpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

std::string Id(unsigned id) {
    return std::to_string(id);
}

// The lowest row of the view scrolled to the bottom, over the track's header (x 50) or a
// material (x 300).
const std::string kTrackMenu = "rclick 50 1040";
const std::string kUndo = "send WM_CG_UR_FROM_HISTORY 1 1";
const std::string kRedo = "send WM_CG_UR_FROM_HISTORY 0 1";

// A track menu command given over the lowest track.
Lines TrackCommand(unsigned id) {
    return {"menu " + Id(id), kTrackMenu};
}

// Select all + Delete, undone: a large step waiting for redo, which the next step discards.
const Lines kLargeStepUndone = {"key A", "key Delete", kUndo};

struct Row {
    std::string label;
    Lines prepare; // not timed
    Lines op;
    bool undoable; // undo and redo timed too, then undone again to start over
    Lines restore; // not timed, after an operation that records no step
};

std::vector<Row> Rows() {
    return {
        {"Select all + Delete", {"key A"}, {"key Delete"}, true, {}},
        {"Delete track", {}, TrackCommand(ID_TRACK_DELETE), true, {}},
        {"Cut track", {}, TrackCommand(ID_TRACK_CUT), true, {}},
        {"Paste track", TrackCommand(ID_TRACK_COPY), TrackCommand(ID_TRACK_PASTE), true, {}},
        {"Append track, a step waiting for redo",
         kLargeStepUndone,
         TrackCommand(ID_TRACK_APPEND),
         true,
         {}},
        {"Move track up, a step waiting for redo",
         kLargeStepUndone,
         TrackCommand(ID_TRACK_MOVE_UP),
         true,
         {}},
        {"Delete one material", {"click 300 1040"}, {"key Delete"}, true, {}},
        // The storyboard is copied and pasted in the list first, and its copy cut.
        {"Storyboard cut (list)",
         {"list open", "list select 0 press copy press paste"},
         {"list select 1 press cut"},
         false,
         {"list close"}},
    };
}

struct Figures {
    double op = 0, undo = 0, redo = 0;
};

class Session {
public:
    explicit Session(kel::bench::StoryboardSize size) {
        m_runner = std::make_unique<Runner>(m_discard);
        const auto path = std::filesystem::temp_directory_path() /
                          ("kelsb_bench_runner_scale_" + std::to_string(::getpid()) + ".scene");
        KelSaveSceneFile(*kel::bench::MakeStoryboardScene(size), path.c_str());
        Run({"load \"" + path.string() + "\"", "open 1920 1080", "scroll v bottom",
             "button 1060"}); // the keys go to the view
        std::filesystem::remove(path);
    }

    void Run(const Lines& lines) {
        for (const std::string& line : lines)
            m_runner->Execute(ParseLine(line, 1));
    }
    double Timed(const Lines& lines) {
        const double start = CpuMilliseconds();
        Run(lines);
        return CpuMilliseconds() - start;
    }

    Figures Measure(const Row& row) {
        Figures figures;
        Run(row.prepare);
        figures.op = Timed(row.op);
        if (row.undoable) {
            figures.undo = Timed({kUndo});
            figures.redo = Timed({kRedo});
            Run({kUndo});
        }
        Run(row.restore);
        if (row.prepare == kLargeStepUndone)
            Run({kRedo, kUndo}); // the large step is undone again, for nothing to wait
        return figures;
    }

private:
    std::ostringstream m_discard;
    std::unique_ptr<Runner> m_runner;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string Ms(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, ms < 10 ? "%.2f" : "%.0f", ms);
    return text;
}

} // namespace

int main(int argc, char** argv) try {
    std::string tablePath;
    constexpr const char* kTable = "--kel_table=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kTable, std::strlen(kTable)) == 0)
            tablePath = argv[i] + std::strlen(kTable);
    }
    const std::vector<Row> rows = Rows();
    std::vector<std::vector<Figures>> medians(rows.size());
    for (const kel::bench::StoryboardSize& size : kRunnerSizes) {
        Session session(size);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::vector<double> op, undo, redo;
            for (int run = 0; run < 3; ++run) {
                const Figures figures = session.Measure(rows[r]);
                op.push_back(figures.op);
                undo.push_back(figures.undo);
                redo.push_back(figures.redo);
            }
            medians[r].push_back({Median(op), Median(undo), Median(redo)});
        }
    }

    std::ostringstream table;
    table << "| Operation (runner CPU ms) | 51k op | 51k undo | 51k redo | 200k op | 200k undo | "
             "200k redo |\n|---|---:|---:|---:|---:|---:|---:|\n";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        table << "| " << rows[r].label;
        for (const Figures& figures : medians[r]) {
            if (rows[r].undoable)
                table << " | " << Ms(figures.op) << " | " << Ms(figures.undo) << " | "
                      << Ms(figures.redo);
            else
                table << " | " << Ms(figures.op) << " | - | -";
        }
        table << " |\n";
    }
    std::cout << table.str();
    if (!tablePath.empty())
        std::ofstream(tablePath, std::ios::app) << table.str();
    return 0;
} catch (const std::exception& error) {
    std::cerr << "bench_runner_scale: " << error.what() << "\n";
    return 1;
}
