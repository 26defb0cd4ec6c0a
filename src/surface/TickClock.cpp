#include "surface/TickClock.h"

#include <QElapsedTimer>

namespace {
class TSystemTickClock : public TTickClock
{
public:
    TSystemTickClock() { m_timer.start(); }
    // Starts well above zero: a tick of 0 means "no press" to the handles.
    uint32_t Now() const override { return static_cast<uint32_t>(m_timer.elapsed()) + 1000; }

private:
    QElapsedTimer m_timer;
};
} // namespace

TTickClock *TTickClock::System()
{
    static TSystemTickClock clock;
    return &clock;
}
