// The module's instance handle: the key under which its resources are registered with the
// host's resource service while the module is loaded.
#pragma once

#include "platform/win_types.h"

namespace kel::sbedit {

HINSTANCE ModuleInstance();

} // namespace kel::sbedit
