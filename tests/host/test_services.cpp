#include "host_test_module.h"

#include "host/base/kel_memblock.h"
#include "host/effects/io_effect.h"
#include "host/effects/io_wait.h"
#include "host/scene/play_piece.h"
#include "host/services/drag_data.h"
#include "host/services/effect_editor.h"
#include "host/services/live_output.h"
#include "host/services/public_helpers.h"
#include "host/services/tool_box.h"
#include "host/services/video_std.h"
#include "platform/controls.h"
#include "platform/cursor.h"
#include "platform/gdi.h"
#include "platform/headless_backend.h"
#include "platform/menu.h"
#include "platform/ole.h"
#include "platform/recording_dc.h"
#include "platform/temp_folder.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <vector>

using namespace hosttest;
using kel::platform::ResetHeadless;

namespace {

class VideoStdTest : public ::testing::Test {
protected:
    void TearDown() override {
        CKelVideoStd::SetFrameRate(25.0);
        CKelVideoStd::SetResRect(CRect(0, 0, 1920, 1080));
    }
};

TEST_F(VideoStdTest, TimecodeCarriesIntoHoursWithoutWrappingAndCountsOnTheNominalBase) {
    const struct {
        double rate;
        DWORD frame;
        const char* timecode;
    } cases[] = {
        {25.0, 0, "00:00:00:00"},       {25.0, 24, "00:00:00:24"},
        {25.0, 25, "00:00:01:00"},      {25.0, 89999, "00:59:59:24"},
        {25.0, 90000, "01:00:00:00"},   {25.0, 2160000, "24:00:00:00"}, // a full day
        {29.97, 29, "00:00:00:29"},     {29.97, 30, "00:00:01:00"},
        {29.97, 107999, "00:59:59:29"}, {29.97, 108000, "01:00:00:00"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(CKelVideoStd::SetFrameRate(c.rate), 1);
        EXPECT_EQ(CKelVideoStd::FrameToTCStr(c.frame), c.timecode) << c.rate;
    }
    EXPECT_DOUBLE_EQ(CKelVideoStd::GetFrameRate(), 29.97);
    ASSERT_EQ(CKelVideoStd::SetFrameRate(25.0), 1);
    int h = -1, m = -1, s = -1, f = -1;
    CKelVideoStd::FrameToTC(1525, h, m, s, f);
    EXPECT_EQ((std::array{h, m, s, f}), (std::array{0, 1, 1, 0}));
}

TEST_F(VideoStdTest, RefusesRatesAndRastersThatCannotCountFrames) {
    for (double bad : {0.0, -25.0, 0.4, std::nan(""), HUGE_VAL, 5000.0})
        EXPECT_EQ(CKelVideoStd::SetFrameRate(bad), 0) << bad;
    EXPECT_DOUBLE_EQ(CKelVideoStd::GetFrameRate(), 25.0);
    EXPECT_EQ(CKelVideoStd::SetResRect(CRect(0, 0, 0, 1080)), 0);
    EXPECT_EQ(CKelVideoStd::GetResRect(), CRect(0, 0, 1920, 1080));
}

TEST(ModuleResourcesTest, LooksUpByInstanceHandleAndRefusesWhatIsUnknown) {
    ResetHeadless();
    ScopedModule module;
    ModuleResources otherResources;
    otherResources.strings[kStrGreeting] = "Other";
    int otherHandle = 0;
    CKelModuleRC::RegisterModule(&otherHandle, &otherResources);

    EXPECT_EQ(CKelModuleRC::LoadStringW(module.Handle(), kStrGreeting), "Are You Sure?");
    EXPECT_EQ(CKelModuleRC::LoadStringW(&otherHandle, kStrGreeting), "Other");
    CString text = "stale";
    EXPECT_EQ(CKelModuleRC::LoadStringW(module.Handle(), 9999, text), 0);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(CKelModuleRC::LoadStringW(nullptr, kStrGreeting, text), 0);

    CMenu menu;
    ASSERT_EQ(CKelModuleRC::LoadMenuW(module.Handle(), kMenuZoom, menu), 1);
    ASSERT_NE(menu.GetSubMenu(0), nullptr);
    EXPECT_EQ(menu.GetSubMenu(0)->GetMenuItemCount(), 4);
    EXPECT_EQ(CKelModuleRC::LoadMenuW(module.Handle(), kMenuZoom, menu), 0); // already loaded
    CMenu none;
    EXPECT_EQ(CKelModuleRC::LoadMenuW(&otherHandle, kMenuZoom, none), 0);

    CBitmap bitmap;
    ASSERT_EQ(CKelModuleRC::LoadBitmapW(module.Handle(), kBmpStrip, bitmap), 1);
    EXPECT_EQ(bitmap.GetSize(), CSize(64, 16));
    EXPECT_EQ(bitmap.GetTag(), kBmpStrip);
    EXPECT_EQ(CKelModuleRC::LoadBitmapW(module.Handle(), 9999, bitmap), 0);

    HCURSOR edge = CKelModuleRC::LoadCursorW(module.Handle(), kCursorEdge);
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(CKelModuleRC::LoadCursorW(module.Handle(), kCursorEdge), edge);
    EXPECT_NE(CKelModuleRC::LoadCursorW(module.Handle(), kCursorOther), edge);
    EXPECT_EQ(edge->resourceId, kCursorEdge);
    EXPECT_EQ(CKelModuleRC::LoadCursorW(&otherHandle, kCursorEdge), nullptr);

    EXPECT_NE(CKelModuleRC::FindDialogTemplate(module.Handle(), kDlgMain), nullptr);
    CKelModuleRC::UnregisterModule(&otherHandle);
    EXPECT_EQ(CKelModuleRC::LoadStringW(&otherHandle, kStrGreeting), "");
}

TEST(ModuleResourcesTest, MessageBoxesGoThroughTheBackendWithTheModulesText) {
    auto& headless = ResetHeadless();
    ScopedModule module;
    headless.QueueMessageBoxAnswer(IDYES);
    EXPECT_EQ(CKelModuleRC::MessageBoxW(module.Handle(), kStrGreeting, MB_YESNO | MB_ICONQUESTION),
              IDYES);
    // Nothing queued: a box with a No button answers No.
    EXPECT_EQ(CKelModuleRC::MessageBoxW(module.Handle(), kStrGreeting, MB_YESNO), IDNO);
    ASSERT_EQ(headless.MessageBoxes().size(), 2u);
    EXPECT_EQ(headless.MessageBoxes()[0].text, "Are You Sure?");
    EXPECT_EQ(headless.MessageBoxes()[0].caption, CKelModuleRC::GetHostCaption());
    EXPECT_EQ(headless.MessageBoxes()[0].type, MB_YESNO | MB_ICONQUESTION);

    // A text that cannot be loaded shows nothing rather than an empty box.
    EXPECT_EQ(CKelModuleRC::MessageBoxW(module.Handle(), 9999, MB_OK), 0);
    EXPECT_EQ(CKelModuleRC::MessageBoxW(nullptr, kStrGreeting, MB_OK), 0);
    EXPECT_EQ(headless.MessageBoxes().size(), 2u);
}

TEST(ModuleResourcesTest, TipsCarryTheModulesString) {
    ResetHeadless();
    ScopedModule module;
    RecorderWnd owner;
    ASSERT_TRUE(owner.CreateTop());
    CButton button;
    ASSERT_TRUE(button.Create("b", WS_CHILD | WS_VISIBLE, CRect(0, 0, 20, 20), &owner, 7));
    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(&owner));
    EXPECT_EQ(CKelModuleRC::AddTips(module.Handle(), tips, &button, kStrTip), 1);
    ASSERT_NE(tips.FindTool(&button), nullptr);
    EXPECT_EQ(tips.FindTool(&button)->text, "Storyboard Operation");
    EXPECT_EQ(CKelModuleRC::AddTips(module.Handle(), tips, &button, 9999), 0);
    EXPECT_EQ(CKelModuleRC::AddTips(module.Handle(), tips, nullptr, kStrTip), 0);
}

TEST(ToolBoxTest, PanelsAreFoundByKindWhileTheirWindowsExist) {
    ResetHeadless();
    RecorderWnd history, navigator;
    ASSERT_TRUE(history.CreateTop());
    ASSERT_TRUE(navigator.CreateTop());
    KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, &history);
    KelToolRegisterToolBox(KEL_TOOLBOX_SB_NAVIGATOR, &navigator);
    EXPECT_EQ(KelToolGetToolBox(3), &history);
    EXPECT_EQ(KelToolGetToolBox(4), &navigator);
    EXPECT_EQ(KelToolGetToolBox(5), nullptr);
    // Closed without unregistering: never handed out again.
    navigator.DestroyWindow();
    EXPECT_EQ(KelToolGetToolBox(4), nullptr);
    KelToolRegisterToolBox(KEL_TOOLBOX_HISTORY, nullptr);
    KelToolRegisterToolBox(KEL_TOOLBOX_SB_NAVIGATOR, nullptr);
    EXPECT_EQ(KelToolGetToolBox(3), nullptr);
    EXPECT_EQ(KelToolGetToolBox(4), nullptr);
}

// A drop target that reads the drag data the way the editor's view does.
class ReadingTarget : public COleDropTarget {
public:
    CString format;
    const void* data = nullptr;
    std::size_t size = 0;
    int drops = 0;
    DROPEFFECT OnDragEnter(CWnd*, COleDataObject*, DWORD, CPoint) override {
        return DROPEFFECT_MOVE;
    }
    DROPEFFECT OnDragOver(CWnd*, COleDataObject*, DWORD, CPoint) override {
        return DROPEFFECT_MOVE;
    }
    BOOL OnDrop(CWnd*, COleDataObject* object, DROPEFFECT, CPoint) override {
        ++drops;
        return CKelDDPieceData::GetData(object, format, data, &size);
    }
};

TEST(DragDataTest, ScriptedDragDeliversFormatAndBlockToTheTarget) {
    auto& headless = ResetHeadless();
    RecorderWnd window;
    ASSERT_TRUE(window.CreateTop(CRect(100, 100, 400, 300)));
    ReadingTarget target;
    ASSERT_TRUE(target.Register(&window));

    struct Payload {
        int materials = 3;
    } payload;
    CKelOleDataSource* source =
        CKelDDPieceData::CreateKelDataSource("MOVE_OBJECT_DATA", &payload, sizeof payload);
    ASSERT_NE(source, nullptr);
    headless.QueueDrag({{CPoint(150, 150), CPoint(200, 200)}, true, 0});
    CKelOleDropSource dropSource(DROPEFFECT_MOVE);
    EXPECT_EQ(source->DoDragDrop(DROPEFFECT_MOVE, nullptr, &dropSource), DROPEFFECT_MOVE);
    EXPECT_EQ(target.format, "MOVE_OBJECT_DATA");
    EXPECT_EQ(target.data, &payload);
    EXPECT_EQ(target.size, sizeof payload);

    // Cancelled: no drop, no effect.
    headless.QueueDrag({{CPoint(150, 150)}, false, 0});
    EXPECT_EQ(source->DoDragDrop(DROPEFFECT_MOVE), DROPEFFECT_NONE);
    EXPECT_EQ(target.drops, 1);
    source->Release();

    EXPECT_EQ(CKelDDPieceData::CreateKelDataSource("", &payload), nullptr);
    CString format = "x";
    const void* data = &payload;
    EXPECT_EQ(CKelDDPieceData::GetData(static_cast<const COleDataObject*>(nullptr), format, data),
              0);
    EXPECT_TRUE(format.IsEmpty());
    EXPECT_EQ(data, nullptr);
    target.Revoke();
}

TEST(RubberBandTest, GivesTheNormalisedBandInClientCoordinatesWithinTheLimit) {
    auto& headless = ResetHeadless();
    RecorderWnd view;
    ASSERT_TRUE(view.CreateTop(CRect(100, 100, 500, 400)));
    CKelMultiSelObj band(1);
    headless.QueueRubberBand(CRect(120, 90, 20, 10)); // dragged up and to the left
    EXPECT_EQ(band.DragRect(&view, 0, CPoint(120, 90), CRect(100, 100, 500, 400)),
              CRect(20, 10, 120, 90));
    // The limit cuts the band.
    headless.QueueRubberBand(CRect(10, 10, 350, 50));
    EXPECT_EQ(band.DragRect(&view, 0, CPoint(10, 10), CRect(100, 100, 300, 400)),
              CRect(10, 10, 200, 50));
    EXPECT_TRUE(band.DragRect(&view, 0, CPoint(5, 5), CRect(100, 100, 500, 400)).IsRectEmpty());
    EXPECT_TRUE(band.DragRect(nullptr, 0, CPoint(5, 5), CRect(0, 0, 10, 10)).IsRectEmpty());
}

TEST(LiveOutputTest, BufferFollowsTheRasterAndClearsToTransparent) {
    CKelMemBlock* block = CKelDrvGFB::GetBlockOut();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->GetRect(), CRect(0, 0, 1920, 1080));
    block->Fill(0xFFFFFFFF);
    CKelDrvGFB::ClearScreenLive();
    EXPECT_EQ(block->GetPixel(960, 540), 0u);

    CKelVideoStd::SetResRect(CRect(0, 0, 720, 576));
    EXPECT_EQ(CKelDrvGFB::GetBlockOut()->GetRect(), CRect(0, 0, 720, 576));
    CKelVideoStd::SetResRect(CRect(0, 0, 1920, 1080));

    const long long before = CKelDrvSys::GetFieldCount();
    EXPECT_EQ(CKelDrvSys::WaitField(2, 0), 2);
    EXPECT_EQ(CKelDrvSys::WaitField(-1, 0), 0);
    EXPECT_EQ(CKelDrvSys::GetFieldCount(), before + 2);
}

class EffectEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        headless = &ResetHeadless();
        piece.SetName("Title");
        stay.SetEffectName("Copy");
        stay.SetPlayDuration(25);
        wait.SetWaitFields(0);
    }
    int Edit(int state = 1) {
        return KelIOSoftEditEffectObj(&piece, CRect(0, 0, 100, 50), state, nullptr, &wait, nullptr,
                                      nullptr, &stay, nullptr, 2, nullptr, nullptr);
    }
    static void SetText(CWnd& dialog, int id, const char* text) {
        dialog.GetDlgItem(id)->SetWindowText(text);
    }

    kel::platform::HeadlessBackend* headless = nullptr;
    CKelPlayGroupObj piece;
    CKelIOSoftEffectStayObj stay;
    CKelIOWaitObj wait;
};

TEST_F(EffectEditorTest, AcceptedChangesAreWrittenIntoTheEffect) {
    headless->QueueModal([](CWnd& dialog) {
        EXPECT_NE(dialog.GetWindowText().Find("Stay"), -1);
        auto* names = dynamic_cast<CComboBox*>(dialog.GetDlgItem(KEL_EFFECT_EDIT_NAME));
        EXPECT_NE(names, nullptr);
        if (names)
            names->SetCurSel(names->FindStringExact(-1, "Fade"));
        SetText(dialog, KEL_EFFECT_EDIT_DURATION, "50");
        SetText(dialog, KEL_EFFECT_EDIT_WAIT, "10");
        dialog.SendMessage(WM_COMMAND, IDOK);
        return IDOK;
    });
    EXPECT_EQ(Edit(), 1);
    EXPECT_EQ(stay.GetEffectName(), "Fade");
    EXPECT_EQ(stay.GetPlayDuration(), 50u);
    EXPECT_EQ(wait.GetWaitFields(), 10u);
}

TEST_F(EffectEditorTest, CancelOrNoChangeLeavesTheEffectAndReportsNothingChanged) {
    headless->QueueModal([](CWnd& dialog) {
        SetText(dialog, KEL_EFFECT_EDIT_DURATION, "99");
        dialog.SendMessage(WM_COMMAND, IDCANCEL);
        return IDCANCEL;
    });
    EXPECT_EQ(Edit(), 0);
    headless->QueueModal([](CWnd& dialog) {
        dialog.SendMessage(WM_COMMAND, IDOK);
        return IDOK;
    });
    EXPECT_EQ(Edit(), 0);
    EXPECT_EQ(stay.GetPlayDuration(), 25u);
    EXPECT_EQ(headless->ModalDialogsRun(), 2);
}

TEST_F(EffectEditorTest, RefusesUnreadableValuesAndKeepsTheDialogOpen) {
    headless->QueueModal([](CWnd& dialog) {
        SetText(dialog, KEL_EFFECT_EDIT_DURATION, "12abc");
        dialog.SendMessage(WM_COMMAND, IDOK);
        EXPECT_TRUE(IsWindow(&dialog));
        SetText(dialog, KEL_EFFECT_EDIT_DURATION, "0");
        dialog.SendMessage(WM_COMMAND, IDOK);
        // The script claims OK, but the dialog never accepted a value.
        return IDOK;
    });
    EXPECT_EQ(Edit(), 0);
    EXPECT_EQ(stay.GetPlayDuration(), 25u);
    EXPECT_EQ(headless->MessageBoxes().size(), 2u);
}

TEST_F(EffectEditorTest, WithoutTheEffectOfThePhaseNoEditorOpens) {
    EXPECT_EQ(Edit(0), 0); // only the Stay pair is given
    EXPECT_EQ(Edit(3), 0);
    EXPECT_EQ(KelIOSoftEditEffectObj(nullptr, CRect(), 1, nullptr, &wait, nullptr, nullptr, &stay,
                                     nullptr, 2, nullptr, nullptr),
              0);
    EXPECT_EQ(headless->ModalDialogsRun(), 0);
}

TEST(PublicHelpersTest, MemZoomPicksNearestPixelsBothWays) {
    CKelMemBlock source;
    const DWORD pixels[] = {1, 2, 3, 4};
    ASSERT_EQ(source.Init(2, 2, pixels), 1);
    CKelMemBlock larger;
    larger.Init(4, 4);
    ASSERT_EQ(KelPublicMemZoom(&source, &larger), 1);
    EXPECT_EQ(larger.GetPixel(0, 0), 1u);
    EXPECT_EQ(larger.GetPixel(3, 0), 2u);
    EXPECT_EQ(larger.GetPixel(1, 2), 3u);
    EXPECT_EQ(larger.GetPixel(3, 3), 4u);
    CKelMemBlock smaller;
    smaller.Init(1, 2);
    ASSERT_EQ(KelPublicMemZoom(&larger, &smaller), 1);
    EXPECT_EQ(smaller.GetPixel(0, 0), 2u);
    EXPECT_EQ(smaller.GetPixel(0, 1), 4u);
    CKelMemBlock empty;
    EXPECT_EQ(KelPublicMemZoom(&source, &empty), 0);
    EXPECT_EQ(KelPublicMemZoom(nullptr, &larger), 0);
}

TEST(PublicHelpersTest, DrawBitmapStretchesThePictureOverTheDestination) {
    ResetHeadless();
    ScopedModule module;
    CBitmap bitmap;
    ASSERT_TRUE(CKelModuleRC::LoadBitmapW(module.Handle(), kBmpSingle, bitmap));
    CRecordingDC dc(CRect(0, 0, 100, 100));
    EXPECT_EQ(KelPublicDrawBitmap(&dc, CRect(10, 10, 42, 26), &bitmap, SRCCOPY), 1);
    const auto blits = dc.OperationsNamed("StretchBlt");
    ASSERT_EQ(blits.size(), 1u);
    EXPECT_EQ(blits[0].rect, CRect(10, 10, 42, 26));
    EXPECT_EQ(blits[0].srcRect, CRect(0, 0, 16, 16));
    EXPECT_EQ(blits[0].bitmapTag, kBmpSingle);
    EXPECT_EQ(blits[0].rop, SRCCOPY);

    CKelMemBlock icon;
    icon.Init(8, 4);
    EXPECT_EQ(KelPublicDrawBitmap(&dc, CRect(0, 0, 8, 8), &icon, SRCCOPY), 1);
    EXPECT_EQ(KelPublicDrawBitmap(&dc, CRect(0, 0, 0, 8), &bitmap, SRCCOPY), 0);
    EXPECT_EQ(KelPublicDrawBitmap(&dc, CRect(0, 0, 8, 8), static_cast<CBitmap*>(nullptr), SRCCOPY),
              0);
    EXPECT_EQ(dc.OperationsNamed("StretchBlt").size(), 2u);

    // Each picture is drawn from itself, also after one that lived only for its drawing.
    ImageData wide;
    wide.width = 3;
    wide.height = 1;
    wide.pixels = {0xFF000001, 0xFF000002, 0xFF000003};
    EXPECT_EQ(KelPublicDrawBitmap(&dc, CRect(0, 0, 6, 2), &wide, SRCCOPY), 1);
    EXPECT_EQ(KelPublicDrawBitmap(&dc, CRect(0, 0, 32, 32), &bitmap, SRCCOPY), 1);
    const auto later = dc.OperationsNamed("StretchBlt");
    ASSERT_EQ(later.size(), 4u);
    EXPECT_EQ(later[2].srcRect, CRect(0, 0, 3, 1));
    EXPECT_EQ(later[3].srcRect, CRect(0, 0, 16, 16));
}

// Sees the pixels of every bitmap drawn, at the moment it is drawn.
class PixelSeeingDC : public CRecordingDC {
public:
    PixelSeeingDC() : CRecordingDC(CRect(0, 0, 100, 100)) {}
    std::vector<std::vector<std::uint32_t>> seen;
    std::vector<const CBitmap*> bitmaps;

protected:
    void Render(const kel::platform::DrawRecord& record) override {
        if (record.bitmap) {
            seen.push_back(record.bitmap->GetImage().pixels);
            bitmaps.push_back(record.bitmap);
        }
        CRecordingDC::Render(record);
    }
};

TEST(PublicHelpersTest, ABlockIsDrawnWithItsPixelsAsTheyAreNow) {
    ResetHeadless();
    PixelSeeingDC dc;
    const CRect where(0, 0, 8, 8);
    using Pixels = std::vector<std::uint32_t>;
    const DWORD first[] = {0xFF000001, 0xFF000002};
    CKelMemBlock icon;
    icon.Init(2, 1, first);
    ASSERT_EQ(KelPublicDrawBitmap(&dc, where, &icon, SRCCOPY), 1);
    ASSERT_EQ(KelPublicDrawBitmap(&dc, where, &icon, SRCCOPY), 1);
    EXPECT_EQ(dc.seen.back(), (Pixels{0xFF000001, 0xFF000002}));
    // Unchanged, it is drawn from the same kept bitmap, which the backend knows again.
    EXPECT_EQ(dc.bitmaps[0], dc.bitmaps[1]);

    icon.SetPixel(0, 0, 0xFF000003);
    KelPublicDrawBitmap(&dc, where, &icon, SRCCOPY);
    EXPECT_EQ(dc.seen.back(), (Pixels{0xFF000003, 0xFF000002}));
    icon.GetBits()[1] = 0xFF000004;
    KelPublicDrawBitmap(&dc, where, &icon, SRCCOPY);
    EXPECT_EQ(dc.seen.back(), (Pixels{0xFF000003, 0xFF000004}));

    // A copy has the same picture; changed, it has its own.
    CKelMemBlock copy = icon;
    EXPECT_EQ(copy.GetVersion(), icon.GetVersion());
    copy.Fill(0xFF000005);
    EXPECT_NE(copy.GetVersion(), icon.GetVersion());
    KelPublicDrawBitmap(&dc, where, &icon, SRCCOPY);
    EXPECT_EQ(dc.seen.back(), (Pixels{0xFF000003, 0xFF000004}));

    // Another block made where one was is another picture.
    std::optional<CKelMemBlock> slot;
    const DWORD red[] = {0xFFFF0000};
    const DWORD blue[] = {0xFF0000FF};
    slot.emplace().Init(1, 1, red);
    KelPublicDrawBitmap(&dc, where, &*slot, SRCCOPY);
    slot.reset();
    slot.emplace().Init(1, 1, blue);
    KelPublicDrawBitmap(&dc, where, &*slot, SRCCOPY);
    EXPECT_EQ(dc.seen.back(), (Pixels{0xFF0000FF}));

    // A block moved away from is empty and draws nothing.
    CKelMemBlock moved = std::move(*slot);
    EXPECT_TRUE(slot->IsEmpty());
    EXPECT_EQ(slot->GetWidth(), 0);
    EXPECT_EQ(KelPublicDrawBitmap(&dc, where, &*slot, SRCCOPY), 0);
    KelPublicDrawBitmap(&dc, where, &moved, SRCCOPY);
    EXPECT_EQ(dc.seen.back(), (Pixels{0xFF0000FF}));
}

using PublicFiles = kel::test::TempFolderTest;

TEST_F(PublicFiles, FileExistsOnlyForRegularFiles) {
    Put(Path("present.bin"), "x");
    EXPECT_EQ(KelPublicDoesFileExist(CString(Path("present.bin"))), 1);
    EXPECT_EQ(KelPublicDoesFileExist(CString(m_dir.string())), 0);
    EXPECT_EQ(KelPublicDoesFileExist(CString(Path("missing.bin"))), 0);
    EXPECT_EQ(KelPublicDoesFileExist(""), 0);
}

} // namespace
