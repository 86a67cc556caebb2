// Cursors. A cursor handle points at a CursorHandle that says where it came from: a standard
// cursor (IDC_ARROW, IDC_WAIT, ...) or a module's cursor resource, with its picture. Handles
// live for the whole process, so one kept in a window class or a member never dangles.
#pragma once

#include "platform/cstring.h"
#include "platform/resource_types.h"
#include "platform/win_consts.h"
#include "platform/win_types.h"

struct CursorHandle {
    UINT standardId = 0; // 32512 (IDC_ARROW), 32514 (IDC_WAIT), ...; 0 for resource cursors
    UINT resourceId = 0; // the cursor resource id; 0 for standard cursors
    CursorData data;     // the picture of a resource cursor
    CString name;        // "arrow", "wait", ... or "resource 200", for logs and the runner
};

// A standard cursor with a null instance; null otherwise (module cursors come from the host's
// resource service, which calls kel::platform::CursorFromResource).
HCURSOR LoadCursor(HINSTANCE instance, LPCTSTR name);
// Shows `cursor` (null hides it) and returns the one shown before.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();

// The hour-glass around long operations. Calls nest; the last end shows again the cursor that
// was shown before the first begin.
void BeginWaitCursor();
void EndWaitCursor();
// Shows the hour-glass again while a wait is running (after a message box changed it).
void RestoreWaitCursor();

class CWaitCursor {
public:
    CWaitCursor() { BeginWaitCursor(); }
    ~CWaitCursor() { EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() { RestoreWaitCursor(); }
};

namespace kel::platform {

// The handle of a module's cursor resource. The same id with the same picture always gives the
// same handle, so loading a cursor on every WM_SETCURSOR costs nothing.
HCURSOR CursorFromResource(const CursorData& data, UINT resourceId);
// How deep the wait cursor is nested; 0 when no wait runs. A window's default cursor handling
// keeps the hour-glass while this is not 0.
int WaitCursorDepth();

} // namespace kel::platform
