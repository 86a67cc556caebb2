// The host's tool boxes (panels) by kind: 3 the history panel, 4 the storyboard navigator.
#pragma once

class CWnd;

inline constexpr int KEL_TOOLBOX_HISTORY = 3;
inline constexpr int KEL_TOOLBOX_SB_NAVIGATOR = 4;

// The host registers its panels as it creates them; null removes the entry. The panels stay
// owned by the host.
void KelToolRegisterToolBox(int kind, CWnd* panel);
// Null when no panel of that kind is registered or its window no longer exists.
CWnd* KelToolGetToolBox(int kind);
