// The undo/redo history manager: the command base every recorded change derives from, the
// per-storyboard history that owns those commands, and the names under which commands keep their
// snapshots.
#pragma once

#include "platform/cstring.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CKelXMLDOMDocObj;
struct IXMLDOMNode;

// One recorded change. The history owns a command once it is added and destroys it through the
// virtual destructor when it is discarded (redo tail dropped, history cleared).
class CKelURCmd {
public:
    // pOwner is the window or object that created the command; the history never dereferences it.
    CKelURCmd(void* pOwner, unsigned int nId, CString strName);
    virtual ~CKelURCmd();

    CKelURCmd(const CKelURCmd&) = delete;
    CKelURCmd& operator=(const CKelURCmd&) = delete;

    // Applies the change for the first time: the creator has usually changed the document already,
    // so this is Redo(1), which commands answer with 1 without touching anything.
    virtual int Do();
    // Both return non-zero on success.
    virtual int Undo();
    virtual int Redo(int bFirst);
    // The history can be exported as XML by hosts that have a DOM; nothing is written here.
    virtual int SerializeXML(CKelXMLDOMDocObj* pDoc, IXMLDOMNode* pNode);
    // What the command keeps, in bytes: itself, and what it holds in memory or in the snapshot
    // store. Commands that keep copies of their own add them.
    virtual std::size_t GetHeldBytes() const;

    void* GetOwner() const { return m_pOwner; }
    unsigned int GetId() const { return m_nId; }
    const CString& GetName() const { return m_strName; }
    // A number no other command of this process has had: tells a command that is new since the
    // last automatic save from one already saved.
    std::uint64_t GetSerial() const { return m_nSerial; }

protected:
    void* m_pOwner;
    unsigned int m_nId;
    CString m_strName;

private:
    std::uint64_t m_nSerial;
};

// A linear history: steps [0, GetUndoStepCount()) are done and can be undone, the rest were
// undone and can be redone.
class CKelURBase {
public:
    CKelURBase();
    ~CKelURBase();

    CKelURBase(const CKelURBase&) = delete;
    CKelURBase& operator=(const CKelURBase&) = delete;

    // Takes ownership of pCmd in every case. Drops (destroys) the redo tail first, then appends
    // the command as the newest done step. Returns 0 for a null command, and also when called
    // from inside a running Undo/Redo: the command is then destroyed, since appending would
    // destroy the command that is running.
    int AddCommand(CKelURCmd* pCmd);

    // Undo or redo up to nSteps steps, newest first for undo, oldest first for redo. Asking for
    // more steps than exist does as many as there are. Returns 1 when every step performed
    // succeeded, 0 as soon as one command fails: that command and everything beyond it stay as
    // they were (the caller is expected to clear the history then).
    int Undo(int nSteps = 1);
    int Redo(int nSteps = 1);

    // Destroys every command.
    void ClearHistory();
    // Replaces the history with `commands` (oldest first), of which the first nDone are done,
    // without running any of them: a history recovered after a crash. False, changing nothing,
    // inside a running Undo/Redo or when nDone is out of range.
    bool RestoreSteps(std::vector<std::unique_ptr<CKelURCmd>> commands, int nDone);

    // Total steps, done and undone.
    int GetStepCount() const { return static_cast<int>(m_commands.size()); }
    // Steps that can be undone; also the number of the current step (0: before the first).
    int GetUndoStepCount() const { return m_nDone; }
    int GetRedoStepCount() const { return GetStepCount() - m_nDone; }
    // Index of the newest done step, -1 when none is done.
    int GetCurrentStep() const { return m_nDone - 1; }

    // The command at a step (0 = oldest), or null out of range. The history keeps ownership.
    CKelURCmd* GetCommand(int nStep) const;
    // The texts a history panel lists, oldest first.
    std::vector<CString> GetStepNames() const;
    // What every command keeps, in bytes (GetHeldBytes).
    std::size_t GetHeldBytes() const;

private:
    std::vector<std::unique_ptr<CKelURCmd>> m_commands;
    int m_nDone = 0;
    bool m_bRunning = false; // inside a command's Undo/Redo
};

// A fresh, not yet used name for a snapshot: the key under which the snapshot store of this
// process (host/undo/ur_snapshot_store.h) keeps it. The store lies in a folder private to the
// process (created on first use, accessible to the owner only) that goes when the process ends.
// Returns an empty string when no store can be had.
CString KelGetUniqueURFileName();
