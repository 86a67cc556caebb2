// The editor's commands as plain data (host/undo/ur_records.h): what every command shares, then
// its kind's own fields (each family lists its kinds beside its commands). Installed when the
// module is loaded.
#include "undo/container_cmds.h"
#include "undo/material_cmds.h"
#include "undo/sbedit_ur_cmd.h"
#include "undo/track_cmds.h"
#include "undo/ur_cmd_kind.h"

#include "host/base/kel_object.h"
#include "host/scene/play_piece.h"
#include "host/undo/ur_records.h"
#include "host/undo/ur_snapshot_store.h"

#include <string>
#include <vector>

using kel::undo::GetGUID;
using kel::undo::Kind;
using kel::undo::PutGUID;
using kel::undo::ReadObject;
using kel::undo::SerializedBytes;
using kel::undo::URRecordError;
using kel::undo::URRecordReader;
using kel::undo::URRecordWriter;

// The part every command shares: its snapshots (as bytes, wherever they are kept) and the
// piece copies they refer to.
void CKelSBEditURBaseCmd::WriteBaseRecord(URRecordWriter& out) const {
    for (int bFirstList : {1, 0}) {
        const CStringArray& files = GetSnapshotFiles(bFirstList);
        out.U64(static_cast<std::uint64_t>(files.GetSize()));
        for (INT_PTR i = 0; i < files.GetSize(); ++i) {
            const auto at = static_cast<std::size_t>(i);
            if (const CKelObject* pCopy = MemoryCopies(bFirstList)[at].get()) {
                out.Bytes(SerializedBytes(*pCopy));
            } else {
                std::vector<BYTE> bytes;
                if (!kel::host::ReadURSnapshot(files[i], bytes))
                    throw URRecordError("a snapshot cannot be read");
                out.Bytes(bytes);
            }
            const PieceRefs& refs = PieceRefsOf(bFirstList)[at];
            out.U64(refs.size());
            for (const KelGUID& guid : refs)
                PutGUID(out, guid);
        }
    }
    out.U64(m_pieceCopies.size());
    for (const auto& [guid, pPiece] : m_pieceCopies) {
        PutGUID(out, guid);
        out.Bytes(SerializedBytes(*pPiece));
    }
}

void CKelSBEditURBaseCmd::ReadBaseRecord(URRecordReader& in) {
    for (int bFirstList : {1, 0}) {
        const std::size_t count = in.Count(16);
        for (std::size_t i = 0; i < count; ++i) {
            std::vector<BYTE> bytes = in.Bytes();
            PieceRefs refs(in.Count(16));
            for (KelGUID& guid : refs)
                guid = GetGUID(in);
            const CString key = KelGetUniqueURFileName();
            if (!key.IsEmpty() && kel::host::WriteURSnapshot(key, bytes))
                Record(bFirstList, key, nullptr);
            else
                Record(bFirstList, CString(), ReadObject<CKelObject>(std::move(bytes)));
            PieceRefsOf(bFirstList).back() = std::move(refs);
        }
    }
    const std::size_t pieces = in.Count(24);
    for (std::size_t i = 0; i < pieces; ++i) {
        const KelGUID guid = GetGUID(in);
        m_pieceCopies[guid] = ReadObject<CKelPlayBaseObj>(in.Bytes());
    }
}

// By family, each family's kinds in its own order. A kind's name is its own, so the order only
// decides which is tried first.
const std::vector<Kind>& kel::undo::AllKinds() {
    static const std::vector<Kind> kinds = [] {
        std::vector<Kind> all;
        for (std::vector<Kind> (*family)() : {ContainerMergeCommandKinds, ContainerCommandKinds,
                                              TrackCommandKinds, MaterialCommandKinds}) {
            for (Kind& kind : family())
                all.push_back(std::move(kind));
        }
        return all;
    }();
    return kinds;
}

namespace {

bool WriteCommand(const CKelURCmd& cmd, std::vector<BYTE>& out) {
    try {
        const auto* pBase = dynamic_cast<const CKelSBEditURBaseCmd*>(&cmd);
        if (pBase == nullptr)
            return false;
        for (const Kind& kind : kel::undo::AllKinds()) {
            if (!kind.is(cmd))
                continue;
            URRecordWriter record;
            record.Text(CString(std::string(kind.name)));
            record.U32(cmd.GetId());
            record.Text(cmd.GetName());
            pBase->WriteBaseRecord(record);
            kind.put(cmd, record);
            out.insert(out.end(), record.Data().begin(), record.Data().end());
            return true;
        }
    } catch (...) {
    }
    return false;
}

std::unique_ptr<CKelURCmd> ReadCommand(const BYTE* data, std::size_t size) {
    try {
        URRecordReader in(data, size);
        const CString name = in.Text();
        for (const Kind& kind : kel::undo::AllKinds()) {
            if (kind.name != name.str())
                continue;
            const unsigned id = in.U32();
            std::unique_ptr<CKelSBEditURBaseCmd> cmd = kind.make(id, in.Text());
            cmd->ReadBaseRecord(in);
            kind.get(*cmd, in);
            if (!in.AtEnd())
                return nullptr;
            return cmd;
        }
    } catch (...) {
    }
    return nullptr;
}

// Installed while the module is loaded; the host never calls into an unloaded module.
struct CodecInstaller {
    CodecInstaller() { kel::host::SetURCodec({WriteCommand, ReadCommand}); }
    ~CodecInstaller() { kel::host::SetURCodec({}); }
} g_installer;

} // namespace
