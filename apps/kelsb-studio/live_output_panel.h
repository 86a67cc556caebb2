// The host's live output window: what the output shows, as the live output buffer holds it,
// scaled to the window. It is the host's output window for CKelDrvGFB, told whenever a new
// picture went out, and, when pacing, the host's field clock, so that a play or an effect
// preview runs in real time.
#pragma once

#include <QImage>
#include <QWidget>

namespace kel::studio {

class LiveOutputPanel : public QWidget {
public:
    static constexpr const char* kTitle = "Live Output";

    // bPaced: video fields take their real time (at the house frame rate); otherwise they are
    // only counted and every refresh shows at once.
    explicit LiveOutputPanel(bool bPaced, QWidget* parent = nullptr);
    // Stops being the host's output window and field clock.
    ~LiveOutputPanel() override;
    LiveOutputPanel(const LiveOutputPanel&) = delete;
    LiveOutputPanel& operator=(const LiveOutputPanel&) = delete;

    // The last frame taken from the live output, at the output's raster.
    const QImage& Frame() const { return m_frame; }
    // How many frames it has taken since it was made.
    int FramesTaken() const { return m_framesTaken; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Takes the buffer's picture and paints it now.
    void TakeFrame();
    void WaitFields(int count);

    QImage m_frame;
    int m_framesTaken = 0;
};

} // namespace kel::studio
