#include "platform/recording_dc.h"

CRecordingDC::CRecordingDC(const CRect& client) : CRecordingDC(client, client, nullptr) {}

CRecordingDC::CRecordingDC(const CRect& client, const CRect& paintClip)
    : CRecordingDC(client, paintClip, nullptr) {}

CRecordingDC::CRecordingDC(const CRect& client, const CRect& paintClip,
                           kel::platform::DrawLog* sink)
    : m_client(client), m_log(sink ? sink : &m_own) {
    // What lies outside the invalid part cannot be drawn at all, whatever the clip says later.
    SetDeviceBounds(client & paintClip);
}

CRecordingDC::~CRecordingDC() = default;

kel::platform::DrawLog CRecordingDC::OperationsNamed(const char* name) const {
    kel::platform::DrawLog out;
    for (const kel::platform::DrawRecord& r : *m_log)
        if (r.name == name)
            out.push_back(r);
    return out;
}

void CRecordingDC::Render(const kel::platform::DrawRecord& record) {
    m_log->push_back(record);
    // The picture belongs to the caller and may go before the log is read.
    m_log->back().bitmap = nullptr;
}

std::unique_ptr<CDC> CRecordingDC::CreateCompatible() {
    return std::make_unique<CRecordingDC>(CRect(0, 0, 1, 1));
}
