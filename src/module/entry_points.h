// The module's exported functions: the only symbols a host finds in libKelSBEdit.so. A host
// calls them in this order: open, create the dialog, hand it the item-edit window, hand it the
// scene whenever that changes, and finally clear the history and close.
#pragma once

#define KELSB_EXPORT __attribute__((visibility("default")))

class CWnd;
class CKelPlaySceneObj;

// Makes the editor instance (no window yet). An instance that exists already is closed first.
KELSB_EXPORT int KelSBEditOpen();
// Creates the dialog window under pParent (destroying an existing one first). Returns the
// instance, or null without an instance or when the creation failed.
KELSB_EXPORT CWnd* KelSBEditCreateDlg(CWnd* pParent);
// The host window that answers which scene is current.
KELSB_EXPORT void KelSBSetItemEditWnd(CWnd* pWnd);
// Hands the current scene (may be null) to the timeline view; ignored without a dialog window.
KELSB_EXPORT void KelSBSetCurScene(CKelPlaySceneObj* pScene);
// The instance (null before opening and after closing).
KELSB_EXPORT CWnd* KelSBEditGetDlg();
// Clears the undo/redo history of the view's scene. 0 without instance, view or scene.
KELSB_EXPORT int KelSBEditUndoRedoClose();
// Destroys the window and the instance. Always 1.
KELSB_EXPORT int KelSBEditClose();
