#include "host/undo/ur_manager.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Records every call into a shared journal so tests can check order and destruction.
struct Journal {
    std::vector<std::string> events;
};

class RecordingCmd : public CKelURCmd {
public:
    RecordingCmd(Journal* journal, const char* name, int undoResult = 1, int redoResult = 1)
        : CKelURCmd(journal, 0, name), m_journal(journal), m_undoResult(undoResult),
          m_redoResult(redoResult) {}
    ~RecordingCmd() override { m_journal->events.push_back("~" + GetName().str()); }
    int Undo() override {
        m_journal->events.push_back("undo " + GetName().str());
        return m_undoResult;
    }
    int Redo(int bFirst) override {
        m_journal->events.push_back((bFirst ? "do " : "redo ") + GetName().str());
        return m_redoResult;
    }

private:
    Journal* m_journal;
    int m_undoResult;
    int m_redoResult;
};

void AddSteps(CKelURBase& history, Journal& journal, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        auto* cmd = new RecordingCmd(&journal, name);
        cmd->Do();
        ASSERT_EQ(history.AddCommand(cmd), 1);
    }
}

TEST(URHistory, CountsFollowUndoRedoAndAdding) {
    Journal journal;
    CKelURBase history;
    AddSteps(history, journal, {"a", "b", "c"});
    EXPECT_EQ(history.GetStepCount(), 3);
    EXPECT_EQ(history.GetUndoStepCount(), 3);

    EXPECT_EQ(history.Undo(2), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 1);
    EXPECT_EQ(history.GetRedoStepCount(), 2);
    EXPECT_EQ(history.GetCurrentStep(), 0);

    EXPECT_EQ(history.Redo(1), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 2);

    // Newest first on undo, oldest first on redo, Redo(0) after an undo.
    std::vector<std::string> expected = {"do a", "do b", "do c", "undo c", "undo b", "redo b"};
    EXPECT_EQ(journal.events, expected);
    EXPECT_EQ(history.GetStepNames(), (std::vector<CString>{"a", "b", "c"}));
}

TEST(URHistory, AddingAfterUndoDestroysTheRedoTail) {
    Journal journal;
    CKelURBase history;
    AddSteps(history, journal, {"a", "b", "c"});
    history.Undo(2);
    journal.events.clear();

    AddSteps(history, journal, {"d"});
    // The dropped steps are destroyed, newest first, before the new step is appended.
    std::vector<std::string> expected = {"do d", "~c", "~b"};
    EXPECT_EQ(journal.events, expected);
    EXPECT_EQ(history.GetStepNames(), (std::vector<CString>{"a", "d"}));
    EXPECT_EQ(history.GetRedoStepCount(), 0);
    EXPECT_EQ(history.Redo(1), 1); // nothing left to redo is not a failure
    EXPECT_EQ(history.GetUndoStepCount(), 2);
}

TEST(URHistory, StepRequestsBeyondTheHistoryAreClamped) {
    Journal journal;
    CKelURBase history;
    AddSteps(history, journal, {"a", "b"});
    EXPECT_EQ(history.Undo(10), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 0);
    EXPECT_EQ(history.Undo(1), 1);
    EXPECT_EQ(history.Redo(10), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 2);
    EXPECT_EQ(history.Undo(0), 1);
    EXPECT_EQ(history.Undo(-3), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 2);
}

TEST(URHistory, FailingCommandStopsTheSeriesAndReportsFailure) {
    Journal journal;
    CKelURBase history;
    AddSteps(history, journal, {"a"});
    history.AddCommand(new RecordingCmd(&journal, "bad", /*undo*/ 0, /*redo*/ 0));
    AddSteps(history, journal, {"c"});
    journal.events.clear();

    EXPECT_EQ(history.Undo(3), 0);
    // "c" was undone, "bad" failed and stays done, "a" was never asked.
    EXPECT_EQ(journal.events, (std::vector<std::string>{"undo c", "undo bad"}));
    EXPECT_EQ(history.GetUndoStepCount(), 2);

    history.Redo(1);
    history.ClearHistory();
    EXPECT_EQ(history.GetStepCount(), 0);
    EXPECT_EQ(history.GetUndoStepCount(), 0);

    AddSteps(history, journal, {"x"});
    history.AddCommand(new RecordingCmd(&journal, "bad redo", 1, 0));
    history.Undo(2);
    EXPECT_EQ(history.Redo(2), 0);
    EXPECT_EQ(history.GetUndoStepCount(), 1);
}

// A command that touches its own history while running must not pull the floor from under
// itself.
class ReentrantCmd : public CKelURCmd {
public:
    ReentrantCmd(CKelURBase* history, Journal* journal)
        : CKelURCmd(history, 0, "reentrant"), m_history(history), m_journal(journal) {}
    int Undo() override {
        m_addResult = m_history->AddCommand(new RecordingCmd(m_journal, "nested"));
        m_history->ClearHistory();
        return 1;
    }
    int m_addResult = -1;

private:
    CKelURBase* m_history;
    Journal* m_journal;
};

TEST(URHistory, HistoryRefusesChangesFromARunningCommand) {
    Journal journal;
    CKelURBase history;
    auto* cmd = new ReentrantCmd(&history, &journal);
    history.AddCommand(cmd);
    EXPECT_EQ(history.Undo(1), 1);
    EXPECT_EQ(cmd->m_addResult, 0);
    EXPECT_EQ(journal.events, (std::vector<std::string>{"~nested"}));
    EXPECT_EQ(history.GetStepCount(), 1);
    EXPECT_EQ(history.GetUndoStepCount(), 0);
    EXPECT_EQ(history.AddCommand(nullptr), 0);
}

} // namespace
