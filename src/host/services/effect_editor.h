// The host's effect editor for one phase (In, Stay or Out) of a scene piece.
#pragma once

#include "platform/geometry.h"

class CWnd;
class CKelPlayBaseObj;
class CKelIOWaitObj;
class CKelIOSoftEffectBaseObj;
class CKelObList;

// Controls of the editor's dialog, for scripts that answer it.
inline constexpr int KEL_EFFECT_EDIT_NAME = 1001;      // combo box of effect names
inline constexpr int KEL_EFFECT_EDIT_DURATION = 1002;  // play duration in frames
inline constexpr int KEL_EFFECT_EDIT_DIRECTION = 1003; // combo box: left, right, top, bottom
inline constexpr int KEL_EFFECT_EDIT_WAIT = 1004;      // fields to wait before the phase

// Shows the editor modally for the effect of phase `ioState` (0 In, 1 Stay, 2 Out); only that
// phase's wait object and effect need to be given. Returns non-zero when the user changed the
// effect (it is then changed in place), 0 when cancelled, unchanged or refused.
int KelIOSoftEditEffectObj(CKelPlayBaseObj* piece, CRect pieceRect, int ioState,
                           CKelIOWaitObj* waitIn, CKelIOWaitObj* waitStay, CKelIOWaitObj* waitOut,
                           CKelIOSoftEffectBaseObj* effectIn, CKelIOSoftEffectBaseObj* effectStay,
                           CKelIOSoftEffectBaseObj* effectOut, int mixMode,
                           CKelObList* pieceObjects, CWnd* parent);
