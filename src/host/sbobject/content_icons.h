// Materials show the thumbnail of their piece. A storyboard shows a few pieces on many
// materials, which share the piece's icon instead of each making and keeping a copy.
#pragma once

#include "host/base/kel_guid.h"
#include "host/base/kel_memblock.h"

#include <memory>
#include <unordered_map>

class CObList;
class CKelItemBaseObj;
class CKelSBContainerObj;

// One maker serves one pass over any number of materials: it indexes the piece list when it is
// first asked and makes each piece's icon once, so that putting back many containers costs
// the pieces once rather than once per container.
class CKelContentIconMaker {
public:
    explicit CKelContentIconMaker(const CObList* pPieces) : m_pPieces(pPieces) {}
    CKelContentIconMaker(const CKelContentIconMaker&) = delete;
    CKelContentIconMaker& operator=(const CKelContentIconMaker&) = delete;

    // Each material gets the icon of its piece in the list, else of its first attached piece
    // copy; a material with neither keeps the icon it has.
    void MakeFor(CObList& contents);
    void MakeFor(CKelSBContainerObj& container);

private:
    // The first piece of the list with the identity, as KelFindItemByGUID finds it.
    const CKelItemBaseObj* Find(const KelGUID& guid);
    // Null when the piece has no thumbnail.
    const std::shared_ptr<const CKelMemBlock>& IconOf(const CKelItemBaseObj& piece);

    const CObList* m_pPieces;
    bool m_bIndexed = false;
    std::unordered_map<KelGUID, const CKelItemBaseObj*> m_pieces;
    std::unordered_map<const CKelItemBaseObj*, std::shared_ptr<const CKelMemBlock>> m_made;
};
