#include "live_output_panel.h"

#include "host/base/kel_memblock.h"
#include "host/services/live_output.h"
#include "host/services/video_std.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QThread>
#include <cstring>

namespace kel::studio {

LiveOutputPanel::LiveOutputPanel(bool bPaced, QWidget* parent) : QWidget(parent, Qt::Tool) {
    setWindowTitle(kTitle);
    setMinimumSize(160, 90);
    resize(384, 216);
    CKelDrvGFB::SetOutputWindow([this](int /*flag*/) { TakeFrame(); });
    if (bPaced)
        CKelDrvSys::SetFieldClock([this](int count) { WaitFields(count); });
    TakeFrame();
}

LiveOutputPanel::~LiveOutputPanel() {
    CKelDrvGFB::SetOutputWindow({});
    CKelDrvSys::SetFieldClock({});
}

void LiveOutputPanel::TakeFrame() {
    const CKelMemBlock* block = CKelDrvGFB::GetBlockOut();
    if (block == nullptr || block->IsEmpty()) {
        m_frame = QImage();
    } else {
        QImage frame(block->GetWidth(), block->GetHeight(), QImage::Format_ARGB32);
        const std::size_t rowBytes = static_cast<std::size_t>(block->GetWidth()) * sizeof(DWORD);
        for (int y = 0; y < block->GetHeight(); ++y)
            std::memcpy(frame.scanLine(y), block->GetBits() + y * block->GetWidth(), rowBytes);
        m_frame = std::move(frame);
    }
    ++m_framesTaken;
    if (isVisible())
        repaint();
}

void LiveOutputPanel::WaitFields(int count) {
    // A field lasts half a frame of the house standard.
    const double rate = CKelVideoStd::GetFrameRate();
    const auto nanoseconds =
        static_cast<qint64>(count * 1e9 / (CKelDrvSys::kFieldsPerFrame * rate));
    QElapsedTimer timer;
    timer.start();
    // Other windows repaint meanwhile (the editor's time line follows the play); input waits
    // until the synchronous play is over.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const qint64 left = nanoseconds - timer.nsecsElapsed();
    if (left > 0)
        QThread::usleep(static_cast<unsigned long>(left / 1000));
}

void LiveOutputPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_frame.isNull())
        return;
    // The whole raster, as large as the window allows, in its own proportions; transparent
    // parts of the output show black, as on air.
    const QSize shown = m_frame.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2),
                       shown);
    painter.drawImage(target, m_frame);
}

} // namespace kel::studio
