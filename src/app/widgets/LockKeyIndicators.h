#pragma once
// The status bar's caps-lock, num-lock and scroll-lock indicators ("CAP",
// "NUM", "SCRL"). Each shows whether its lock is on; where the platform
// cannot tell (no X11 display: Wayland, offscreen), the three are shown
// disabled.
#include <QWidget>

class QLabel;
struct _XDisplay;

namespace pavonia {

// The indicator bits of the display's core keyboard (X11IndicatorState.cpp,
// kept apart because the X11 headers define names Qt uses).
unsigned int x11IndicatorState(_XDisplay* display);

class LockKeyIndicators final : public QWidget {
    Q_OBJECT
public:
    explicit LockKeyIndicators(QWidget* parent = nullptr);
    ~LockKeyIndicators() override;

    // Whether the platform tells the lock states.
    bool available() const { return available_; }
    // Reads the lock states again.
    void refresh();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* labels_[3];
    bool available_ = false;
};

} // namespace pavonia
