#include "soak_driver.h"

#include "runner.h"
#include "script.h"
#include "soak_steps.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/undo/ur_manager.h"
#include "res/resource.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <ostream>
#include <random>
#include <set>
#include <sstream>
#include <streambuf>

namespace kel::soak {

namespace {

// Where the runner's printing goes: the run only reads the editor's state.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

// Each episode's own sequence, from the run's seed and the episode's number.
std::mt19937 Seed(std::uint32_t seed, int episode) {
    std::seed_seq sequence{seed, static_cast<std::uint32_t>(episode)};
    return std::mt19937(sequence);
}

// Where the current storyboard's history stands.
struct HistoryMark {
    const void* body = nullptr;
    int undo = 0;
    int steps = 0;
    long registrations = 0; // commands registered so far, on any storyboard
};

// One episode: a fresh runner on the sample, a number of steps, and a round trip at the end.
class Episode {
public:
    Episode(const SoakOptions& options, int index, SoakStats& stats)
        : m_options(options), m_index(index), m_stats(stats), m_random(Seed(options.seed, index)) {
        if (!options.logPath.empty())
            m_log = std::make_unique<std::ofstream>(options.logPath, std::ios::trunc);
    }

    // Runs up to `steps` steps, counting them in `step`; the failure, if one.
    std::optional<SoakFailure> Run(long steps, long& step) {
        try {
            Line("sample");
            Line("open 1000 400");
            Line("check");
            NewEpoch();
            for (long i = 0; i < steps; ++i) {
                ++step;
                Comment("step " + std::to_string(step));
                RunStep();
                ++m_stats.steps;
                if (++m_sinceRoundTrip >= m_options.roundTripEvery)
                    RoundTrip();
            }
            RoundTrip();
        } catch (const std::exception& e) {
            SoakFailure failure;
            failure.seed = m_options.seed;
            failure.step = step;
            failure.episode = m_index;
            failure.message = e.what();
            failure.script = m_script;
            return failure;
        }
        return std::nullopt;
    }

private:
    void Line(const std::string& text) {
        m_script.push_back(text);
        if (m_log)
            *m_log << text << std::endl; // kept should the process die on this line
        m_runner.Execute(script::ParseLine(text, static_cast<int>(m_script.size())));
    }
    void Comment(const std::string& text) {
        m_script.push_back("# " + text);
        if (m_log)
            *m_log << "# " << text << '\n';
    }

    HistoryMark Mark() const {
        const CKelSBEditObj* document = m_runner.Scene().GetSBEditObj();
        const CKelSBBodyObj* body = document ? document->GetCurSBBodyObj() : nullptr;
        if (!body)
            return {nullptr, 0, 0, m_runner.Registrations()};
        return {body, body->GetURBase()->GetUndoStepCount(), body->GetURBase()->GetStepCount(),
                m_runner.Registrations()};
    }

    // From here on the round trips undo back to this point, and nothing is known yet of the
    // documents at the other places of the history.
    void NewEpoch() {
        m_epoch = Mark();
        m_seen.clear();
        Remember(m_epoch.undo);
        ++m_stats.epochs;
    }

    // The document at a place of the history, kept under that place's name.
    static std::string At(int undo) { return "at" + std::to_string(undo); }
    void Remember(int undo) {
        Line("keep " + At(undo));
        m_seen.insert(undo);
    }
    // Arrived at a place of the history by undo or redo: the document must be the one last
    // seen there.
    void Arrive(int undo) {
        if (m_seen.count(undo) != 0)
            Line("same " + At(undo));
        else
            Remember(undo);
    }

    // The model of the history after a step: which places' documents are known. A step that
    // records keeps the places up to the one it started from and drops those it discarded; an
    // undo or redo arrives at a place; a change that no step records (a track's flags, the
    // delete mode) changes what every other place would give back, so only the current one
    // stays known, and the round trips span it all the same.
    void Follow(const HistoryMark& before, const HistoryMark& after, bool bChanged,
                const std::string& kind) {
        const long recorded = after.registrations - before.registrations;
        if (recorded == 0 && after.steps == before.steps && after.undo == before.undo) {
            if (bChanged) {
                ++m_stats.beyondHistory[kind];
                m_seen.clear();
                Remember(after.undo);
            }
            return;
        }
        if (recorded == 0 && after.steps == before.steps) {
            Arrive(after.undo);
            return;
        }
        if (recorded > 0 && after.undo == after.steps && after.undo - recorded == before.undo) {
            m_seen.erase(m_seen.upper_bound(before.undo), m_seen.end());
            Remember(after.undo);
            return;
        }
        // Anything else (the history trimmed at its front, say): nothing else is known.
        m_seen.clear();
        Remember(after.undo);
    }

    void RunStep() {
        const HistoryMark before = Mark();
        Step step = ChooseStep(m_runner, m_random, before.body == m_epoch.body ? m_epoch.undo : 0);
        ++m_stats.kinds[step.kind];
        if (step.beyondHistory)
            RoundTrip();
        const std::vector<BYTE> bytesBefore = m_runner.ComparableBytes();
        for (const std::string& line : step.lines)
            Line(line);
        Line("check");
        const HistoryMark after = Mark();
        if (after.body == before.body && after.undo > before.undo && after.steps == after.undo) {
            ++m_stats.recorded;
            ++m_stats.recordedKinds[step.kind];
        }
        if (step.beyondHistory || after.body != m_epoch.body || after.undo < m_epoch.undo) {
            ++m_stats.beyondHistory[step.kind];
            NewEpoch();
            return;
        }
        // The dialog empties a history only when one of its steps failed.
        if (after.body == before.body && before.steps > 0 && after.steps == 0)
            throw std::runtime_error("the history was emptied: one of its steps failed");
        Follow(before, after, m_runner.ComparableBytes() != bytesBefore, step.kind);
    }

    // Undoes every step since the epoch began: the document must be as it was then; redoes
    // them all: it must be as before the undo.
    void RoundTrip() {
        m_sinceRoundTrip = 0;
        std::optional<automation::EditorState> state = m_runner.QueryEditor();
        if (!state)
            return;
        if (state->loaded) {
            Line("button " + std::to_string(IDC_BTN_DOWNLOAD));
            Line("check");
            state = m_runner.QueryEditor();
            if (!state || state->loaded)
                return;
        }
        const HistoryMark now = Mark();
        if (now.body != m_epoch.body || now.undo < m_epoch.undo) {
            NewEpoch();
            return;
        }
        const int steps = now.undo - m_epoch.undo;
        Comment("round trip over " + std::to_string(steps) + " steps");
        Line("keep end");
        if (steps > 0) {
            Line("send WM_CG_UR_FROM_HISTORY 1 " + std::to_string(steps));
            Line("check");
            Arrive(m_epoch.undo);
            Line("send WM_CG_UR_FROM_HISTORY 0 " + std::to_string(steps));
            Line("check");
            Line("same end");
        }
        ++m_stats.roundTrips;
        m_stats.stepsUndone += steps;
    }

    const SoakOptions& m_options;
    int m_index;
    SoakStats& m_stats;
    std::mt19937 m_random;
    NullBuffer m_null;
    std::ostream m_out{&m_null};
    script::Runner m_runner{m_out};
    std::vector<std::string> m_script;
    std::unique_ptr<std::ofstream> m_log;
    HistoryMark m_epoch;
    // The places of the history (undo counts) whose documents are kept as "at" + the place.
    std::set<int> m_seen;
    int m_sinceRoundTrip = 0;
};

} // namespace

std::optional<SoakFailure> RunSoak(const SoakOptions& options, SoakStats* stats) {
    SoakStats own;
    SoakStats& counted = stats ? *stats : own;
    // The editor keeps one setting in the user's client profile (whether the navigator shows),
    // and it changes the view's layout: every episode starts without one, in a folder of the
    // run's own, as a replay does with KELSB_CONFIG_DIR set to an empty folder.
    std::string pattern = (std::filesystem::temp_directory_path() / "kelsb-soak-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("kelsb-soak: cannot make a folder for the client profile");
    const std::filesystem::path config = pattern;
    setenv("KELSB_CONFIG_DIR", config.c_str(), 1);
    struct RemoveFolder {
        std::filesystem::path folder;
        ~RemoveFolder() {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    } removeConfig{config};
    long step = 0;
    for (int episode = 0; step < options.steps; ++episode) {
        std::error_code ignored;
        std::filesystem::remove_all(config, ignored);
        std::filesystem::create_directories(config, ignored);
        const long steps = std::min<long>(
            options.episodeSteps > 0 ? options.episodeSteps : options.steps, options.steps - step);
        Episode run(options, episode, counted);
        if (std::optional<SoakFailure> failure = run.Run(steps, step))
            return failure;
    }
    return std::nullopt;
}

bool ParseOptionNumber(const char* text, long long& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtoll(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && out >= 0;
}

std::optional<int>
ReadOptionPairs(int argc, char** argv, const char* program, const char* usage,
                const std::function<bool(const std::string& option, const char* value, bool numeric,
                                         long long number)>& take) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "-h" || option == "--help") {
            std::cout << usage;
            return 0;
        }
        if (i + 1 >= argc) {
            std::cerr << usage;
            return 2;
        }
        const char* value = argv[++i];
        long long number = 0;
        const bool numeric = ParseOptionNumber(value, number);
        if (!take(option, value, numeric, number)) {
            std::cerr << program << ": bad option " << option << ' ' << value << '\n' << usage;
            return 2;
        }
    }
    return std::nullopt;
}

std::string FailureScript(const SoakFailure& failure) {
    std::ostringstream text;
    text << "# Soak failure: seed " << failure.seed << ", episode " << failure.episode << ", step "
         << failure.step << "\n# " << failure.message.substr(0, failure.message.find('\n'))
         << "\n# Replay: KELSB_CONFIG_DIR=$(mktemp -d) kelsb-script FILE (it stops at the line that"
            " failed)\n";
    for (const std::string& line : failure.script)
        text << line << '\n';
    return text.str();
}

std::string DescribeFailure(const SoakFailure& failure, std::size_t lastLines) {
    std::ostringstream text;
    text << "soak failed: seed " << failure.seed << ", episode " << failure.episode << ", step "
         << failure.step << ": " << failure.message << "\nthe episode's last lines:\n";
    const std::size_t from =
        failure.script.size() > lastLines ? failure.script.size() - lastLines : 0;
    for (std::size_t i = from; i < failure.script.size(); ++i)
        text << "  " << failure.script[i] << '\n';
    return text.str();
}

} // namespace kel::soak
