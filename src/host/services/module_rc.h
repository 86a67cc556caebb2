// The resource service: every module registers its resource section under its instance handle,
// and the host and the module load strings, menus, bitmaps, cursors and dialog templates through
// it. Unknown handles and ids are refusals, never crashes. Texts, menus and dialog templates come
// in the user interface's language; a module without it, or without that entry in it, answers
// in English.
#pragma once

#include "platform/backend.h"
#include "platform/cstring.h"
#include "platform/resource_types.h"
#include "platform/win_types.h"

class CWnd;
class CMenu;
class CBitmap;
class CToolTipCtrl;

class CKelModuleRC {
public:
    // The resources stay owned by the module and must outlive the registration. Registering a
    // handle again replaces its resources and drops its cached cursors. Null arguments: 0.
    static int RegisterModule(HINSTANCE module, const ModuleResources* resources);
    static int UnregisterModule(HINSTANCE module);
    static bool IsModuleRegistered(HINSTANCE module);

    // 1033, 2052 or 1028: taken from the environment on first use (see ui_language.h) unless a
    // host set it before. Setting a language other than those three sets English.
    static LANGID GetLanguage();
    static void SetLanguage(LANGID language);

    // Empty text when the module or the string is unknown.
    static CString LoadStringW(HINSTANCE module, UINT id);
    static int LoadStringW(HINSTANCE module, UINT id, CString& text);
    // Builds the menu from the module's template into `menu` (which must hold no menu yet).
    static int LoadMenuW(HINSTANCE module, UINT id, CMenu& menu);
    static int LoadBitmapW(HINSTANCE module, UINT id, CBitmap& bitmap);
    // Cursors are made once per module and id, and live until the module is unregistered.
    static HCURSOR LoadCursorW(HINSTANCE module, UINT id);

    // Raw templates for the framework's dialog creation and for the skinned controls.
    static const DialogTemplate* FindDialogTemplate(HINSTANCE module, UINT id);
    static const MenuTemplate* FindMenuTemplate(HINSTANCE module, UINT id);
    static const ImageData* FindBitmapImage(HINSTANCE module, UINT id);

    // A message box with a string of the module under the host's caption; the answer (IDYES,
    // IDNO, ...) is the backend's. Returns 0 when the text cannot be loaded: nothing is shown.
    static int MessageBoxW(HINSTANCE module, UINT textId, UINT style, CWnd* owner = nullptr);
    static CString GetHostCaption();

    // Gives `control` its tip, the module's string `stringId`, in `tips`.
    static int AddTips(HINSTANCE module, CToolTipCtrl& tips, CWnd* control, UINT stringId);
};
