// The editor on the sample scene (see undo_fixture.h for its containers) at one frame a pixel
// (view/view_input_fixture.h). Editing tests run an operation as the user starts it and check what
// every operation owes: one step and the document marked modified when something changed,
// nothing at all otherwise, locked tracks untouched, and undo and redo byte for byte.
#pragma once

#include "undo/undo_fixture.h"
#include "view/view_input_fixture.h"

#include "platform/headless_backend.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kel::test {

class EditTest : public ViewInputFixture<UndoTest> {
protected:
    using ViewInputFixture<UndoTest>::Content;

    // (story in, story out) of every material on the locked tracks, in container order.
    std::vector<std::pair<DWORD, DWORD>> LockedMaterials() const {
        std::vector<std::pair<DWORD, DWORD>> times;
        for (int c = 0; c < Body().GetContainerCount(); ++c) {
            for (INT_PTR m = 0; m < Container(c)->GetContentCount(); ++m) {
                const CKelSBContentBaseObj* p = Content(c, static_cast<int>(m));
                if (Body().GetTrackObj(p->GetTrackIndex())->IsLocked())
                    times.emplace_back(p->GetStoryIn(), p->GetStoryOut());
            }
        }
        return times;
    }

    std::size_t DirtyMarks() const { return mainWnd.Named(WM_CG_FILE_SETDIRTY_FLAG).size(); }
    CString NewestStepName() const {
        const std::vector<CString> names = History().GetStepNames();
        return names.empty() ? CString() : names.back();
    }

    // The operation changes the storyboard: it returns 1, adds one step named `title`, marks
    // the document modified, leaves the locked tracks alone and is consistent; then undo and
    // redo, twice, give back the bytes before and after it (`check` looks at the changed state).
    void ExpectOneStep(const std::function<int()>& operation, const char* title,
                       const std::function<void()>& check = {}) {
        const std::vector<BYTE> before = Bytes();
        const auto locked = LockedMaterials();
        const int nSteps = History().GetStepCount();
        const std::size_t nMarks = DirtyMarks();
        EXPECT_EQ(operation(), 1);
        EXPECT_EQ(History().GetStepCount(), nSteps + 1);
        EXPECT_EQ(NewestStepName(), CString(title));
        EXPECT_GT(DirtyMarks(), nMarks) << "the host was not told that its document changed";
        EXPECT_EQ(LockedMaterials(), locked);
        ExpectConsistent(title);
        ExpectRoundTrip(before, check);
    }

    // The operation changes nothing: it returns 0, adds no step, marks nothing modified.
    void ExpectNoChange(const std::function<int()>& operation, const std::string& why) {
        SCOPED_TRACE(why);
        const std::vector<BYTE> before = Bytes();
        const int nSteps = History().GetStepCount();
        const std::size_t nMarks = DirtyMarks();
        EXPECT_EQ(operation(), 0);
        EXPECT_EQ(Bytes(), before);
        EXPECT_EQ(History().GetStepCount(), nSteps);
        EXPECT_EQ(DirtyMarks(), nMarks);
        ExpectConsistent(why);
    }

    // The texts of the message boxes shown so far, and a text of the module's string table.
    std::vector<CString> BoxTexts() const {
        std::vector<CString> texts;
        for (const auto& box : headless->MessageBoxes())
            texts.push_back(box.text);
        return texts;
    }
    static CString Text(UINT nId) { return KelSBLoadHistoryText(nId); }
};

} // namespace kel::test
