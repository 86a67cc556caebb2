// A user's operations at 51,000 and 200,000 materials (254 tracks) as a script gives them to
// kelsb-script: select all + Delete, the track menu's commands, one material's delete and every
// command of the Storyboard List, each with its undo and redo, in the runner's CPU time. The same
// operations as bench_scale, but through every layer a script goes through (parsing, the
// window messages, the runner's reading of the editor's state), as people first met them.
//
// Each row runs three times on a storyboard brought back to where it started (by undo, not
// timed); the table gives the median. With --kel_table=FILE the rows are appended to FILE.
#include "runner.h"
#include "script.h"
#include "storyboard_generator.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/scene/scene_file.h"
#include "host/undo/ur_manager.h"
#include "res/resource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
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

// Not a line of the runner: a click on the lowest row, tried along it until a material is
// selected (where the first lies depends on the storyboard's size).
const std::string kSelectOne = "(a click that selects one material)";

// Select all + Delete, undone: a large step waiting for redo, which the next step discards.
const Lines kLargeStepUndone = {"key A", "answer yes", "key Delete", kUndo};

struct Row {
    std::string label;
    Lines prepare; // not timed
    Lines op;
    bool undoable; // undo and redo timed too, then undone again to start over
    Lines restore; // not timed, after an operation that records no step
};

std::vector<Row> Rows() {
    return {
        {"Select all + Delete", {"key A", "answer yes"}, {"key Delete"}, true, {}},
        {"Delete track", {"answer yes"}, TrackCommand(ID_TRACK_DELETE), true, {}},
        {"Cut track", {"answer yes"}, TrackCommand(ID_TRACK_CUT), true, {}},
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
        {"Delete one material", {kSelectOne, "answer yes"}, {"key Delete"}, true, {}},
    };
}

std::string ListLabel(UINT id) {
    switch (id) {
    case ID_SBLIST_APPEND:
        return "append";
    case ID_SBLIST_INSERT:
        return "insert";
    case ID_SBLIST_DELETE:
        return "delete";
    case ID_SBLIST_MOVE_UP:
        return "move up";
    case ID_SBLIST_MOVE_DOWN:
        return "move down";
    case ID_SBLIST_CUT:
        return "cut";
    case ID_SBLIST_COPY:
        return "copy";
    case ID_SBLIST_PASTE:
        return "paste";
    default:
        return "command " + std::to_string(id);
    }
}

// Every command the table offers in the Storyboard List, from its menu over the second of two
// storyboards: the generated one is copied and pasted first, and what the command leaves
// beyond one storyboard is deleted afterwards (see Session::KeepOneStoryboard).
std::vector<Row> ListRows(const std::vector<kel::automation::CommandInfo>& commands) {
    std::vector<Row> rows;
    for (const kel::automation::CommandInfo& command : commands) {
        if (command.place != kel::automation::kPlaceStoryboardList)
            continue;
        for (UINT id = command.firstId; id <= command.lastId; ++id) {
            rows.push_back(
                {"Storyboard list: " + ListLabel(id),
                 {"list open select 0 press copy press paste", "answer yes", "menu " + Id(id)},
                 {"list rclick 1"},
                 false,
                 {"list close"}});
        }
    }
    return rows;
}

struct Figures {
    double op = 0, undo = 0, redo = 0;
};

// A runner on a generated storyboard. Lines run as a script runs them: a modal dialog (the
// Storyboard List) reads the lines after the one that opened it itself, so the time of a run
// of lines is taken when each line starts, whoever runs it.
class Session {
public:
    // A session that shows its work prints the runner's state after every operation, to see
    // that each does what its row says.
    Session(kel::bench::StoryboardSize size, bool bShowWork) : m_bShowWork(bShowWork) {
        m_runner = std::make_unique<Runner>(bShowWork ? std::cout : m_discard);
        m_runner->SetLineSource([this]() -> std::optional<kel::script::ScriptLine> {
            if (m_next >= m_lines.size())
                return std::nullopt;
            return Start(m_next++);
        });
        const auto path = std::filesystem::temp_directory_path() /
                          ("kelsb_bench_runner_scale_" + std::to_string(::getpid()) + ".scene");
        KelSaveSceneFile(*kel::bench::MakeStoryboardScene(size), path.c_str());
        Run({"load \"" + path.string() + "\"", "open 1920 1080", "scroll v bottom",
             "button 1060"}); // the keys go to the view
        std::filesystem::remove(path);
    }

    // Runs the lines; the result holds the CPU time at which each started, and at the end.
    std::vector<double> Run(Lines lines) {
        m_lines = std::move(lines);
        m_started.assign(m_lines.size() + 1, 0);
        m_next = 0;
        while (m_next < m_lines.size()) {
            const std::size_t i = m_next++;
            try {
                if (m_lines[i] == kSelectOne) {
                    SelectOne();
                    continue;
                }
                m_runner->Execute(Start(i));
            } catch (const std::exception& error) {
                throw std::runtime_error("\"" + m_lines[i] + "\": " + error.what());
            }
        }
        m_started.back() = CpuMilliseconds();
        return m_started;
    }

    Figures Measure(const Row& row) {
        Figures figures;
        if (!row.undoable) {
            // One run: a modal dialog the preparation opens reads the operation's lines.
            Lines lines = row.prepare;
            const std::size_t op = lines.size();
            lines.insert(lines.end(), row.op.begin(), row.op.end());
            const std::size_t opEnd = lines.size();
            if (m_bShowWork)
                lines.push_back("dump");
            lines.insert(lines.end(), row.restore.begin(), row.restore.end());
            const std::vector<double> started = Run(lines);
            figures.op = started[opEnd] - started[op];
            KeepOneStoryboard();
            return figures;
        }
        Run(row.prepare);
        const int nDone = UndoSteps();
        figures.op = Elapsed(Run(row.op));
        // A row that recorded no step would time the undo of something else.
        if (UndoSteps() != nDone + 1)
            throw std::runtime_error(row.label + ": the operation recorded no step");
        if (m_bShowWork)
            Run({"dump"});
        const std::vector<double> started = Run({kUndo, kRedo, kUndo});
        figures.undo = started[1] - started[0];
        figures.redo = started[2] - started[1];
        Run(row.restore);
        if (row.prepare == kLargeStepUndone)
            Run({kRedo, kUndo}); // nothing left waiting for redo
        return figures;
    }

    std::vector<kel::automation::CommandInfo> Commands() const {
        return m_runner->QueryEditor().value_or(kel::automation::EditorState{}).commands;
    }

private:
    static double Elapsed(const std::vector<double>& started) {
        return started.back() - started.front();
    }

    int UndoSteps() const {
        CKelSBEditObj* document = m_runner->Scene().GetSBEditObj();
        CKelSBBodyObj* body = document ? document->GetCurSBBodyObj() : nullptr;
        return body && body->GetURBase() ? body->GetURBase()->GetUndoStepCount() : 0;
    }

    void SelectOne() {
        for (int x = 110; x < 1900; x += 15) {
            m_runner->Execute(ParseLine("click " + std::to_string(x) + " 1040", 1));
            const auto state = m_runner->QueryEditor();
            if (state && state->selectedContainers.size() == 1)
                return;
        }
        throw std::runtime_error("no material to select on the lowest row");
    }

    // Deletes storyboards from the list's second place until one is left, answering its
    // question.
    void KeepOneStoryboard() {
        CKelSBEditObj* document = m_runner->Scene().GetSBEditObj();
        while (document != nullptr && document->GetSBBodyList().GetCount() > 1)
            Run({"answer yes", "list open select 1 press delete", "list close"});
    }

    kel::script::ScriptLine Start(std::size_t i) {
        m_started[i] = CpuMilliseconds();
        return ParseLine(m_lines[i], static_cast<int>(i + 1));
    }

    std::ostringstream m_discard;
    std::unique_ptr<Runner> m_runner;
    bool m_bShowWork;
    Lines m_lines;
    std::vector<double> m_started;
    std::size_t m_next = 0;
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
    std::vector<kel::bench::StoryboardSize> sizes(std::begin(kRunnerSizes), std::end(kRunnerSizes));
    bool bShowWork = false;
    std::string rowFilter; // only the rows whose label holds it
    constexpr const char* kRows = "--kel_rows=";
    constexpr const char* kTable = "--kel_table=";
    constexpr const char* kShowWork = "--kel_show_work="; // N materials, state after each step
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kTable, std::strlen(kTable)) == 0)
            tablePath = argv[i] + std::strlen(kTable);
        if (std::strncmp(argv[i], kRows, std::strlen(kRows)) == 0)
            rowFilter = argv[i] + std::strlen(kRows);
        if (std::strncmp(argv[i], kShowWork, std::strlen(kShowWork)) == 0) {
            sizes = {{std::atoi(argv[i] + std::strlen(kShowWork)), 254}};
            bShowWork = true;
        }
    }
    std::vector<Row> rows;
    std::vector<std::vector<Figures>> medians;
    for (const kel::bench::StoryboardSize& size : sizes) {
        Session session(size, bShowWork);
        if (rows.empty()) {
            rows = Rows();
            for (Row& row : ListRows(session.Commands()))
                rows.push_back(std::move(row));
            std::erase_if(rows, [&](const Row& row) {
                return row.label.find(rowFilter) == std::string::npos;
            });
            medians.resize(rows.size());
        }
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
