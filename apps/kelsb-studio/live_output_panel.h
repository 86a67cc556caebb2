// The host's live output window: what the output shows, as the live output buffer holds it,
// scaled to the window. It is the host's output window for CKelDrvGFB, told whenever a new
// picture went out, and the host's field clock, so that a play or an effect preview runs in real
// time (when pacing) while the rest of the user interface stays painted. Below the picture, the
// Stop button ends a play; above it a banner says when the storyboard is loaded on the output.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;

namespace kel::studio {

class LiveOutputPanel : public QWidget {
public:
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

    // What the Stop button does; it is enabled while `SetStopEnabled(true)`.
    void SetStopAction(std::function<void()> stop) { m_stopAction = std::move(stop); }
    void SetStopEnabled(bool enabled);
    QPushButton* StopButton() const { return m_stop; }
    // Shows or hides the banner of the loaded storyboard.
    void ShowLoaded(bool loaded);
    bool IsLoadedShown() const;

    // The field clock: runs the user interface's pending events (input is dropped by the
    // studio's input gate meanwhile), then, when pacing, waits out the rest of the fields.
    void WaitFields(int count);
    void SetPaced(bool bPaced) { m_bPaced = bPaced; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Takes the buffer's picture and paints it now.
    void TakeFrame();
    QRect PictureArea() const;

    bool m_bPaced;
    QImage m_frame;
    int m_framesTaken = 0;
    QPushButton* m_stop = nullptr;
    QLabel* m_loaded = nullptr;
    std::function<void()> m_stopAction;
};

} // namespace kel::studio
