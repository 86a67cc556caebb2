#include "crash_driver.h"

#include "kill_points.h"
#include "runner.h"
#include "script.h"
#include "soak_steps.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/services/recovery_file.h"
#include "host/undo/ur_manager.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <poll.h>
#include <random>
#include <sstream>
#include <streambuf>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace kel::soak {

namespace {

namespace fs = std::filesystem;

// A session that outlives its steps idles, its saver still taking turns, until it is killed.
constexpr int kSessionSteps = 400;
// What a user may lose: the recovered document was the session's this long before the kill.
constexpr std::int64_t kLossBoundNs = 2'000'000'000;

class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::uint64_t Hash(const std::vector<BYTE>& bytes) {
    return host::KelFingerprint(bytes.data(), bytes.size());
}

void Report(int fd, const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        data += n;
        left -= static_cast<std::size_t>(n);
    }
}

// A failure on one line, whatever it said.
void ReportFailure(int fd, const std::exception& e) {
    std::string message = e.what();
    std::replace(message.begin(), message.end(), '\n', ' ');
    Report(fd, "error " + message + "\n");
}

// A runner whose lines are numbered as a script's.
class Host {
public:
    void Line(const std::string& text) { m_runner.Execute(script::ParseLine(text, ++m_lines)); }
    script::Runner& Runner() { return m_runner; }
    CKelURBase* History() {
        CKelSBEditObj* document = m_runner.Scene().GetSBEditObj();
        CKelSBBodyObj* body = document ? document->GetCurSBBodyObj() : nullptr;
        return body ? body->GetURBase() : nullptr;
    }
    std::uint64_t StateHash() { return Hash(m_runner.ComparableBytes()); }
    // Where the current storyboard's history stands: "STORYBOARD UNDO STEPS REGISTRATIONS".
    std::string Mark() {
        CKelSBEditObj* document = m_runner.Scene().GetSBEditObj();
        const int current = document ? document->GetCurSBBodyIndex() : -1;
        const CKelURBase* history = History();
        return std::to_string(current) + " " +
               std::to_string(history ? history->GetUndoStepCount() : 0) + " " +
               std::to_string(history ? history->GetStepCount() : 0) + " " +
               std::to_string(m_runner.Registrations());
    }

private:
    NullBuffer m_null;
    std::ostream m_out{&m_null};
    script::Runner m_runner{m_out};
    int m_lines = 0;
};

// The killed process: edits until it dies, telling the driver after every line the time and the
// document it then had ("TIME HASH").
[[noreturn]] void EditSession(const std::string& scene, std::uint32_t seed, int round, int fd) {
    int status = 0;
    try {
        Host host;
        const auto line = [&](const std::string& text) {
            host.Line(text);
            Report(fd, std::to_string(Now()) + " " + std::to_string(host.StateHash()) + " " +
                           host.Mark() + "\n");
        };
        line("load " + scene);
        line("autosave on");
        line("open 1000 400");
        std::seed_seq sequence{seed, static_cast<std::uint32_t>(round)};
        std::mt19937 random(sequence);
        for (int i = 0; i < kSessionSteps; ++i) {
            for (const std::string& text : ChooseStep(host.Runner(), random, 0).lines)
                line(text);
        }
        for (;;)
            line("idle 100");
    } catch (const std::exception& e) {
        ReportFailure(fd, e);
        status = 3;
    }
    _exit(status);
}

// The next start: recovers the scene and reports "recovered HASH" or "none", the documents its
// history steps back to ("undo HASH"), anything of the killed process still there
// ("leftover NAME"), and "done"; then the recovered document becomes the scene file.
[[noreturn]] void RecoverSession(const std::string& scene, pid_t killed, const fs::path& tmp,
                                 int fd) {
    int status = 0;
    try {
        Host host;
        bool recovered = true;
        try {
            host.Line("recover " + scene);
        } catch (const script::CommandError& e) {
            if (std::string(e.what()).find("there is no recovery") == std::string::npos)
                throw;
            recovered = false;
            host.Line("load " + scene);
        }
        const std::uint64_t state = host.StateHash();
        if (recovered) {
            const script::Json& last = host.Runner().LastRecovery();
            const script::Json* steps = last.Find("historySteps");
            const script::Json* kept = last.Find("historyKept");
            if (steps && kept)
                Report(fd, "history " + std::to_string(static_cast<long>(steps->AsNumber())) + " " +
                               std::to_string(static_cast<long>(kept->AsNumber())) + "\n");
        }
        Report(fd, (recovered ? "recovered " : "none ") + std::to_string(state) + "\n");
        host.Line("open 1000 400");
        host.Line("check");
        if (CKelURBase* history = host.History())
            Report(fd, "position " + std::to_string(history->GetUndoStepCount()) + "\n");
        if (CKelURBase* history = host.History(); history && history->GetUndoStepCount() > 0) {
            const int steps = history->GetUndoStepCount();
            for (int i = 0; i < steps; ++i) {
                host.Line("send WM_CG_UR_FROM_HISTORY 1 1");
                Report(fd, "undo " + std::to_string(host.StateHash()) + "\n");
            }
            host.Line("check");
            host.Line("send WM_CG_UR_FROM_HISTORY 0 " + std::to_string(steps));
            host.Line("check");
            if (host.StateHash() != state)
                Report(fd, "error redoing the recovered history does not give the recovered "
                           "document back\n");
        }
        const std::string prefix =
            "kelur-" + std::to_string(::geteuid()) + "-" + std::to_string(killed) + "-";
        std::error_code error;
        for (fs::directory_iterator it(tmp, error), end; !error && it != end; ++it) {
            if (it->path().filename().string().rfind(prefix, 0) == 0)
                Report(fd, "leftover " + it->path().string() + "\n");
        }
        const std::string folder = host::KelRecoveryFolder();
        for (fs::directory_iterator it(folder, error), end; !error && it != end; ++it) {
            const std::string name = it->path().filename().string();
            if (it->path().extension() != ".kelrec" && !name.ends_with(".kelrec.history"))
                Report(fd, "leftover " + it->path().string() + "\n");
        }
        host.Line("save " + scene);
        host::KelDiscardRecovery(host::KelRecoveryPathFor(folder, scene));
        Report(fd, "done\n");
    } catch (const std::exception& e) {
        ReportFailure(fd, e);
        status = 3;
    }
    _exit(status);
}

// A forked child's report, read while it runs; `until` (a Now() time) kills it when reached.
struct ChildEnd {
    std::vector<std::string> lines;
    int waitStatus = 0;
    std::int64_t endTime = 0; // when it was killed or seen gone
    bool killedByUs = false;
};

template <typename Body>
ChildEnd RunChild(Body body, std::int64_t until, pid_t* childPid = nullptr) {
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::close(fds[0]);
        body(fds[1]);
        _exit(4);
    }
    if (childPid)
        *childPid = pid;
    ::close(fds[1]);
    ChildEnd end;
    std::string pending;
    bool open = true;
    bool gone = false;
    const auto drain = [&](int timeoutMs) {
        pollfd watch{fds[0], POLLIN, 0};
        if (::poll(&watch, 1, timeoutMs) <= 0)
            return;
        char buffer[4096];
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            open = false;
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t at; (at = pending.find('\n')) != std::string::npos;) {
            end.lines.push_back(pending.substr(0, at));
            pending.erase(0, at + 1);
        }
    };
    while (open && !gone) {
        drain(10);
        if (::waitpid(pid, &end.waitStatus, WNOHANG) == pid) {
            gone = true;
            end.endTime = Now();
        } else if (until > 0 && Now() >= until) {
            end.endTime = Now();
            ::kill(pid, SIGKILL);
            end.killedByUs = true;
            ::waitpid(pid, &end.waitStatus, 0);
            gone = true;
        }
    }
    if (!gone) {
        ::waitpid(pid, &end.waitStatus, 0);
        end.endTime = Now();
    }
    while (open)
        drain(-1);
    ::close(fds[0]);
    return end;
}

struct Record {
    std::int64_t time;
    std::uint64_t hash;
    int body;
    int undo;
    int steps;
    long registrations;
};

// The documents the session had at the places of its history up to record `last`, as far as
// they are known: a change no step records (a track's flags, say) makes every other place's
// unknown, as does another storyboard; a new step drops the places it discarded.
std::map<int, std::uint64_t> KnownPlaces(const std::vector<Record>& records, std::size_t last) {
    std::map<int, std::uint64_t> seen;
    for (std::size_t i = 0; i <= last; ++i) {
        const Record& now = records[i];
        if (i > 0) {
            const Record& before = records[i - 1];
            const long recorded = now.registrations - before.registrations;
            const bool moved = now.undo != before.undo || now.steps != before.steps;
            if (now.body != before.body) {
                seen.clear();
            } else if (recorded == 0 && !moved) {
                if (now.hash != before.hash)
                    seen.clear();
            } else if (recorded == 0 && now.steps == before.steps) {
                // An undo or a redo arrived at a place: what it gives is what is there.
            } else if (recorded > 0 && now.undo == now.steps &&
                       now.undo - recorded == before.undo) {
                seen.erase(seen.upper_bound(before.undo), seen.end());
            } else {
                seen.clear();
            }
        }
        seen[now.undo] = now.hash;
    }
    return seen;
}

std::optional<std::string> Fail(std::uint32_t seed, int round, const std::string& what) {
    return "seed " + std::to_string(seed) + ", kill " + std::to_string(round) + ": " + what;
}

} // namespace

std::optional<std::string> RunCrashTest(const CrashOptions& options, CrashStats& stats) {
    fs::path work = options.workFolder;
    const bool ownFolder = work.empty();
    if (ownFolder) {
        std::string pattern = (fs::temp_directory_path() / "kelsb-crash-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            return "cannot make a work folder";
        work = pattern;
    }
    struct Cleanup {
        fs::path folder;
        bool remove;
        ~Cleanup() {
            std::error_code ignored;
            if (remove)
                fs::remove_all(folder, ignored);
        }
    } cleanup{work, ownFolder};
    const fs::path tmp = work / "tmp";
    std::error_code error;
    fs::create_directories(tmp, error);
    fs::create_directories(work / "config", error);
    ::setenv("XDG_STATE_HOME", (work / "state").c_str(), 1);
    ::setenv("TMPDIR", tmp.c_str(), 1);
    ::setenv("KELSB_CONFIG_DIR", (work / "config").c_str(), 1);
    const std::string scene = (work / "scene.kse").string();

    const ChildEnd made = RunChild(
        [&](int fd) {
            try {
                Host host;
                host.Line("sample");
                host.Line("save " + scene);
            } catch (const std::exception& e) {
                Report(fd, std::string("error ") + e.what() + "\n");
            }
            _exit(0);
        },
        0);
    if (!made.lines.empty())
        return "cannot make the scene: " + made.lines.front();

    std::mt19937 random(options.seed);
    const auto below = [&random](int n) {
        return static_cast<int>(std::uniform_int_distribution<int>(0, n - 1)(random));
    };
    for (int round = 1; round <= options.kills; ++round) {
        // Most kills at a random time; the rest in the middle of a write, at a random one of them.
        std::string point;
        const int choice = below(10);
        if (choice == 6)
            point = "recovery-write:" + std::to_string(1 + below(4));
        else if (choice == 7)
            point = "recovery-rename:" + std::to_string(1 + below(3));
        else if (choice >= 8)
            point = "snapshot-write:" + std::to_string(1 + below(20));
        const std::int64_t start = Now();
        const std::int64_t until =
            start + (point.empty() ? 50 + below(std::max(1, options.longestSessionMs - 50))
                                   : options.longestSessionMs * 2) *
                        std::int64_t{1'000'000};
        pid_t session = 0;
        const ChildEnd killed = RunChild(
            [&](int fd) {
                if (!point.empty())
                    ::setenv("KELSB_KILL_AT", point.c_str(), 1);
                std::string why;
                if (!script::InstallKillPointFromEnvironment(&why)) {
                    Report(fd, "error " + why + "\n");
                    _exit(3);
                }
                EditSession(scene, options.seed, round, fd);
            },
            until, &session);
        if (!WIFSIGNALED(killed.waitStatus) || WTERMSIG(killed.waitStatus) != SIGKILL) {
            std::string last = killed.lines.empty() ? "" : killed.lines.back();
            return Fail(options.seed, round, "the session ended without being killed: " + last);
        }
        ++stats.kills;
        ++stats.killedAt[killed.killedByUs ? "timer" : point.substr(0, point.find(':'))];

        std::vector<Record> records;
        for (const std::string& text : killed.lines) {
            if (text.rfind("error ", 0) == 0)
                return Fail(options.seed, round, "the session failed: " + text.substr(6));
            std::istringstream in(text);
            Record record{};
            if (in >> record.time >> record.hash >> record.body >> record.undo >> record.steps >>
                record.registrations)
                records.push_back(record);
        }

        const ChildEnd back = RunChild([&](int fd) { RecoverSession(scene, session, tmp, fd); }, 0);
        bool done = false;
        std::optional<std::uint64_t> state;
        std::vector<std::uint64_t> undone;
        int position = -1;
        for (const std::string& text : back.lines) {
            std::istringstream in(text);
            std::string word;
            in >> word;
            if (word == "error")
                return Fail(options.seed, round, "the recovery failed: " + text.substr(6));
            if (word == "leftover")
                return Fail(options.seed, round, "left of the killed process: " + text.substr(9));
            if (word == "recovered" || word == "none") {
                std::uint64_t hash = 0;
                in >> hash;
                state = hash;
                ++(word == "recovered" ? stats.recovered : stats.nothingToRecover);
            } else if (word == "history") {
                long steps = 0;
                long kept = 0;
                in >> steps >> kept;
                stats.historyStepsLost += steps - kept;
            } else if (word == "position") {
                in >> position;
            } else if (word == "undo") {
                std::uint64_t hash = 0;
                in >> hash;
                undone.push_back(hash);
            } else if (word == "done") {
                done = true;
            }
        }
        if (!done || !state)
            return Fail(options.seed, round, "the recovery did not finish");
        if (records.empty())
            continue; // killed before it had loaded the scene: the scene file stands
        // The document recovered must be one the session had within the bound before its kill:
        // the latest time it had it is when the next different one came, or the kill.
        std::optional<std::int64_t> lastHeld;
        std::optional<std::size_t> lastRecord;
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (records[i].hash != *state)
                continue;
            if (records[i].undo == position || !lastRecord)
                lastRecord = i;
            std::int64_t heldUntil = killed.endTime;
            for (std::size_t j = i + 1; j < records.size(); ++j) {
                if (records[j].hash != records[i].hash) {
                    heldUntil = records[j].time;
                    break;
                }
            }
            lastHeld = std::max(lastHeld.value_or(heldUntil), heldUntil);
        }
        if (!lastHeld)
            return Fail(options.seed, round, "the recovered document is none the session had");
        const std::int64_t age = killed.endTime - *lastHeld;
        stats.oldestRecoveredSeconds =
            std::max(stats.oldestRecoveredSeconds, static_cast<double>(age) / 1e9);
        if (age > kLossBoundNs)
            return Fail(options.seed, round,
                        "the recovered document is " + std::to_string(age / 1'000'000) +
                            " ms older than the kill");
        // Every place the recovered history steps back to gives the document the session had
        // there, where the session's own steps leave that known.
        const std::map<int, std::uint64_t> places = KnownPlaces(records, *lastRecord);
        for (std::size_t i = 0; i < undone.size(); ++i) {
            const int place = position - 1 - static_cast<int>(i);
            const auto known = places.find(place);
            if (known != places.end() && known->second != undone[i])
                return Fail(options.seed, round,
                            "undo to step " + std::to_string(place) +
                                " of the recovered history gives another document than the "
                                "session had there");
        }
        stats.historySteps += static_cast<long>(undone.size());
    }
    return std::nullopt;
}

} // namespace kel::soak
