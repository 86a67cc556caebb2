// The headless device context: it keeps the full drawing state of CDC and records every drawing
// operation as a DrawRecord, so tests and the script runner can see what a paint drew, where,
// in which colours and whether it was visible at all.
#pragma once

#include "platform/dc.h"

#include <memory>
#include <vector>

namespace kel::platform {
using DrawLog = std::vector<DrawRecord>;
} // namespace kel::platform

class CRecordingDC : public CDC {
public:
    // A DC over a client area of `client` (its top-left is the origin), clipped to `client`.
    explicit CRecordingDC(const CRect& client);
    // A DC over `client` that can only draw inside `paintClip` (the invalid part of a window).
    CRecordingDC(const CRect& client, const CRect& paintClip);
    // As above, appending to `sink` instead of its own list; `sink` must outlive the DC
    // (a backend keeps one log per window across paints).
    CRecordingDC(const CRect& client, const CRect& paintClip, kel::platform::DrawLog* sink);
    ~CRecordingDC() override;

    const kel::platform::DrawLog& Operations() const { return *m_log; }
    void ClearOperations() { m_log->clear(); }
    // The recorded operations called `name`, in order.
    kel::platform::DrawLog OperationsNamed(const char* name) const;
    const CRect& GetClientRect() const { return m_client; }

protected:
    void Render(const kel::platform::DrawRecord& record) override;
    std::unique_ptr<CDC> CreateCompatible() override;

private:
    CRect m_client;
    kel::platform::DrawLog m_own;
    kel::platform::DrawLog* m_log;
};
