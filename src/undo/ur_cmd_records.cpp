// The editor's commands as plain data (host/undo/ur_records.h): each command's kind, its fields,
// the bytes of its snapshots and of the copies it keeps, and back. Installed when the module is
// loaded.
#include "undo/container_cmds.h"
#include "undo/material_cmds.h"
#include "undo/sbedit_ur_cmd.h"
#include "undo/track_cmds.h"

#include "host/base/kel_object.h"
#include "host/effects/io_effect.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/scene/play_piece.h"
#include "host/undo/ur_records.h"
#include "host/undo/ur_snapshot_store.h"
#include "platform/archive.h"
#include "platform/file.h"

#include <cstring>
#include <functional>
#include <string_view>

using kel::host::URRecordError;
using kel::host::URRecordReader;
using kel::host::URRecordWriter;

namespace {

// Recovered commands have no editor of their own: like a command whose editor is gone, they
// work on the module's current one. This address is never a live editor.
alignas(64) char g_recoveredOwner;

// The bytes of one object, as a snapshot holds it.
std::vector<BYTE> SerializedBytes(const CObject& object) {
    CMemFile file;
    CKelObList list;
    list.AddTail(const_cast<CObject*>(&object)); // written, never changed
    try {
        CArchive ar(&file, CArchive::store, 4096);
        list.Serialize(ar);
        ar.Close();
    } catch (...) {
        list.RemoveAll();
        throw;
    }
    list.RemoveAll();
    return file.GetBuffer();
}

template <typename T>
std::unique_ptr<T> ReadObject(std::vector<BYTE> bytes) {
    CMemFile file(std::move(bytes));
    CArchive ar(&file, CArchive::load, 4096);
    CKelObList list; // deletes what it read unless taken out
    list.Serialize(ar);
    ar.Close();
    if (list.GetCount() != 1 || !dynamic_cast<T*>(list.GetHead()))
        throw URRecordError("a kept object is not of its kind");
    return std::unique_ptr<T>(static_cast<T*>(list.RemoveHead()));
}

template <typename T>
void PutObject(URRecordWriter& out, const std::unique_ptr<T>& object) {
    out.U8(object ? 1 : 0);
    if (object)
        out.Bytes(SerializedBytes(*object));
}

template <typename T>
std::unique_ptr<T> GetObject(URRecordReader& in) {
    return in.U8() ? ReadObject<T>(in.Bytes()) : nullptr;
}

void PutGUID(URRecordWriter& out, const KelGUID& guid) {
    for (const BYTE b : guid.bytes)
        out.U8(b);
}

KelGUID GetGUID(URRecordReader& in) {
    KelGUID guid;
    for (BYTE& b : guid.bytes)
        b = in.U8();
    return guid;
}

void PutFocus(URRecordWriter& out, const kel::edit::Focus& focus) {
    out.I32(focus.nContainer);
    out.I32(focus.nContent);
}

kel::edit::Focus GetFocus(URRecordReader& in) {
    kel::edit::Focus focus;
    focus.nContainer = in.I32();
    focus.nContent = in.I32();
    return focus;
}

template <typename T>
void PutNumbers(URRecordWriter& out, const std::vector<T>& values) {
    out.U64(values.size());
    for (const T v : values)
        out.U64(static_cast<std::uint64_t>(static_cast<std::int64_t>(v)));
}

template <typename T>
std::vector<T> GetNumbers(URRecordReader& in) {
    std::vector<T> values(in.Count(8));
    for (T& v : values)
        v = static_cast<T>(static_cast<std::int64_t>(in.U64()));
    return values;
}

void PutCopies(URRecordWriter& out, const KelSBContainerCopies& copies) {
    out.Ints(copies.indices);
    out.U64(copies.copies.size());
    for (const auto& copy : copies.copies)
        PutObject(out, copy);
}

void GetCopies(URRecordReader& in, KelSBContainerCopies& copies) {
    copies.indices = in.Ints();
    const std::size_t n = in.Count(1);
    for (std::size_t i = 0; i < n; ++i)
        copies.copies.push_back(GetObject<CKelSBContainerObj>(in));
}

void PutTracks(URRecordWriter& out, const std::vector<std::unique_ptr<CKelSBTrackObj>>& tracks) {
    out.U64(tracks.size());
    for (const auto& track : tracks)
        PutObject(out, track);
}

void GetTracks(URRecordReader& in, std::vector<std::unique_ptr<CKelSBTrackObj>>& tracks) {
    const std::size_t n = in.Count(1);
    for (std::size_t i = 0; i < n; ++i)
        tracks.push_back(GetObject<CKelSBTrackObj>(in));
}

void PutRemoved(URRecordWriter& out, const KelSBRemovedTrack& removed) {
    out.I32(removed.nTrackIndex);
    out.I32(removed.nContainerCount);
    out.Ints(removed.containerIndices);
    out.Ints(removed.survivors);
    PutObject(out, removed.pTrack);
}

void GetRemoved(URRecordReader& in, KelSBRemovedTrack& removed) {
    removed.nTrackIndex = in.I32();
    removed.nContainerCount = in.I32();
    removed.containerIndices = in.Ints();
    removed.survivors = in.Ints();
    removed.pTrack = GetObject<CKelSBTrackObj>(in);
}

void PutClip(URRecordWriter& out, const KelSBClipRecord& clip) {
    out.I32(clip.bInPoint);
    out.Ints(clip.frames.tracks);
    PutNumbers(out, clip.frames.oldFrames);
    PutNumbers(out, clip.frames.newFrames);
}

void GetClip(URRecordReader& in, KelSBClipRecord& clip) {
    clip.bInPoint = in.I32();
    clip.frames.tracks = in.Ints();
    clip.frames.oldFrames = GetNumbers<long>(in);
    clip.frames.newFrames = GetNumbers<long>(in);
}

// One kind of command: its name in records, and how its own fields go out and come back.
struct Kind {
    std::string_view name;
    std::function<bool(const CKelURCmd&)> is;
    std::function<std::unique_ptr<CKelSBEditURBaseCmd>(unsigned id, CString text)> make;
    std::function<void(const CKelURCmd&, URRecordWriter&)> put;
    std::function<void(CKelURCmd&, URRecordReader&)> get;
};

template <typename T>
Kind MakeKind(std::string_view name, std::function<void(const T&, URRecordWriter&)> put,
              std::function<void(T&, URRecordReader&)> get) {
    return Kind{
        name, [](const CKelURCmd& cmd) { return typeid(cmd) == typeid(T); },
        [](unsigned id, CString text) -> std::unique_ptr<CKelSBEditURBaseCmd> {
            return std::make_unique<T>(reinterpret_cast<CKelSBEditorServices*>(&g_recoveredOwner),
                                       id, std::move(text));
        },
        [put](const CKelURCmd& cmd, URRecordWriter& out) { put(static_cast<const T&>(cmd), out); },
        [get](CKelURCmd& cmd, URRecordReader& in) { get(static_cast<T&>(cmd), in); }};
}

// Kinds that share their fields' shape.
template <typename T>
Kind TrackCopyKind(std::string_view name) {
    return MakeKind<T>(
        name,
        [](const T& c, URRecordWriter& o) {
            o.I32(c.m_nTrackIndex);
            PutObject(o, c.m_pTrack);
        },
        [](T& c, URRecordReader& i) {
            c.m_nTrackIndex = i.I32();
            c.m_pTrack = GetObject<CKelSBTrackObj>(i);
        });
}

template <typename T>
Kind TrackIndexKind(std::string_view name) {
    return MakeKind<T>(
        name, [](const T& c, URRecordWriter& o) { o.I32(c.m_nTrackIndex); },
        [](T& c, URRecordReader& i) { c.m_nTrackIndex = i.I32(); });
}

template <typename T>
Kind RemovedTrackKind(std::string_view name) {
    return MakeKind<T>(
        name, [](const T& c, URRecordWriter& o) { PutRemoved(o, c.m_removed); },
        [](T& c, URRecordReader& i) { GetRemoved(i, c.m_removed); });
}

template <typename T>
Kind ClipKind(std::string_view name) {
    return MakeKind<T>(
        name, [](const T& c, URRecordWriter& o) { PutClip(o, c.m_clip); },
        [](T& c, URRecordReader& i) { GetClip(i, c.m_clip); });
}

// Merge and split: a focus, the containers in the order changed, and copies of them.
template <typename T, std::vector<int> T::*Containers>
Kind ContainerCopiesKind(std::string_view name) {
    return MakeKind<T>(
        name,
        [](const T& c, URRecordWriter& o) {
            PutFocus(o, c.m_focus);
            o.Ints(c.*Containers);
            PutCopies(o, c.m_recorded);
        },
        [](T& c, URRecordReader& i) {
            c.m_focus = GetFocus(i);
            c.*Containers = i.Ints();
            GetCopies(i, c.m_recorded);
        });
}

const std::vector<Kind>& Kinds();

} // namespace

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

namespace {

bool WriteCommand(const CKelURCmd& cmd, std::vector<BYTE>& out) {
    try {
        const auto* pBase = dynamic_cast<const CKelSBEditURBaseCmd*>(&cmd);
        if (pBase == nullptr)
            return false;
        for (const Kind& kind : Kinds()) {
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
        for (const Kind& kind : Kinds()) {
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

const std::vector<Kind>& Kinds() {
    using W = URRecordWriter;
    using R = URRecordReader;
    static const std::vector<Kind> kinds = {
        ContainerCopiesKind<CKelURSBUnionContainerCmd,
                            &CKelURSBUnionContainerCmd::m_arrMergedContainers>("merge"),
        ContainerCopiesKind<CKelURSBSplitContainerCmd,
                            &CKelURSBSplitContainerCmd::m_arrSplitContainers>("split"),
        MakeKind<CKelURSBAddItemToSBCmd>(
            "add-items",
            [](const CKelURSBAddItemToSBCmd& c, W& o) {
                PutFocus(o, c.m_focus);
                o.I32(c.m_nFirstAddedContainer);
                o.I32(c.m_nFirstAddedTrack);
                o.I32(c.m_nAddedTrackCount);
                o.Ints(c.m_arrSelectedContainers);
                PutCopies(o, c.m_addedContainers);
                o.Ints(c.m_arrAddedTracks);
                PutTracks(o, c.m_arrTrackCopies);
            },
            [](CKelURSBAddItemToSBCmd& c, R& i) {
                c.m_focus = GetFocus(i);
                c.m_nFirstAddedContainer = i.I32();
                c.m_nFirstAddedTrack = i.I32();
                c.m_nAddedTrackCount = i.I32();
                c.m_arrSelectedContainers = i.Ints();
                GetCopies(i, c.m_addedContainers);
                c.m_arrAddedTracks = i.Ints();
                GetTracks(i, c.m_arrTrackCopies);
            }),
        MakeKind<CKelURSBDeleteContainerCmd>(
            "delete",
            [](const CKelURSBDeleteContainerCmd& c, W& o) {
                PutFocus(o, c.m_focus);
                o.Ints(c.m_arrRemovedContainers);
                o.U64(c.m_arrRippleShifts.size());
                for (const auto& shift : c.m_arrRippleShifts) {
                    o.I32(shift.nTrack);
                    o.U32(shift.dwFrom);
                    o.U64(static_cast<std::uint64_t>(static_cast<std::int64_t>(shift.nDelta)));
                }
            },
            [](CKelURSBDeleteContainerCmd& c, R& i) {
                c.m_focus = GetFocus(i);
                c.m_arrRemovedContainers = i.Ints();
                c.m_arrRippleShifts.resize(i.Count(16));
                for (auto& shift : c.m_arrRippleShifts) {
                    shift.nTrack = i.I32();
                    shift.dwFrom = i.U32();
                    shift.nDelta = static_cast<long>(static_cast<std::int64_t>(i.U64()));
                }
            }),
        MakeKind<CKelURSBDragFromOutCmd>(
            "drag-in",
            [](const CKelURSBDragFromOutCmd& c, W& o) {
                o.I32(c.m_nShift);
                o.I32(c.m_nDropTrack);
                o.U32(c.m_dwShiftThreshold);
                o.I32(c.m_nFirstNewContainer);
                o.I32(c.m_nNewContainerCount);
                o.Ints(c.m_arrSelectedContainers);
                PutFocus(o, c.m_focus);
                o.Ints(c.m_arrRestoredContainers);
            },
            [](CKelURSBDragFromOutCmd& c, R& i) {
                c.m_nShift = i.I32();
                c.m_nDropTrack = i.I32();
                c.m_dwShiftThreshold = i.U32();
                c.m_nFirstNewContainer = i.I32();
                c.m_nNewContainerCount = i.I32();
                c.m_arrSelectedContainers = i.Ints();
                c.m_focus = GetFocus(i);
                c.m_arrRestoredContainers = i.Ints();
            }),
        TrackCopyKind<CKelURSBAppendTrackCmd>("append-track"),
        TrackCopyKind<CKelURSBInsertTrackCmd>("insert-track"),
        TrackIndexKind<CKelURSBMoveupTrackCmd>("track-up"),
        TrackIndexKind<CKelURSBMovedownTrackCmd>("track-down"),
        RemovedTrackKind<CKelURSBDeleteTrackCmd>("delete-track"),
        RemovedTrackKind<CKelURSBCutTrackCmd>("cut-track"),
        MakeKind<CKelURSBPasteTrackCmd>(
            "paste-track",
            [](const CKelURSBPasteTrackCmd& c, W& o) {
                o.I32(c.m_nTrackIndex);
                o.I32(c.m_nContainerCount);
                o.Ints(c.m_arrContainerIndices);
                o.Ints(c.m_arrSurvivors);
                PutObject(o, c.m_pTrack);
            },
            [](CKelURSBPasteTrackCmd& c, R& i) {
                c.m_nTrackIndex = i.I32();
                c.m_nContainerCount = i.I32();
                c.m_arrContainerIndices = i.Ints();
                c.m_arrSurvivors = i.Ints();
                c.m_pTrack = GetObject<CKelSBTrackObj>(i);
            }),
        MakeKind<CKelURSBSettingsCmd>(
            "settings",
            [](const CKelURSBSettingsCmd& c, W& o) {
                o.I32(c.m_attr.nFrameDisplay);
                o.I32(c.m_attr.nTrackHeight);
                o.I32(c.m_attr.nPlayRangeOnly);
                o.Text(c.m_attr.strName);
                o.U32(c.m_attr.dwRangeStart);
                o.U32(c.m_attr.dwRangeEnd);
            },
            [](CKelURSBSettingsCmd& c, R& i) {
                c.m_attr.nFrameDisplay = i.I32();
                c.m_attr.nTrackHeight = i.I32();
                c.m_attr.nPlayRangeOnly = i.I32();
                c.m_attr.strName = i.Text();
                c.m_attr.dwRangeStart = i.U32();
                c.m_attr.dwRangeEnd = i.U32();
            }),
        MakeKind<CKelURSBChangeLengthCmd>(
            "trim",
            [](const CKelURSBChangeLengthCmd& c, W& o) {
                o.I32(c.m_nTrackIndex);
                o.I32(c.m_nSide);
                o.U32(c.m_dwOldFrame);
                o.U32(c.m_dwNewFrame);
            },
            [](CKelURSBChangeLengthCmd& c, R& i) {
                c.m_nTrackIndex = i.I32();
                c.m_nSide = i.I32();
                c.m_dwOldFrame = i.U32();
                c.m_dwNewFrame = i.U32();
            }),
        ClipKind<CKelURSBClipInCmd>("clip-in"),
        ClipKind<CKelURSBClipOutCmd>("clip-out"),
        MakeKind<CKelURSBDeleteSpaceCmd>(
            "delete-space",
            [](const CKelURSBDeleteSpaceCmd& c, W& o) {
                o.I32(c.m_nTrackIndex);
                o.U32(c.m_dwOldFrame);
                o.U32(c.m_dwNewFrame);
            },
            [](CKelURSBDeleteSpaceCmd& c, R& i) {
                c.m_nTrackIndex = i.I32();
                c.m_dwOldFrame = i.U32();
                c.m_dwNewFrame = i.U32();
            }),
        MakeKind<CKelURSBSameLengthCmd>(
            "same-length",
            [](const CKelURSBSameLengthCmd& c, W& o) {
                const kel::edit::SameLengthRecord& r = c.m_record;
                o.U32(r.dwLength);
                for (const auto* v : {&r.resizedTracks, &r.resizedStoryIns, &r.oldLengths,
                                      &r.shiftedTracks, &r.shiftThresholds, &r.shiftAmounts})
                    PutNumbers(o, *v);
                o.Ints(r.touchedTracks);
            },
            [](CKelURSBSameLengthCmd& c, R& i) {
                kel::edit::SameLengthRecord& r = c.m_record;
                r.dwLength = i.U32();
                for (auto* v : {&r.resizedTracks, &r.resizedStoryIns, &r.oldLengths,
                                &r.shiftedTracks, &r.shiftThresholds, &r.shiftAmounts})
                    *v = GetNumbers<DWORD>(i);
                r.touchedTracks = i.Ints();
            }),
        MakeKind<CKelURSBDragWithinSBCmd>(
            "move",
            [](const CKelURSBDragWithinSBCmd& c, W& o) {
                PutFocus(o, c.m_focus);
                o.Ints(c.m_arrSelectedContainers);
                o.U64(c.m_entries.size());
                for (const auto& e : c.m_entries) {
                    for (const int v : {e.nContainer, e.nContent, e.nOldTrack, e.nOldStoryIn,
                                        e.nNewTrack, e.nNewStoryIn})
                        o.I32(v);
                }
            },
            [](CKelURSBDragWithinSBCmd& c, R& i) {
                c.m_focus = GetFocus(i);
                c.m_arrSelectedContainers = i.Ints();
                c.m_entries.resize(i.Count(24));
                for (auto& e : c.m_entries) {
                    for (int* v : {&e.nContainer, &e.nContent, &e.nOldTrack, &e.nOldStoryIn,
                                   &e.nNewTrack, &e.nNewStoryIn})
                        *v = i.I32();
                }
            }),
        MakeKind<CKelURSBIOModeCmd>(
            "io-mode",
            [](const CKelURSBIOModeCmd& c, W& o) {
                o.I32(c.m_nContainerIndex);
                o.I32(c.m_nContentIndex);
                PutObject(o, c.m_pStoredContent);
            },
            [](CKelURSBIOModeCmd& c, R& i) {
                c.m_nContainerIndex = i.I32();
                c.m_nContentIndex = i.I32();
                c.m_pStoredContent = GetObject<CKelSBContentBaseObj>(i);
            }),
        MakeKind<CKelURSBReplacePieceCmd>(
            "replace-piece",
            [](const CKelURSBReplacePieceCmd& c, W& o) {
                PutFocus(o, c.m_material);
                PutGUID(o, c.m_oldGUID);
                PutGUID(o, c.m_newGUID);
            },
            [](CKelURSBReplacePieceCmd& c, R& i) {
                c.m_material = GetFocus(i);
                c.m_oldGUID = GetGUID(i);
                c.m_newGUID = GetGUID(i);
            }),
        MakeKind<CKelURSBIOSoftFXPasteCmd>(
            "fx-paste",
            [](const CKelURSBIOSoftFXPasteCmd& c, W& o) {
                PutFocus(o, c.m_focus);
                o.Ints(c.m_arrSelectedContainers);
                for (int k = 0; k < 3; ++k) {
                    o.U64(c.m_arrEffects[k].size());
                    for (const auto& effect : c.m_arrEffects[k])
                        PutObject(o, effect);
                    o.U64(c.m_arrTargets[k].size());
                    for (const auto& target : c.m_arrTargets[k])
                        PutFocus(o, target);
                }
            },
            [](CKelURSBIOSoftFXPasteCmd& c, R& i) {
                c.m_focus = GetFocus(i);
                c.m_arrSelectedContainers = i.Ints();
                for (int k = 0; k < 3; ++k) {
                    const std::size_t effects = i.Count(1);
                    for (std::size_t e = 0; e < effects; ++e)
                        c.m_arrEffects[k].push_back(GetObject<CKelIOSoftEffectBaseObj>(i));
                    c.m_arrTargets[k].resize(i.Count(8));
                    for (auto& target : c.m_arrTargets[k])
                        target = GetFocus(i);
                }
            }),
    };
    return kinds;
}

// Installed while the module is loaded; the host never calls into an unloaded module.
struct CodecInstaller {
    CodecInstaller() { kel::host::SetURCodec({WriteCommand, ReadCommand}); }
    ~CodecInstaller() { kel::host::SetURCodec({}); }
} g_installer;

} // namespace
