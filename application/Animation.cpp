#include "Animation.h"

#include "../entity/Error.h"

#include <cmath>
#include <utility>

namespace tnUI {

AnimationBase::AnimationBase()
{
    m_clock.start();
}

AnimationBase::~AnimationBase() = default;

void AnimationBase::setDuration(double seconds)
{
    if (!(seconds >= 0.0))
        throw ImplError();
    m_duration = seconds;
}

void AnimationBase::setTimeSource(TimeSource source)
{
    double start = 0.0;
    if (source) {
        const auto self = tn::keepAlive(this);
        const TimeSource read = source; // the source may replace itself
        start = read();
    }
    m_timeSource = std::move(source);
    m_runStart = std::isnan(start) ? 0.0 : start;
    _restart(m_runStart);
}

double AnimationBase::_elapsed(double& now) const
{
    if (!m_timeSource)
        return m_clock.check();
    const TimeSource read = m_timeSource; // the source may replace itself
    now = read();
    const double t = now - m_runStart;
    return t >= 0.0 ? t : 0.0; // also for NaN
}

void AnimationBase::_restart(double now) const
{
    if (!m_timeSource) {
        m_clock.stop();
        m_clock.clear();
        m_clock.start();
    } else if (!std::isnan(now)) {
        m_runStart = now;
    }
}

double AnimationBase::getInterp() const
{
    if (m_finished)
        return m_interp;
    // The time source is host code, which may drop this animation or end it.
    const auto self = tn::keepAlive(this);
    double now = 0.0;
    double t = _elapsed(now);
    if (m_finished)
        return m_interp;
    const double d = m_duration;
    // A run of length 0 is over as soon as it is asked about.
    if (t > d || d == 0.0) {
        _restart(now);
        if (!m_repeat) {
            setFinished();
            return m_interp;
        }
        if (d == 0.0) {
            m_interp = m_autoReverse ? 0.0 : 1.0;
            return m_interp;
        }
        t = d;
    }
    if (m_autoReverse) {
        t = 2.0 * t;
        if (t > d)
            t = d - (t - d);
    }
    const double interp = t / d;
    // Only an overflowing fold of a huge duration leaves 0..1.
    m_interp = interp >= 0.0 ? (interp <= 1.0 ? interp : 1.0) : 0.0;
    return m_interp;
}

void AnimationBase::setFinished() const
{
    m_finished = true;
    m_interp = m_autoReverse ? 0.0 : 1.0;
}

void AnimationBase::finished()
{
    setFinished();
}

void AnimationBase::update()
{}

namespace {

// from at parameter 0, to at parameter 1 (both within epsilonTol), the
// straight line between them elsewhere.
template <class T>
T interpolate(const T& from, const T& to, double i)
{
    if (std::fabs(i - 0.0) < tnLinear::epsilonTol)
        return from;
    if (std::fabs(i - 1.0) < tnLinear::epsilonTol)
        return to;
    return from + (to - from) * i;
}

} // namespace

DoubleAnimation::DoubleAnimation(double from, double to) : m_from(from), m_to(to)
{}

DoubleAnimation::~DoubleAnimation() = default;

double DoubleAnimation::eval() const
{
    // Copied first: the time source may drop this animation.
    const double from = m_from, to = m_to;
    return interpolate(from, to, getInterp());
}

PointAnimation::PointAnimation(const tnLinear::Point& from, const tnLinear::Point& to) : m_from(from), m_to(to)
{}

PointAnimation::~PointAnimation() = default;

tnLinear::Point PointAnimation::eval() const
{
    // Copied first: the time source may drop this animation.
    const tnLinear::Point from = m_from, to = m_to;
    return interpolate(from, to, getInterp());
}

} // namespace tnUI
