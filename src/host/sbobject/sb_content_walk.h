// Walking every material of a storyboard, for the storyboard's own files.
#pragma once

#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"

namespace kel::host {

// Every material of the storyboard, container by container.
template <class Fn>
inline void ForEachContent(const CKelObList& containers, Fn&& fn) {
    for (POSITION pos = containers.GetHeadPosition(); pos != nullptr;) {
        auto* pContainer = DYNAMIC_DOWNCAST(CKelSBContainerObj, containers.GetNext(pos));
        if (pContainer == nullptr)
            continue;
        const CKelObList& contents = pContainer->GetContentList();
        for (POSITION p = contents.GetHeadPosition(); p != nullptr;) {
            if (auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(p)))
                fn(*pContent);
        }
    }
}

} // namespace kel::host
