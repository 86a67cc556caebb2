#include "host/services/history_journal.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/play_scene.h"
#include "host/undo/ur_manager.h"
#include "host/undo/ur_records.h"
#include "platform/safe_files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <random>
#include <string_view>
#include <unistd.h>
#include <unordered_set>

namespace kel::host {

namespace {

constexpr BYTE kCommandFrame = 'C';
constexpr BYTE kLayoutFrame = 'L';
// Slack before a journal is written afresh: rewriting a small journal gains nothing.
constexpr std::uint64_t kRewriteSlack = 1u << 20;
// Larger than any journal of a day's work; a larger file is not read.
constexpr std::size_t kMaxJournalBytes = std::size_t{16} << 30;

std::uint64_t Check(const BYTE* data, std::size_t size) {
    return KelFingerprint(data, size);
}

void AppendFrame(std::vector<BYTE>& out, BYTE type, const std::vector<BYTE>& payload) {
    URRecordWriter frame;
    frame.U8(type);
    frame.U64(payload.size());
    out.insert(out.end(), frame.Data().begin(), frame.Data().end());
    out.insert(out.end(), payload.begin(), payload.end());
    URRecordWriter check;
    check.U64(Check(payload.data(), payload.size()));
    out.insert(out.end(), check.Data().begin(), check.Data().end());
}

std::vector<const CKelURBase*> Histories(const CKelPlaySceneObj& scene) {
    std::vector<const CKelURBase*> histories;
    const CKelSBEditObj* document = scene.GetSBEditObj();
    for (int i = 0; document && i < document->GetSBBodyCount(); ++i) {
        const CKelSBBodyObj* body = document->GetSBBodyObj(i);
        histories.push_back(body ? body->GetURBase() : nullptr);
    }
    return histories;
}

// A random start, so that a generation of this saver never matches a recovery file that another
// process left under the same name.
std::uint64_t FirstGeneration() {
    std::random_device source;
    return (static_cast<std::uint64_t>(source()) << 32 | source()) & 0x7FFFFFFFFFFFFFFFull;
}

} // namespace

std::uint64_t KelFingerprint(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

KelHistoryJournal::KelHistoryJournal() : m_generation(FirstGeneration()) {}

void KelHistoryJournal::Reset() {
    m_fresh = true;
}

KelJournalBatch KelHistoryJournal::Collect(const CKelPlaySceneObj& scene) {
    KelJournalBatch batch;
    const std::vector<const CKelURBase*> histories = Histories(scene);
    std::uint64_t live = 0;
    std::unordered_set<std::uint64_t> present;
    for (const CKelURBase* history : histories) {
        for (int k = 0; history && k < history->GetStepCount(); ++k) {
            const std::uint64_t serial = history->GetCommand(k)->GetSerial();
            present.insert(serial);
            if (const auto it = m_written.find(serial); it != m_written.end())
                live += it->second.bytes;
        }
    }
    std::erase_if(m_written, [&](const auto& entry) { return present.count(entry.first) == 0; });
    batch.rewrite = m_fresh || m_fileBytes > 2 * live + kRewriteSlack;
    if (batch.rewrite) {
        m_written.clear();
        m_fileBytes = 0;
        m_fresh = false;
    }

    const URCodec& codec = GetURCodec();
    URRecordWriter layout;
    batch.generation = ++m_generation;
    layout.U64(batch.generation);
    layout.U64(histories.size());
    for (const CKelURBase* history : histories) {
        const int steps = history ? history->GetStepCount() : 0;
        layout.U64(static_cast<std::uint64_t>(steps));
        layout.U32(static_cast<std::uint32_t>(history ? history->GetUndoStepCount() : 0));
        for (int k = 0; k < steps; ++k) {
            const CKelURCmd& cmd = *history->GetCommand(k);
            const bool done = k < history->GetUndoStepCount();
            layout.U64(cmd.GetSerial());
            Written& written = m_written[cmd.GetSerial()];
            const bool seen = written.bytes > 0 || written.failed;
            if (seen && written.done == done)
                continue;
            written.done = done;
            URRecordWriter record;
            record.U64(cmd.GetSerial());
            record.U8(done ? 1 : 0);
            if (!codec.write || !codec.write(cmd, record.Data())) {
                written.failed = true;
                written.bytes = 0;
                continue;
            }
            written.failed = false;
            const std::size_t before = batch.bytes.size();
            AppendFrame(batch.bytes, kCommandFrame, record.Data());
            written.bytes = batch.bytes.size() - before;
        }
    }
    AppendFrame(batch.bytes, kLayoutFrame, layout.Data());
    m_fileBytes += batch.bytes.size();
    return batch;
}

std::uint64_t KelHistorySignature(const CKelPlaySceneObj& scene) {
    URRecordWriter state;
    for (const CKelURBase* history : Histories(scene)) {
        const int steps = history ? history->GetStepCount() : 0;
        state.U32(static_cast<std::uint32_t>(steps));
        state.U32(static_cast<std::uint32_t>(history ? history->GetUndoStepCount() : 0));
        for (int k = 0; k < steps; ++k)
            state.U64(history->GetCommand(k)->GetSerial());
    }
    return Check(state.Data().data(), state.Data().size());
}

bool KelWriteJournal(const std::string& path, const KelJournalBatch& batch, std::string* error) {
    if (batch.rewrite) {
        const std::string_view data(reinterpret_cast<const char*>(batch.bytes.data()),
                                    batch.bytes.size());
        return platform::ReplaceFileContents(path.c_str(), data, error) ==
               platform::ReplaceStatus::ok;
    }
    // Appended in place: the file was made by this saver's last rewrite, in the user's private
    // folder; a link put in its place is not followed.
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        if (error)
            *error = "cannot append to " + path + ": " + std::strerror(errno);
        return false;
    }
    std::size_t at = 0;
    bool ok = true;
    while (ok && at < batch.bytes.size()) {
        const ssize_t n = ::write(fd, batch.bytes.data() + at, batch.bytes.size() - at);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            at += static_cast<std::size_t>(n);
    }
    ok = ok && ::fdatasync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    if (!ok && error)
        *error = "cannot append to " + path + ": " + std::strerror(saved);
    return ok;
}

KelHistoryRestore KelRestoreHistories(const std::string& path, std::uint64_t generation,
                                      CKelPlaySceneObj& scene) {
    KelHistoryRestore result;
    std::string data;
    if (generation == 0 ||
        platform::ReadRegularFile(path.c_str(), kMaxJournalBytes, data) != platform::ReadStatus::ok)
        return result;
    const auto* bytes = reinterpret_cast<const BYTE*>(data.data());
    // The latest record of each command before the layout of the generation asked for.
    struct Record {
        std::size_t offset;
        std::size_t size;
    };
    std::unordered_map<std::uint64_t, Record> records;
    std::vector<std::pair<std::vector<std::uint64_t>, int>> layout;
    bool found = false;
    std::size_t at = 0;
    try {
        while (!found && data.size() - at >= 17) {
            URRecordReader head(bytes + at, 9);
            const BYTE type = head.U8();
            const std::uint64_t size = head.U64();
            if (size > data.size() - at - 17)
                break;
            const BYTE* payload = bytes + at + 9;
            URRecordReader tail(payload + size, 8);
            if (tail.U64() != Check(payload, static_cast<std::size_t>(size)))
                break;
            URRecordReader in(payload, static_cast<std::size_t>(size));
            if (type == kCommandFrame) {
                const std::uint64_t serial = in.U64();
                in.U8();
                records[serial] = {at + 9 + 9, static_cast<std::size_t>(size) - 9};
            } else if (type == kLayoutFrame && in.U64() == generation) {
                const std::size_t bodies = in.Count(12);
                for (std::size_t b = 0; b < bodies; ++b) {
                    std::vector<std::uint64_t> serials(in.Count(8));
                    const int done = static_cast<int>(in.U32());
                    for (std::uint64_t& serial : serials)
                        serial = in.U64();
                    layout.emplace_back(std::move(serials), done);
                }
                found = true;
            }
            at += 17 + static_cast<std::size_t>(size);
        }
    } catch (const URRecordError&) {
        found = false;
    }
    if (!found)
        return result;

    const URCodec& codec = GetURCodec();
    CKelSBEditObj* document = scene.GetSBEditObj();
    for (std::size_t b = 0; b < layout.size(); ++b) {
        // Named rather than bound: a lambda below uses them.
        const auto& serials = layout[b].first;
        const int done = layout[b].second;
        result.steps += static_cast<int>(serials.size());
        CKelSBBodyObj* body = document && static_cast<int>(b) < document->GetSBBodyCount()
                                  ? document->GetSBBodyObj(static_cast<int>(b))
                                  : nullptr;
        if (!body || !codec.read || done < 0 || done > static_cast<int>(serials.size()))
            continue;
        const auto rebuild = [&](std::size_t k) -> std::unique_ptr<CKelURCmd> {
            const auto it = records.find(serials[k]);
            return it == records.end() ? nullptr
                                       : codec.read(bytes + it->second.offset, it->second.size);
        };
        // Outward from the current step: an undo or a redo stops at the first step missing.
        std::vector<std::unique_ptr<CKelURCmd>> undoable;
        for (int k = done - 1; k >= 0; --k) {
            std::unique_ptr<CKelURCmd> cmd = rebuild(static_cast<std::size_t>(k));
            if (!cmd)
                break;
            undoable.insert(undoable.begin(), std::move(cmd));
        }
        const int keptDone = static_cast<int>(undoable.size());
        for (std::size_t k = static_cast<std::size_t>(done); k < serials.size(); ++k) {
            std::unique_ptr<CKelURCmd> cmd = rebuild(k);
            if (!cmd)
                break;
            undoable.push_back(std::move(cmd));
        }
        const int kept = static_cast<int>(undoable.size());
        if (body->GetURBase()->RestoreSteps(std::move(undoable), keptDone))
            result.kept += kept;
    }
    return result;
}

} // namespace kel::host
