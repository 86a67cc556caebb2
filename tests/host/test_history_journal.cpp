#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/sample_scene.h"
#include "host/services/history_journal.h"
#include "host/undo/ur_manager.h"
#include "host/undo/ur_records.h"
#include "platform/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using kel::host::KelHistoryJournal;
using kel::host::KelJournalBatch;

// A command with a payload of its own size and a value that its Undo changes, as the editor's
// commands change what they keep when undone.
class NumberCmd : public CKelURCmd {
public:
    NumberCmd(int value, std::size_t payload)
        : CKelURCmd(nullptr, 7, "Number"), m_value(value), m_payload(payload) {}
    int Undo() override {
        m_value = -m_value;
        return 1;
    }
    int Redo(int) override {
        m_value = -m_value;
        return 1;
    }
    int m_value;
    std::size_t m_payload;
};

class HistoryJournal : public kel::test::TempFolderTest {
protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        m_path = Path("journal");
        kel::host::SetURCodec(
            {[this](const CKelURCmd& cmd, std::vector<BYTE>& out) {
                 const auto* number = dynamic_cast<const NumberCmd*>(&cmd);
                 if (!number || number->m_value == m_refuseToWrite)
                     return false;
                 kel::host::URRecordWriter record;
                 record.I32(number->m_value);
                 record.Bytes(std::vector<BYTE>(number->m_payload, 0x5A));
                 out.insert(out.end(), record.Data().begin(), record.Data().end());
                 return true;
             },
             [](const BYTE* data, std::size_t size) -> std::unique_ptr<CKelURCmd> {
                 kel::host::URRecordReader in(data, size);
                 const int value = in.I32();
                 const std::size_t payload = in.Bytes().size();
                 return std::make_unique<NumberCmd>(value, payload);
             }});
        m_scene = KelCreateSampleScene();
    }
    void TearDown() override {
        kel::host::SetURCodec({});
        TempFolderTest::TearDown();
    }
    CKelURBase& History(int body = 0) {
        return *m_scene->GetSBEditObj()->GetSBBodyObj(body)->GetURBase();
    }
    KelJournalBatch Save() {
        KelJournalBatch batch = m_journal.Collect(*m_scene);
        std::string error;
        EXPECT_TRUE(kel::host::KelWriteJournal(m_path, batch, &error)) << error;
        return batch;
    }
    // The histories as a fresh scene gets them back at `generation`.
    std::vector<int> Restored(std::uint64_t generation, int* done = nullptr,
                              kel::host::KelHistoryRestore* result = nullptr) {
        std::unique_ptr<CKelPlaySceneObj> fresh = KelCreateSampleScene();
        const auto restored = kel::host::KelRestoreHistories(m_path, generation, *fresh);
        if (result)
            *result = restored;
        CKelURBase& history = *fresh->GetSBEditObj()->GetSBBodyObj(0)->GetURBase();
        if (done)
            *done = history.GetUndoStepCount();
        std::vector<int> values;
        for (int k = 0; k < history.GetStepCount(); ++k)
            values.push_back(static_cast<NumberCmd*>(history.GetCommand(k))->m_value);
        return values;
    }

    std::string m_path;
    std::unique_ptr<CKelPlaySceneObj> m_scene;
    KelHistoryJournal m_journal;
    int m_refuseToWrite = 0;
};

TEST_F(HistoryJournal, EachSaveWritesOnlyWhatChangedAndRestoresItsOwnLayout) {
    History().AddCommand(new NumberCmd(1, 100000));
    History().AddCommand(new NumberCmd(2, 100000));
    const KelJournalBatch first = Save();
    EXPECT_TRUE(first.rewrite);
    EXPECT_GT(first.bytes.size(), 200000u);

    // A new step costs its own record, not the history again.
    History().AddCommand(new NumberCmd(3, 10));
    const KelJournalBatch second = Save();
    EXPECT_FALSE(second.rewrite);
    EXPECT_LT(second.bytes.size(), 1000u);

    // An undo changes what the command keeps: it is written again, in its undone state.
    History().Undo(1);
    const KelJournalBatch third = Save();
    EXPECT_LT(third.bytes.size(), 1000u);

    int done = 0;
    EXPECT_EQ(Restored(first.generation, &done), (std::vector<int>{1, 2}));
    EXPECT_EQ(done, 2);
    EXPECT_EQ(Restored(second.generation, &done), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(done, 3);
    EXPECT_EQ(Restored(third.generation, &done), (std::vector<int>{1, 2, -3}));
    EXPECT_EQ(done, 2);
    EXPECT_TRUE(Restored(third.generation + 1).empty()) << "a generation never written";
}

TEST_F(HistoryJournal, JournalCutShortKeepsEveryEarlierSave) {
    History().AddCommand(new NumberCmd(1, 50));
    const KelJournalBatch first = Save();
    History().AddCommand(new NumberCmd(2, 5000));
    const KelJournalBatch second = Save();
    // The crash came in the middle of the second append.
    fs::resize_file(m_path, fs::file_size(m_path) - 100);
    EXPECT_EQ(Restored(first.generation), (std::vector<int>{1}));
    kel::host::KelHistoryRestore result;
    EXPECT_TRUE(Restored(second.generation, nullptr, &result).empty());
    EXPECT_EQ(result.kept, 0);
}

TEST_F(HistoryJournal, StepsThatCannotBeWrittenCutTheHistoryWhereUndoWouldStop) {
    m_refuseToWrite = 2;
    for (int value = 1; value <= 5; ++value)
        History().AddCommand(new NumberCmd(value, 10));
    History().Undo(1); // 5 is undone: -5
    const KelJournalBatch batch = Save();
    int done = 0;
    kel::host::KelHistoryRestore result;
    // Undo from the current step stops before 2; the redo tail is whole.
    EXPECT_EQ(Restored(batch.generation, &done, &result), (std::vector<int>{3, 4, -5}));
    EXPECT_EQ(done, 2);
    EXPECT_EQ(result.steps, 5);
    EXPECT_EQ(result.kept, 3);
}

TEST_F(HistoryJournal, GrownJournalIsWrittenAfresh) {
    History().AddCommand(new NumberCmd(1, 400000));
    Save();
    // Each undo and redo writes the large command again, until the journal holds far more
    // than is live.
    bool rewritten = false;
    for (int i = 0; i < 12 && !rewritten; ++i) {
        i % 2 == 0 ? History().Undo(1) : History().Redo(1);
        rewritten = Save().rewrite;
    }
    EXPECT_TRUE(rewritten);
    EXPECT_LT(fs::file_size(m_path), 3u * 400000u);
}

} // namespace
