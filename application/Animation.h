#pragma once

#include "../foundation/Export.h"

#include "../entity/Entity.h"
#include "../foundation/Linear.h"
#include "../foundation/StopWatch.h"

#include <functional>

namespace tnUI {

/// A clock-driven interpolation parameter for toolkit bindings. A run lasts
/// duration seconds from the animation's construction; each query turns the
/// time elapsed in the run into a parameter from 0 to 1 (with auto-reverse,
/// up to 1 at half the run and back to 0). When a query finds the run over,
/// a repeating animation starts a new run from that moment and the others
/// end for good. Nothing drives an animation: the caller polls it, typically
/// on every repaint.
///
/// Time comes from a stop watch unless a time source is installed, which lets
/// a host drive animations from its own frame clock and tests step time.
class TNUI_EXPORT AnimationBase : public Entity {
public:
    /// Seconds on any scale that never goes backwards.
    using TimeSource = std::function<double()>;

    /// Takes effect at the next query; nothing restarts. ImplError for a
    /// negative duration or NaN, keeping the old one. A run of length 0 is
    /// over at its first query.
    void setDuration(double seconds);
    /// The duration.
    double getDuration() const noexcept { return m_duration; }
    /// Sets the auto reverse.
    void setAutoReverse(bool on) noexcept { m_autoReverse = on; }
    /// The auto reverse.
    bool getAutoReverse() const noexcept { return m_autoReverse; }
    /// Sets the repeat.
    void setRepeat(bool on) noexcept { m_repeat = on; }
    /// The repeat.
    bool getRepeat() const noexcept { return m_repeat; }

    /// Reads the run's time from source from now on (the stop watch again
    /// when source is empty); the run in progress starts over at the source's
    /// present reading. A reading that is not a number, or earlier than the
    /// run's start, counts as the run's start.
    void setTimeSource(TimeSource source);

    /// The parameter now: the last one once finished; otherwise the elapsed
    /// fraction of the run, folded back past its middle with auto-reverse.
    /// The query that finds the run over returns the run's end value (1, or 0
    /// with auto-reverse) and either starts the next run (repeat) or ends the
    /// animation.
    double getInterp() const;
    /// Whether it is finished.
    bool isFinished() const noexcept { return m_finished; }
    /// Ends the animation now, at the end value of a run. Final.
    void finished();

    /// A hook for derived classes; does nothing here.
    virtual void update();

    ~AnimationBase() override;

protected:
    /// Running from now, for one second, neither reversing nor repeating.
    AnimationBase();

private:
    void setFinished() const;
    /// Seconds since the run began, and the reading that run restarts use.
    double _elapsed(double& now) const;
    void _restart(double now) const;

    mutable double m_interp = 0.0;
    mutable bool m_finished = false;
    mutable tnOS::StopWatch m_clock;
    double m_duration = 1.0;
    bool m_autoReverse = false;
    bool m_repeat = false;
    TimeSource m_timeSource;
    mutable double m_runStart = 0.0; // on the time source's scale
};

/// Interpolates a number: from at parameter 0, to at parameter 1, exactly.
class TNUI_EXPORT DoubleAnimation : public AnimationBase {
public:
    /// Animates from from to to.
    DoubleAnimation(double from, double to);
    ~DoubleAnimation() override;

    /// The number at the current parameter.
    double eval() const;

private:
    double m_from;
    double m_to;
};

/// Interpolates a point component by component, exact at both ends.
class TNUI_EXPORT PointAnimation : public AnimationBase {
public:
    /// Animates from from to to.
    PointAnimation(const tnLinear::Point& from, const tnLinear::Point& to);
    ~PointAnimation() override;

    /// The point at the current parameter.
    tnLinear::Point eval() const;

private:
    tnLinear::Point m_from;
    tnLinear::Point m_to;
};

} // namespace tnUI
