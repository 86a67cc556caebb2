#include "host/sbobject/content_icons.h"

#include "host/base/kel_item.h"
#include "host/sbobject/sb_container.h"
#include "host/sbobject/sb_content.h"

const CKelItemBaseObj* CKelContentIconMaker::Find(const KelGUID& guid) {
    if (!m_bIndexed) {
        m_bIndexed = true;
        for (POSITION pos = m_pPieces ? m_pPieces->GetHeadPosition() : nullptr; pos != nullptr;) {
            if (auto* pPiece = DYNAMIC_DOWNCAST(CKelItemBaseObj, m_pPieces->GetNext(pos)))
                m_pieces.try_emplace(pPiece->GetGUID(), pPiece);
        }
    }
    const auto it = m_pieces.find(guid);
    return it != m_pieces.end() ? it->second : nullptr;
}

const std::shared_ptr<const CKelMemBlock>&
CKelContentIconMaker::IconOf(const CKelItemBaseObj& piece) {
    auto [it, fresh] = m_made.try_emplace(&piece);
    if (fresh) {
        auto icon = std::make_shared<CKelMemBlock>();
        if (piece.MakeThumbnail(*icon) && !icon->IsEmpty())
            it->second = std::move(icon);
    }
    return it->second;
}

void CKelContentIconMaker::MakeFor(CObList& contents) {
    for (POSITION pos = contents.GetHeadPosition(); pos != nullptr;) {
        auto* pContent = DYNAMIC_DOWNCAST(CKelSBContentBaseObj, contents.GetNext(pos));
        if (pContent == nullptr)
            continue;
        const CKelItemBaseObj* pPiece = Find(pContent->GetGUID());
        if (pPiece == nullptr)
            pPiece = pContent->GetAttachedPiece();
        if (pPiece == nullptr)
            continue;
        if (const auto& icon = IconOf(*pPiece))
            pContent->ShareIcon(icon);
    }
}

void CKelContentIconMaker::MakeFor(CKelSBContainerObj& container) {
    MakeFor(container.GetContentList());
}
