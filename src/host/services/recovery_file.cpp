#include "host/services/recovery_file.h"

#include "host/scene/scene_file.h"
#include "platform/file.h"
#include "platform/safe_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace kel::host {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMagic = "KelSBEdit recovery 1\n";
constexpr std::string_view kExtension = ".kelrec";
// Larger than any scene the editor can hold, well short of what would exhaust memory.
constexpr std::size_t kMaxRecoveryBytes = std::size_t{4} << 30;

std::uint64_t Fnv1a(std::string_view text) {
    return KelFingerprint(text.data(), text.size());
}

std::string AbsolutePath(const std::string& path) {
    std::error_code error;
    const fs::path absolute = fs::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

// The part of a name that a file name can carry: no separators, nothing hidden.
std::string SafeStem(const std::string& name) {
    std::string stem;
    for (const char c : name) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' ||
                           static_cast<unsigned char>(c) >= 0x80;
        stem += plain ? c : '_';
    }
    if (stem.size() > 80)
        stem.resize(80);
    return stem.empty() ? "scene" : stem;
}

// Header: the magic line, "pid N", "history GENERATION", "scene LENGTH" and the path's bytes,
// then an empty line.
struct Header {
    pid_t pid = 0;
    std::uint64_t generation = 0;
    std::string scenePath;
    std::size_t bodyOffset = 0;
};

bool ParseHeader(std::string_view data, Header& header) {
    if (data.substr(0, kMagic.size()) != kMagic)
        return false;
    std::size_t at = kMagic.size();
    const auto number = [&](std::string_view key, unsigned long long& value) {
        if (data.substr(at, key.size()) != key)
            return false;
        at += key.size();
        const std::size_t end = data.find('\n', at);
        if (end == std::string_view::npos || end == at || end - at > 19)
            return false;
        value = 0;
        for (std::size_t i = at; i < end; ++i) {
            if (data[i] < '0' || data[i] > '9')
                return false;
            value = value * 10 + static_cast<unsigned>(data[i] - '0');
        }
        at = end + 1;
        return true;
    };
    unsigned long long pid = 0;
    unsigned long long generation = 0;
    unsigned long long length = 0;
    if (!number("pid ", pid) || pid == 0 || pid > 0x7FFFFFFF || !number("history ", generation) ||
        !number("scene ", length) || length > 65536 || data.size() - at < length + 2)
        return false;
    header.pid = static_cast<pid_t>(pid);
    header.generation = generation;
    header.scenePath.assign(data.substr(at, length));
    at += length;
    if (data.substr(at, 2) != "\n\n")
        return false;
    header.bodyOffset = at + 2;
    return true;
}

std::time_t ModifiedTime(const std::string& path, bool& exists) {
    struct stat status {};
    exists = ::stat(path.c_str(), &status) == 0;
    return exists ? status.st_mtime : 0;
}

bool Exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

} // namespace

void KelTidyRecoveryFolder(const std::string& folder) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        const std::size_t save = name.find(".save-");
        if (save == std::string::npos || name.find(kExtension) == std::string::npos)
            continue;
        const pid_t pid = platform::ProcessIdInName(std::string_view(name).substr(save), ".save-");
        if (pid > 0 && platform::IsProcessGone(pid)) {
            std::error_code ignored;
            fs::remove(it->path(), ignored);
        }
    }
}

std::string KelRecoveryFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/')
        return std::string(state) + "/kelsbedit/recovery";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/state/kelsbedit/recovery";
    return {};
}

std::string KelRecoveryPathFor(const std::string& folder, const std::string& scenePath) {
    if (folder.empty() || scenePath.empty())
        return {};
    const std::string absolute = AbsolutePath(scenePath);
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a(absolute)));
    return folder + "/" + SafeStem(fs::path(absolute).filename().string()) + "." + hash +
           std::string(kExtension);
}

std::string KelUntitledRecoveryPath(const std::string& folder, unsigned n) {
    if (folder.empty())
        return {};
    return folder + "/untitled." + std::to_string(::getpid()) + "-" + std::to_string(n) +
           std::string(kExtension);
}

std::string KelJournalPathFor(const std::string& recoveryPath) {
    return recoveryPath.empty() ? std::string() : recoveryPath + ".history";
}

std::string KelEncodeRecovery(const std::string& scenePath, std::string_view sceneBytes,
                              std::uint64_t generation) {
    const std::string absolute = scenePath.empty() ? std::string() : AbsolutePath(scenePath);
    std::string data(kMagic);
    data += "pid " + std::to_string(::getpid()) + "\n";
    data += "history " + std::to_string(generation) + "\n";
    data += "scene " + std::to_string(absolute.size()) + "\n" + absolute + "\n\n";
    data.append(sceneBytes);
    return data;
}

bool KelReadRecoveryInfo(const std::string& path, KelRecoveryInfo& info) {
    std::string data;
    // The header lies in the first few kilobytes; the scene is read only when recovered.
    if (platform::ReadRegularFile(path.c_str(), kMaxRecoveryBytes, data) !=
        platform::ReadStatus::ok)
        return false;
    info = KelRecoveryInfo{};
    info.path = path;
    bool exists = false;
    info.written = ModifiedTime(path, exists);
    Header header;
    if (!ParseHeader(data, header)) {
        info.damaged = true;
        info.newerThanScene = true;
        return true;
    }
    info.pid = header.pid;
    info.scenePath = header.scenePath;
    bool sceneExists = false;
    const std::time_t sceneTime =
        info.scenePath.empty() ? 0 : ModifiedTime(info.scenePath, sceneExists);
    info.newerThanScene = !sceneExists || sceneTime <= info.written;
    return true;
}

std::vector<KelRecoveryInfo> KelFindRecoveries(const std::string& folder) {
    std::vector<KelRecoveryInfo> found;
    if (folder.empty())
        return found;
    KelTidyRecoveryFolder(folder);
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= kExtension.size() ||
            name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) != 0)
            continue;
        KelRecoveryInfo info;
        if (!KelReadRecoveryInfo(it->path().string(), info))
            continue;
        // A file that a running process (this one included) keeps writing is its work, not
        // something to recover.
        if (info.pid != 0 && (info.pid == ::getpid() || !platform::IsProcessGone(info.pid)))
            continue;
        found.push_back(std::move(info));
    }
    std::sort(found.begin(), found.end(), [](const KelRecoveryInfo& a, const KelRecoveryInfo& b) {
        return a.written != b.written ? a.written < b.written : a.path < b.path;
    });
    return found;
}

std::string KelSetRecoveryAside(const std::string& path) {
    for (int n = 1; n < 1000; ++n) {
        const std::string aside = path + ".failed-" + std::to_string(n);
        if (Exists(aside))
            continue;
        // link + unlink, not rename: a name that appeared meanwhile is never replaced.
        if (::link(path.c_str(), aside.c_str()) == 0) {
            ::unlink(path.c_str());
            const std::string journal = KelJournalPathFor(path);
            if (::link(journal.c_str(), KelJournalPathFor(aside).c_str()) == 0)
                ::unlink(journal.c_str());
            return aside;
        }
        if (errno != EEXIST)
            return {};
    }
    return {};
}

bool KelDiscardRecovery(const std::string& path) {
    ::unlink(KelJournalPathFor(path).c_str());
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::unique_ptr<CKelPlaySceneObj> KelLoadRecovery(const std::string& path, std::string* error,
                                                  std::string* setAside,
                                                  KelHistoryRestore* history) {
    const auto fail = [&](const std::string& why) -> std::unique_ptr<CKelPlaySceneObj> {
        const std::string aside = KelSetRecoveryAside(path);
        if (setAside)
            *setAside = aside;
        if (error)
            *error =
                why + (aside.empty() ? "; it could not be set aside" : "; it was kept as " + aside);
        return nullptr;
    };
    if (const std::size_t slash = path.rfind('/'); slash != std::string::npos)
        KelTidyRecoveryFolder(path.substr(0, slash));
    std::string data;
    int osError = 0;
    const platform::ReadStatus status =
        platform::ReadRegularFile(path.c_str(), kMaxRecoveryBytes, data, &osError);
    if (status == platform::ReadStatus::missing) {
        if (error)
            *error = "there is no recovery file " + path;
        return nullptr;
    }
    if (status != platform::ReadStatus::ok) {
        if (error)
            *error = "cannot read " + path +
                     (osError ? ": " + std::string(std::strerror(osError)) : std::string());
        return nullptr;
    }
    Header header;
    if (!ParseHeader(data, header))
        return fail("the recovery file " + path + " is damaged");
    CMemFile file(std::vector<BYTE>(data.begin() + static_cast<std::ptrdiff_t>(header.bodyOffset),
                                    data.end()));
    KelSceneFileStatus sceneStatus;
    std::unique_ptr<CKelPlaySceneObj> scene = KelReadScene(&file, &sceneStatus);
    if (!scene)
        return fail("the recovery file " + path +
                    " cannot be loaded: " + sceneStatus.strMessage.str());
    // The document comes back whatever becomes of its history.
    const KelHistoryRestore restored =
        KelRestoreHistories(KelJournalPathFor(path), header.generation, *scene);
    if (history)
        *history = restored;
    return scene;
}

} // namespace kel::host
