// Commands as plain data. A recovered history reads back journals that earlier sessions wrote, so
// every kind's record keeps its bytes: each is pinned here, and must read back into a command that
// writes the same bytes again.
#include "undo/container_cmds.h"
#include "undo/material_cmds.h"
#include "undo/track_cmds.h"
#include "undo/ur_cmd_kind.h"

#include "host/effects/io_effect.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/undo/ur_records.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kel::test {
namespace {

using CommandPtr = std::unique_ptr<CKelSBEditURBaseCmd>;

template <class Cmd>
std::unique_ptr<Cmd> New(unsigned int nId) {
    return std::make_unique<Cmd>(nullptr, nId, CString("step"));
}

std::string Hex(const std::vector<BYTE>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (const BYTE b : bytes) {
        hex += digits[b >> 4];
        hex += digits[b & 15];
    }
    return hex;
}

// What every record starts with: the kind's name, the command's id and history text ("step"),
// and three empty counts (no snapshots in either list, no piece copies).
std::string Start(const std::string& kind, unsigned int nId) {
    std::vector<BYTE> bytes;
    const auto number = [&bytes](std::uint64_t v, int nBytes) {
        for (int i = 0; i < nBytes; ++i)
            bytes.push_back(static_cast<BYTE>(v >> (8 * i)));
    };
    number(kind.size(), 8);
    bytes.insert(bytes.end(), kind.begin(), kind.end());
    number(nId, 4);
    number(4, 8);
    for (const char c : std::string("step"))
        bytes.push_back(static_cast<BYTE>(c));
    for (int i = 0; i < 3; ++i)
        number(0, 8);
    return Hex(bytes);
}

std::vector<BYTE> Write(const CKelURCmd& cmd) {
    std::vector<BYTE> bytes;
    EXPECT_TRUE(kel::host::GetURCodec().write(cmd, bytes));
    return bytes;
}

struct Pinned {
    const char* kind;
    std::function<CommandPtr()> make;
    const char* fields; // after what every record starts with
};

KelGUID Counting(BYTE from, int step) {
    KelGUID guid;
    for (BYTE& b : guid.bytes) {
        b = from;
        from = static_cast<BYTE>(from + step);
    }
    return guid;
}

std::vector<Pinned> PinnedRecords() {
    return {
        {"merge",
         [] {
             auto c = New<CKelURSBUnionContainerCmd>(1);
             c->m_focus = {1, 2};
             c->m_arrMergedContainers = {3, 1};
             c->m_recorded.indices = {3, 1};
             return c;
         },
         "01000000020000000200000000000000030000000100000002000000000000000300000001000000000000000"
         "0000000"},
        {"split",
         [] {
             auto c = New<CKelURSBSplitContainerCmd>(2);
             c->m_arrSplitContainers = {4};
             c->m_recorded.indices = {4};
             return c;
         },
         "ffffffffffffffff0100000000000000040000000100000000000000040000000000000000000000"},
        {"add-items",
         [] {
             auto c = New<CKelURSBAddItemToSBCmd>(3);
             c->m_focus = {0, 1};
             c->m_nFirstAddedContainer = 9;
             c->m_nFirstAddedTrack = 5;
             c->m_nAddedTrackCount = 1;
             c->m_arrSelectedContainers = {1, 2};
             c->m_addedContainers.indices = {9};
             c->m_arrAddedTracks = {5};
             c->m_arrTrackCopies.push_back(std::make_unique<CKelSBTrackObj>());
             return c;
         },
         "00000000010000000900000005000000010000000200000000000000010000000200000001000000000000000"
         "900000000000000000000000100000000000000050000000100000000000000012b000000000000004b454c41"
         "0100000001000000010e000000434b656c5342547261636b4f626a010000000000000001000000"},
        {"delete",
         [] {
             auto c = New<CKelURSBDeleteContainerCmd>(4);
             c->m_focus = {2, 0};
             c->m_arrRemovedContainers = {5, 2};
             c->m_arrRippleShifts.push_back({1, 100, -25});
             return c;
         },
         "02000000000000000200000000000000050000000200000001000000000000000100000064000000e7fffffff"
         "fffffff"},
        {"drag-in",
         [] {
             auto c = New<CKelURSBDragFromOutCmd>(5);
             c->m_nShift = 12;
             c->m_nDropTrack = 2;
             c->m_dwShiftThreshold = 40;
             c->m_nFirstNewContainer = 9;
             c->m_nNewContainerCount = 2;
             c->m_arrSelectedContainers = {0};
             c->m_focus = {0, 0};
             c->m_arrRestoredContainers = {9, 10};
             return c;
         },
         "0c000000020000002800000009000000020000000100000000000000000000000000000000000000020000000"
         "0000000090000000a000000"},
        {"append-track",
         [] {
             auto c = New<CKelURSBAppendTrackCmd>(6);
             c->m_nTrackIndex = 5;
             return c;
         },
         "0500000000"},
        {"insert-track",
         [] {
             auto c = New<CKelURSBInsertTrackCmd>(7);
             c->m_nTrackIndex = 1;
             c->m_pTrack = std::make_unique<CKelSBTrackObj>();
             c->m_pTrack->SetLocked(TRUE);
             return c;
         },
         "01000000012b000000000000004b454c410100000001000000010e000000434b656c5342547261636b4f626a0"
         "10000000100000001000000"},
        {"track-up",
         [] {
             auto c = New<CKelURSBMoveupTrackCmd>(8);
             c->m_nTrackIndex = 2;
             return c;
         },
         "02000000"},
        {"track-down",
         [] {
             auto c = New<CKelURSBMovedownTrackCmd>(9);
             c->m_nTrackIndex = 3;
             return c;
         },
         "03000000"},
        {"delete-track",
         [] {
             auto c = New<CKelURSBDeleteTrackCmd>(10);
             c->m_removed.nTrackIndex = 2;
             c->m_removed.nContainerCount = 9;
             c->m_removed.containerIndices = {4, 6};
             c->m_removed.survivors = {6};
             return c;
         },
         "02000000090000000200000000000000040000000600000001000000000000000600000000"},
        {"cut-track",
         [] {
             auto c = New<CKelURSBCutTrackCmd>(11);
             c->m_removed.nTrackIndex = 1;
             c->m_removed.nContainerCount = 8;
             c->m_removed.containerIndices = {0};
             c->m_removed.pTrack = std::make_unique<CKelSBTrackObj>();
             return c;
         },
         "01000000080000000100000000000000000000000000000000000000012b000000000000004b454c410100000"
         "001000000010e000000434b656c5342547261636b4f626a010000000000000001000000"},
        {"paste-track",
         [] {
             auto c = New<CKelURSBPasteTrackCmd>(12);
             c->m_nTrackIndex = 3;
             c->m_nContainerCount = 10;
             c->m_arrContainerIndices = {1, 2};
             c->m_arrSurvivors = {2};
             return c;
         },
         "030000000a0000000200000000000000010000000200000001000000000000000200000000"},
        {"settings",
         [] {
             auto c = New<CKelURSBSettingsCmd>(13);
             c->m_attr = {1, 40, 1, CString("News"), 10, 200};
             return c;
         },
         "01000000280000000100000004000000000000004e6577730a000000c8000000"},
        {"trim",
         [] {
             auto c = New<CKelURSBChangeLengthCmd>(14);
             c->m_nTrackIndex = 2;
             c->m_nSide = 1;
             c->m_dwOldFrame = 100;
             c->m_dwNewFrame = 120;
             return c;
         },
         "02000000010000006400000078000000"},
        {"clip-in",
         [] {
             auto c = New<CKelURSBClipInCmd>(15);
             c->m_clip.frames = {{0, 2}, {10, 20}, {15, 25}};
             return c;
         },
         "010000000200000000000000000000000200000002000000000000000a0000000000000014000000000000000"
         "2000000000000000f000000000000001900000000000000"},
        {"clip-out",
         [] {
             auto c = New<CKelURSBClipOutCmd>(16);
             c->m_clip.frames = {{1}, {-3}, {90}};
             return c;
         },
         "000000000100000000000000010000000100000000000000fdffffffffffffff01000000000000005a0000000"
         "0000000"},
        {"delete-space",
         [] {
             auto c = New<CKelURSBDeleteSpaceCmd>(17);
             c->m_nTrackIndex = 1;
             c->m_dwOldFrame = 200;
             c->m_dwNewFrame = 150;
             return c;
         },
         "01000000c800000096000000"},
        {"same-length",
         [] {
             auto c = New<CKelURSBSameLengthCmd>(18);
             c->m_record = {50, {0}, {10}, {30}, {0}, {60}, {20}, {0}};
             return c;
         },
         "320000000100000000000000000000000000000001000000000000000a0000000000000001000000000000001"
         "e000000000000000100000000000000000000000000000001000000000000003c000000000000000100000000"
         "0000001400000000000000010000000000000000000000"},
        {"move",
         [] {
             auto c = New<CKelURSBDragWithinSBCmd>(19);
             c->m_focus = {3, 1};
             c->m_arrSelectedContainers = {3};
             c->m_entries.push_back({3, 1, 0, 100, 2, 140});
             return c;
         },
         "03000000010000000100000000000000030000000100000000000000030000000100000000000000640000000"
         "20000008c000000"},
        {"io-mode",
         [] {
             auto c = New<CKelURSBIOModeCmd>(20);
             c->m_nContainerIndex = 3;
             c->m_nContentIndex = 0;
             return c;
         },
         "030000000000000000"},
        {"replace-piece",
         [] {
             auto c = New<CKelURSBReplacePieceCmd>(21);
             c->m_material = {2, 0};
             c->m_oldGUID = Counting(1, 1);
             c->m_newGUID = Counting(16, -1);
             return c;
         },
         "02000000000000000102030405060708090a0b0c0d0e0f10100f0e0d0c0b0a090807060504030201"},
        {"fx-paste",
         [] {
             auto c = New<CKelURSBIOSoftFXPasteCmd>(22);
             c->m_focus = {1, 0};
             c->m_arrSelectedContainers = {1};
             c->m_arrTargets[0] = {{1, 0}};
             c->m_arrTargets[2] = {{2, 1}};
             return c;
         },
         "01000000000000000100000000000000010000000000000000000000010000000000000001000000000000000"
         "0000000000000000000000000000000000000000000000001000000000000000200000001000000"},
    };
}

TEST(CommandRecords, EveryKindKeepsTheBytesJournalsHoldAndReadsThemBack) {
    const kel::host::URCodec& codec = kel::host::GetURCodec();
    ASSERT_TRUE(codec.write && codec.read) << "the module installs its codec when it is loaded";
    for (const Pinned& pinned : PinnedRecords()) {
        SCOPED_TRACE(pinned.kind);
        const CommandPtr cmd = pinned.make();
        const std::vector<BYTE> bytes = Write(*cmd);
        EXPECT_EQ(Hex(bytes), Start(pinned.kind, cmd->GetId()) + pinned.fields);

        const std::unique_ptr<CKelURCmd> back = codec.read(bytes.data(), bytes.size());
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(typeid(*back), typeid(*cmd));
        EXPECT_EQ(back->GetId(), cmd->GetId());
        EXPECT_EQ(back->GetName(), cmd->GetName());
        EXPECT_EQ(Hex(Write(*back)), Hex(bytes));
    }
}

TEST(CommandRecords, EveryKindHasANameOfItsOwnAndAPinnedRecord) {
    // A name two kinds shared would read back as the first of them.
    std::set<std::string> names;
    for (const kel::undo::Kind& kind : kel::undo::AllKinds())
        EXPECT_TRUE(names.insert(std::string(kind.name)).second) << kind.name;
    std::set<std::string> pinned;
    for (const Pinned& record : PinnedRecords())
        pinned.insert(record.kind);
    EXPECT_EQ(names, pinned);
}

TEST(CommandRecords, ARecordThatIsNotWholeReadsAsNothing) {
    const kel::host::URCodec& codec = kel::host::GetURCodec();
    auto cmd = New<CKelURSBDragWithinSBCmd>(19);
    cmd->m_entries.push_back({3, 1, 0, 100, 2, 140});
    const std::vector<BYTE> bytes = Write(*cmd);

    // Cut anywhere, the record is refused rather than read as a smaller command.
    for (std::size_t size = 0; size < bytes.size(); ++size)
        EXPECT_EQ(codec.read(bytes.data(), size), nullptr) << "cut at " << size;
    std::vector<BYTE> longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(codec.read(longer.data(), longer.size()), nullptr);

    // The same fields under a name no command has.
    const auto fields = bytes.begin() + 8 + static_cast<std::ptrdiff_t>(std::strlen("move"));
    kel::host::URRecordWriter unknown;
    unknown.Text(CString("no-such-step"));
    unknown.Data().insert(unknown.Data().end(), fields, bytes.end());
    EXPECT_EQ(codec.read(unknown.Data().data(), unknown.Data().size()), nullptr);
}

TEST(CommandRecords, OnlyTheEditorsCommandsAreWritten) {
    class Foreign : public CKelURCmd {
    public:
        Foreign() : CKelURCmd(nullptr, 1, CString("foreign")) {}
    };
    std::vector<BYTE> bytes;
    EXPECT_FALSE(kel::host::GetURCodec().write(Foreign(), bytes));
    EXPECT_TRUE(bytes.empty());
}

} // namespace
} // namespace kel::test
