// What the user does while the editor has the host's panels disabled (a play, a compile, a load)
// or while the live output paces an effect: like input to a disabled window, it is dropped, not
// kept for later. Only a stop gets through: Esc or Space anywhere, and a press of a widget
// marked as a stop control (MarkAsStopControl).
#pragma once

#include <QObject>
#include <functional>

class QWidget;

namespace kel::studio {

class InputGate : public QObject {
public:
    // `closed` tells whether the host's panels are disabled now; `stop` asks a play to stop.
    InputGate(std::function<bool()> closed, std::function<void()> stop);
    ~InputGate() override;
    InputGate(const InputGate&) = delete;
    InputGate& operator=(const InputGate&) = delete;

    bool IsClosed() const;
    // Input events dropped since the gate was made.
    int Dropped() const { return m_dropped; }

    // Input to this widget goes through while the gate is closed.
    static void MarkAsStopControl(QWidget* widget);

    // While one lives, the gate stays closed whatever the panels are: the live output runs the
    // user interface between the frames of a preview, which the editor runs on its own.
    class Hold {
    public:
        Hold();
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> m_closed;
    std::function<void()> m_stop;
    int m_dropped = 0;
};

} // namespace kel::studio
