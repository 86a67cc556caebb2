#include "host/services/drag_data.h"

#include "platform/ole.h"

#include <algorithm>

CKelOleDataSource::CKelOleDataSource(const CString& format, const void* data, std::size_t size) {
    m_payload.format = format;
    m_payload.data = data;
    m_payload.size = size;
}

DWORD CKelOleDataSource::DoDragDrop(DWORD allowedEffects, const CRect* /*startRect*/,
                                    CKelOleDropSource* /*source*/) {
    m_lastEffect = kel::platform::GetBackend().DoDragDrop(m_payload, allowedEffects);
    // A target may only answer with an effect that the source allowed.
    if ((m_lastEffect & allowedEffects) != m_lastEffect)
        m_lastEffect = 0;
    return m_lastEffect;
}

void CKelOleDataSource::Release() {
    delete this;
}

CKelOleDataSource* CKelDDPieceData::CreateKelDataSource(const CString& format, const void* data,
                                                        std::size_t size) {
    if (format.IsEmpty())
        return nullptr;
    return new CKelOleDataSource(format, data, size);
}

int CKelDDPieceData::GetData(const kel::platform::DragPayload* dataObject, CString& format,
                             const void*& data, std::size_t* size) {
    format.Empty();
    data = nullptr;
    if (size)
        *size = 0;
    if (!dataObject || dataObject->format.IsEmpty() || !dataObject->data)
        return 0;
    format = dataObject->format;
    data = dataObject->data;
    if (size)
        *size = dataObject->size;
    return 1;
}

int CKelDDPieceData::GetData(const COleDataObject* dataObject, CString& format, const void*& data,
                             std::size_t* size) {
    return GetData(dataObject ? dataObject->GetPayload() : nullptr, format, data, size);
}

CRect CKelMultiSelObj::DragRect(CWnd* view, UINT /*keyFlags*/, CPoint press, CRect limitScreen) {
    if (!view)
        return {};
    limitScreen.NormalizeRect();
    CRect band = kel::platform::GetBackend().TrackRubberBand(*view, press, limitScreen);
    band.NormalizeRect();
    if (band.IsRectEmpty())
        return {};
    return band;
}

bool KelPieceDragData::IsKnownType(DWORD dwType) {
    return dwType <= kInStayOut || dwType == kMovie || dwType == kScroll;
}

std::array<BYTE, KelPieceDragData::kSize> KelPieceDragData::Encode() const {
    std::array<BYTE, kSize> bytes{};
    std::copy(guid.bytes.begin(), guid.bytes.end(), bytes.begin());
    for (std::size_t i = 0; i < 4; ++i)
        bytes[guid.bytes.size() + i] = static_cast<BYTE>((dwType >> (8 * i)) & 0xFFu);
    return bytes;
}

std::optional<KelPieceDragData> KelPieceDragData::Decode(const void* pData, std::size_t nSize) {
    if (pData == nullptr || nSize < kSize)
        return std::nullopt;
    const auto* pBytes = static_cast<const BYTE*>(pData);
    KelPieceDragData data;
    std::copy(pBytes, pBytes + data.guid.bytes.size(), data.guid.bytes.begin());
    data.dwType = 0;
    for (std::size_t i = 0; i < 4; ++i)
        data.dwType |= static_cast<DWORD>(pBytes[data.guid.bytes.size() + i]) << (8 * i);
    if (!IsKnownType(data.dwType))
        return std::nullopt;
    return data;
}
