#include "kill_points.h"

#include "platform/file_faults.h"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace kel::script {

namespace {

using kel::platform::FileOp;

struct KillPoint {
    const char* name;
    FileOp op;
    const char* pathPart;
    bool atEnd; // the path ends with pathPart, rather than holds it
};

constexpr KillPoint kPoints[] = {
    {"recovery-write", FileOp::write, ".kelrec", true},
    {"recovery-rename", FileOp::rename, ".kelrec", true},
    {"snapshot-write", FileOp::write, "/kelur-", false},
};

bool Matches(const char* path, const KillPoint& point) {
    const char* found = std::strstr(path, point.pathPart);
    return found && (!point.atEnd || std::strlen(found) == std::strlen(point.pathPart));
}

} // namespace

bool InstallKillPointFromEnvironment(std::string* error) {
    const char* value = std::getenv("KELSB_KILL_AT");
    if (!value || !*value)
        return true;
    const char* colon = std::strchr(value, ':');
    char* end = nullptr;
    const long count = colon ? std::strtol(colon + 1, &end, 10) : 0;
    const KillPoint* chosen = nullptr;
    for (const KillPoint& point : kPoints) {
        if (colon &&
            std::strncmp(value, point.name, static_cast<std::size_t>(colon - value)) == 0 &&
            std::strlen(point.name) == static_cast<std::size_t>(colon - value))
            chosen = &point;
    }
    if (!chosen || count < 1 || !end || *end != '\0') {
        if (error)
            *error = std::string("KELSB_KILL_AT must be recovery-write, recovery-rename or "
                                 "snapshot-write, a colon and a count from 1: ") +
                     value;
        return false;
    }
    // Shared with the saver's thread, which reaches the recovery points.
    auto left = std::make_shared<std::atomic<long>>(count);
    const KillPoint point = *chosen;
    kel::platform::SetFileFaultHook([left, point](FileOp op, const char* path) {
        if (op == point.op && Matches(path, point) && --*left == 0)
            std::raise(SIGKILL);
        return 0;
    });
    return true;
}

} // namespace kel::script
