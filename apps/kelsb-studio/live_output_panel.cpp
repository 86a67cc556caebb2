#include "live_output_panel.h"

#include "input_gate.h"
#include "studio_texts.h"

#include "host/base/kel_memblock.h"
#include "host/services/live_output.h"
#include "host/services/video_std.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QThread>
#include <algorithm>
#include <cstring>

namespace kel::studio {

namespace {

constexpr int kBarHeight = 30;
constexpr int kMargin = 4;

} // namespace

LiveOutputPanel::LiveOutputPanel(bool bPaced, QWidget* parent)
    : QWidget(parent, Qt::Tool), m_bPaced(bPaced) {
    setWindowTitle(Tr(Str::LiveOutput));
    setAccessibleName(windowTitle());
    // Reachable by the keyboard like every panel, though it has nothing to type into.
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(160, 90 + kBarHeight);
    resize(384, 216 + kBarHeight);
    m_stop = new QPushButton(Tr(Str::Stop), this);
    m_stop->setObjectName("stopPlay");
    m_stop->setToolTip(Tr(Str::StopTip));
    m_stop->setAccessibleName(m_stop->text());
    m_stop->setFocusPolicy(Qt::NoFocus);
    m_stop->setEnabled(false);
    InputGate::MarkAsStopControl(m_stop);
    connect(m_stop, &QPushButton::clicked, this, [this] {
        if (m_stopAction)
            m_stopAction();
    });
    m_loaded = new QLabel(Tr(Str::LoadedBanner), this);
    m_loaded->setObjectName("loadedBanner");
    m_loaded->setAccessibleName(m_loaded->text());
    m_loaded->setAlignment(Qt::AlignCenter);
    m_loaded->setStyleSheet("QLabel { background: #b00020; color: white; font-weight: bold; "
                            "padding: 2px; }");
    m_loaded->hide();
    CKelDrvGFB::SetOutputWindow([this](int /*flag*/) { TakeFrame(); });
    CKelDrvSys::SetFieldClock([this](int count) { WaitFields(count); });
    TakeFrame();
}

LiveOutputPanel::~LiveOutputPanel() {
    CKelDrvGFB::SetOutputWindow({});
    CKelDrvSys::SetFieldClock({});
}

void LiveOutputPanel::SetStopEnabled(bool enabled) {
    m_stop->setEnabled(enabled);
}

void LiveOutputPanel::ShowLoaded(bool loaded) {
    m_loaded->setVisible(loaded);
}

bool LiveOutputPanel::IsLoadedShown() const {
    return !m_loaded->isHidden();
}

void LiveOutputPanel::resizeEvent(QResizeEvent* /*event*/) {
    const QSize button = m_stop->sizeHint();
    m_stop->setGeometry(width() - button.width() - kMargin,
                        height() - kBarHeight + (kBarHeight - button.height()) / 2, button.width(),
                        button.height());
    m_loaded->setGeometry(0, 0, width(), m_loaded->sizeHint().height());
}

QRect LiveOutputPanel::PictureArea() const {
    return QRect(0, 0, width(), std::max(0, height() - kBarHeight));
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
        repaint(PictureArea());
}

void LiveOutputPanel::WaitFields(int count) {
    // A field lasts half a frame of the house standard.
    const double rate = CKelVideoStd::GetFrameRate();
    const auto nanoseconds =
        static_cast<qint64>(count * 1e9 / (CKelDrvSys::kFieldsPerFrame * rate));
    QElapsedTimer timer;
    timer.start();
    {
        // Other windows repaint meanwhile (the editor's time line follows the play); what the
        // user does is dropped, as by a disabled window, but a stop gets through.
        InputGate::Hold hold;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    if (!m_bPaced)
        return;
    const qint64 left = nanoseconds - timer.nsecsElapsed();
    if (left > 0)
        QThread::usleep(static_cast<unsigned long>(left / 1000));
}

void LiveOutputPanel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRect area = PictureArea();
    painter.fillRect(area, Qt::black);
    if (m_frame.isNull())
        return;
    // The whole raster, as large as the area allows, in its own proportions; transparent
    // parts of the output show black, as on air.
    const QSize shown = m_frame.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target(
        QPoint((area.width() - shown.width()) / 2, (area.height() - shown.height()) / 2), shown);
    painter.drawImage(target, m_frame);
}

} // namespace kel::studio
