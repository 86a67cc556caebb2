// The parts from which KelSBEditResources() assembles the module's resources.
#pragma once

#include "platform/resource_types.h"

#include <span>
#include <string>

namespace kel::res::detail {

// A defect in the compiled-in resource data: reported on stderr, then the process stops. The
// data is fixed at build time and checked by the tests, so this only fires in a broken build;
// carrying on with a half-built resource table would fail later and far less clearly.
[[noreturn]] void Fail(const std::string& what);

// A picture in text form (see pixel_art.h) with the resource id it becomes.
struct ArtSource {
    UINT id;
    const char* rows;
};

// The button glyphs, one per button bitmap (edit dialog and timeline view tool buttons).
std::span<const ArtSource> ButtonGlyphs();

void AddStrings(ModuleResources& res);
void AddMenus(ModuleResources& res); // uses the strings for the item texts
void AddDialogs(ModuleResources& res);
void AddBitmaps(ModuleResources& res);
void AddCursors(ModuleResources& res);

} // namespace kel::res::detail
