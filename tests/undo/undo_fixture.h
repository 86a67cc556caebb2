// The editor on the sample scene, with what every undo/redo test needs: the scene's saved bytes
// (so that "as before" means byte for byte), the consistency check, registration as an editing
// operation does it, and undo and redo as the history panel asks for them.
//
// Storyboard "News" of the sample, containers by index:
//   0 [Headline In 0-10]  1 [Headline Stay 10-85]  2 [Headline Out 85-95]      (track 0)
//   3 [Logo In 100-112, Logo Stay 112-212]                                      (track 0)
//   4 [Opening 0-125]  5 [Ticker 150-350]                                       (track 1, locked)
//   6 [Lower Third In 20-28, Lower Third Out 60-68]                             (track 2)
//   7 [Stay 30-80 of a piece the scene lacks]                                   (track 3)
//   8 [Lower Third Stay 140-190, Lower Third Out 190-198]                       (track 4)
#pragma once

#include "edit/edit_change.h"
#include "module/editor_fixture.h"
#include "undo/sbedit_ur_cmd.h"
#include "undo/ur_register.h"

#include "host/sbobject/sb_body.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"
#include "host/sbobject/sb_edit.h"
#include "host/scene/scene_file.h"
#include "platform/file.h"
#include "res/resource.h"

#include <functional>
#include <string>
#include <vector>

namespace kel::test {

class UndoTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        ExpectConsistent("the sample");
    }

    // Set by tests that build a storyboard whose materials overlap, as files may hold them.
    bool overlapsAllowed = false;

    CKelSBBodyObj& Body() const { return *scene->GetSBEditObj()->GetCurSBBodyObj(); }
    CKelURBase& History() const { return *Body().GetURBase(); }
    CKelSBContainerObj* Container(int nIndex) const { return Body().GetContainerObj(nIndex); }
    CKelSBContentBaseObj* Content(int nContainer, int nContent) const {
        return Container(nContainer)->GetContentObj(nContent);
    }

    // The scene as a scene file stores it.
    std::vector<BYTE> Bytes() const {
        CMemFile file;
        EXPECT_EQ(KelWriteScene(*scene, &file).nResult, KEL_SCENE_OK);
        return file.GetBuffer();
    }

    // Where two saves differ, for a failure message.
    static std::string Difference(const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
        std::size_t i = 0;
        while (i < a.size() && i < b.size() && a[i] == b[i])
            ++i;
        return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size()) +
               ", first difference at byte " + std::to_string(i);
    }

    void ExpectConsistent(const std::string& step) const {
        const std::vector<std::string> problems = view->CheckConsistency(!overlapsAllowed);
        std::string all;
        for (const std::string& problem : problems)
            all += "\n  " + problem;
        EXPECT_TRUE(problems.empty()) << "after " << step << ":" << all;
    }

    // Registers as an editing operation does. The first execution (Do, which is Redo(1)) must
    // change nothing, and so must Redo(1) called again.
    template <class Cmd>
    Cmd* Register(std::unique_ptr<Cmd> pCmd) {
        Cmd* pRaw = pCmd.get();
        const std::vector<BYTE> done = Bytes();
        const int nDone = History().GetUndoStepCount();
        EXPECT_EQ(KelSBRegisterCommand(view, std::move(pCmd)), 1);
        EXPECT_EQ(History().GetUndoStepCount(), nDone + 1);
        EXPECT_EQ(History().GetRedoStepCount(), 0);
        EXPECT_EQ(Bytes(), done) << "the first execution changed the storyboard";
        EXPECT_EQ(pRaw->Redo(1), 1);
        EXPECT_EQ(Bytes(), done) << "Redo(1) changed the storyboard";
        ExpectConsistent("registering");
        return pRaw;
    }

    // The step the last operation registered, as its own class.
    template <class Cmd>
    Cmd* LastStep() const {
        return dynamic_cast<Cmd*>(History().GetCommand(History().GetCurrentStep()));
    }

    // One step back or forward as the history panel asks for it; a failed step would clear
    // the history.
    void Undo() {
        const int nSteps = History().GetStepCount();
        dlg->UndoRedoSteps(TRUE, 1);
        EXPECT_EQ(History().GetStepCount(), nSteps) << "the undo failed";
    }
    void Redo() {
        const int nSteps = History().GetStepCount();
        dlg->UndoRedoSteps(FALSE, 1);
        EXPECT_EQ(History().GetStepCount(), nSteps) << "the redo failed";
    }

    // The change has been made and registered: undo equals `before`, redo equals what the
    // change left, twice over, the check after every step. `check` looks at the changed state
    // (after the change and after every redo).
    void ExpectRoundTrip(const std::vector<BYTE>& before, const std::function<void()>& check = {}) {
        ExpectConsistent("the change");
        const std::vector<BYTE> after = Bytes();
        EXPECT_NE(after, before) << "the change changed nothing";
        auto same = [](const std::vector<BYTE>& a, const std::vector<BYTE>& b) {
            return a == b ? ::testing::AssertionSuccess()
                          : ::testing::AssertionFailure() << Difference(a, b);
        };
        if (check)
            check();
        for (int round = 1; round <= 2; ++round) {
            const std::string n = std::to_string(round);
            Undo();
            EXPECT_TRUE(same(Bytes(), before)) << "undo " << n << " did not restore the storyboard";
            ExpectConsistent("undo " + n);
            Redo();
            EXPECT_TRUE(same(Bytes(), after)) << "redo " << n << " did not make the change again";
            ExpectConsistent("redo " + n);
            if (check)
                check();
        }
    }

    // The steps since nSteps, undone and redone `rounds` times: the bytes before and after them.
    void ExpectStepsRoundTrip(const std::vector<BYTE>& before, int nSteps, int rounds = 2) {
        const std::vector<BYTE> after = Bytes();
        const int nNew = History().GetStepCount() - nSteps;
        for (int round = 0; round < rounds; ++round) {
            for (int i = 0; i < nNew; ++i)
                Undo();
            EXPECT_TRUE(Bytes() == before)
                << "round " << round << ": " << Difference(Bytes(), before);
            ExpectConsistent("undo");
            for (int i = 0; i < nNew; ++i)
                Redo();
            EXPECT_TRUE(Bytes() == after)
                << "round " << round << ": " << Difference(Bytes(), after);
            ExpectConsistent("redo");
        }
    }

    // Selects containers in the given order and makes a material current, as clicks would.
    void Select(const std::vector<int>& containers, CKelSBContentBaseObj* pCurrent = nullptr) {
        view->Selection().GetSelContainerList().RemoveAll();
        for (int c : containers)
            view->Selection().GetSelContainerList().AddTail(Container(c));
        view->Selection().SetCurContent(pCurrent);
    }

    // Appends a container with these materials, as the operations add them; the track lists
    // are left to rebuild.
    CKelSBContainerObj* Append(std::vector<CKelSBContentBaseObj*> contents) {
        auto pContainer = std::make_unique<CKelSBContainerObj>();
        for (CKelSBContentBaseObj* p : contents)
            pContainer->AddContent(p);
        CKelSBContainerObj* pRaw = pContainer.get();
        kel::edit::InsertContainerAt(Body(), Body().GetContainerCount(), std::move(pContainer));
        return pRaw;
    }

    // A new In, Stay or Out material of a sample piece, not yet in the storyboard.
    template <class T>
    T* NewPhase(unsigned nPiece, int nTrack, DWORD dwIn, DWORD dwOut) const {
        auto* p = new T;
        EXPECT_TRUE(p->Init(static_cast<WORD>(nTrack), KelSampleGUID(nPiece), dwIn, dwOut,
                            scene->FindPieceByGUID(KelSampleGUID(nPiece))));
        return p;
    }
};

} // namespace kel::test
