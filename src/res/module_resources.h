// The editor module's resource section: what the module registers with the host's resource
// service under its instance handle.
#pragma once

#include "platform/resource_types.h"

namespace kel::res {

// Built on first use (thread-safe) and kept for the life of the process.
const ModuleResources& KelSBEditResources();

} // namespace kel::res
