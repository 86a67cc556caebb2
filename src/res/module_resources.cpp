#include "res/module_resources.h"

#include "res/builders.h"

#include <cstdio>
#include <cstdlib>

namespace kel::res {

namespace detail {

void Fail(const std::string& what) {
    std::fprintf(stderr, "KelSBEdit resources are broken: %s\n", what.c_str());
    std::abort();
}

} // namespace detail

namespace {

ModuleResources Build() {
    ModuleResources res;
    detail::AddStrings(res);
    detail::AddMenus(res);
    detail::AddDialogs(res);
    detail::AddBitmaps(res);
    detail::AddCursors(res);
    return res;
}

} // namespace

const ModuleResources& KelSBEditResources() {
    static const ModuleResources resources = Build();
    return resources;
}

} // namespace kel::res
