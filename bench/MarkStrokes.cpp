#include "MarkStrokes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tnBench {
namespace {

constexpr double pi = std::numbers::pi;

struct Vec {
    double x = 0.0;
    double y = 0.0;
};

Vec operator+(Vec a, Vec b)
{
    return {a.x + b.x, a.y + b.y};
}
Vec operator-(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y};
}
Vec operator*(double k, Vec a)
{
    return {k * a.x, k * a.y};
}
double length(Vec a)
{
    return std::hypot(a.x, a.y);
}

// A leg drawn from start to end, bowed sideways by bow pixels at its middle.
struct Leg {
    Vec start;
    Vec end;
    double bow = 0.0;

    Vec at(double t) const
    {
        const Vec along = end - start;
        const double l = std::max(length(along), 1e-9);
        const Vec normal{-along.y / l, along.x / l};
        return start + t * along + (bow * std::sin(pi * t)) * normal;
    }
};

// Appends the leg between parameters from and to in half-pixel steps.
void trace(const Leg& leg, double from, double to, std::vector<Vec>& path)
{
    const int steps = std::max(1, static_cast<int>(length(leg.end - leg.start) * (to - from) * 2.0));
    for (int i = 0; i <= steps; ++i)
        path.push_back(leg.at(from + (to - from) * i / steps));
}

} // namespace

MarkGenerator::MarkGenerator(const MarkCell& cell, unsigned seed) : m_cell(cell), m_random(seed)
{}

double MarkGenerator::uniform(double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(m_random);
}

GeneratedMark MarkGenerator::next()
{
    GeneratedMark mark;
    mark.insideSectors = true;
    std::normal_distribution<double> noise(0.0, m_cell.noiseDegrees * pi / 180.0);
    std::uniform_int_distribution<int> item(0, m_cell.breadth - 1);
    const double halfSector = pi / m_cell.breadth;

    // The legs as aimed: each from the corner the last one aimed at, drawn
    // from where the pointer really is (past that corner when it overshot).
    std::vector<Leg> legs;
    std::vector<bool> overshot;
    Vec corner;
    Vec pointer;
    for (int level = 0; level < m_cell.depth; ++level) {
        const int direction = item(m_random);
        mark.directions.push_back(direction);
        const double error = noise(m_random);
        mark.insideSectors = mark.insideSectors && std::fabs(error) < halfSector;
        const double angle = 2.0 * pi * direction / m_cell.breadth + error;
        const bool last = level + 1 == m_cell.depth;
        const double l = last && m_cell.shortLastLeg ? uniform(15.0, 25.0) : uniform(45.0, 90.0);
        // Screen y points down.
        const Vec aim{std::cos(angle), -std::sin(angle)};
        const Vec end = corner + l * aim;
        legs.push_back({pointer, end, uniform(-0.06, 0.06) * l});
        const bool overshoot = !last && uniform(0.0, 1.0) < 0.5;
        overshot.push_back(overshoot);
        corner = end;
        pointer = overshoot ? end + uniform(3.0, 10.0) * aim : end;
    }

    // The continuous path: an overshot corner is a sharp turn at the far
    // point; a rounded one cuts the corner with a quadratic curve.
    std::vector<Vec> path;
    double from = 0.0;
    for (std::size_t i = 0; i < legs.size(); ++i) {
        const Leg& leg = legs[i];
        if (i + 1 == legs.size() || overshot[i]) {
            trace(leg, from, 1.0, path);
            from = 0.0;
            continue;
        }
        const Leg& following = legs[i + 1];
        const double l1 = length(leg.end - leg.start);
        const double l2 = length(following.end - following.start);
        const double cut = std::min({uniform(4.0, 12.0), 0.3 * l1, 0.3 * l2});
        const double to = 1.0 - cut / l1;
        trace(leg, from, to, path);
        from = cut / l2;
        const Vec q0 = leg.at(to);
        const Vec q1 = following.at(from);
        const Vec control = leg.end;
        for (int step = 1; step < 16; ++step) {
            const double t = step / 16.0;
            path.push_back((1 - t) * (1 - t) * q0 + 2 * (1 - t) * t * control + t * t * q1);
        }
    }

    // Samples every 3 to 8 pixels along the path, over 50 ms, with jitter.
    double total = 0.0;
    for (std::size_t i = 1; i < path.size(); ++i)
        total += length(path[i] - path[i - 1]);
    mark.samples.push_back({0, 0, 0.0});
    double walked = 0.0;
    double nextAt = uniform(3.0, 8.0);
    for (std::size_t i = 1; i < path.size(); ++i) {
        const double step = length(path[i] - path[i - 1]);
        walked += step;
        const bool end = i + 1 == path.size();
        if (walked < nextAt && !end)
            continue;
        const Vec p = path[i] + Vec{uniform(-2.0, 2.0), uniform(-2.0, 2.0)};
        mark.samples.push_back({static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y)),
                                50.0 * walked / std::max(total, 1e-9)});
        nextAt = walked + uniform(3.0, 8.0);
    }
    return mark;
}

} // namespace tnBench
