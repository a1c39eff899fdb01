#include "MarkRecogniser.h"

#include "MarkItem.h"
#include "MarkMenu.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <numbers>

namespace {

using tnLinear::Point2;

constexpr double pi = std::numbers::pi;
// Longer strokes are thinned to about this many points, evenly along their
// length: enough to place a corner within a pixel or two.
constexpr std::size_t maxPoints = 512;
// A clear corner is taken over a plainer split only when its squared error
// is at most this share of the plainer one's, and a leg that chooses an
// item without a submenu ends at a corner only when the corner's error is
// at most cornerGain of the straight line's.
constexpr double clearGain = 0.7;
constexpr double cornerGain = 0.5;
// The farthest a fitted corner may lie from the recorded point where the
// stroke splits: less than the shortest leg a corner may start, so that
// putting back a rounded turn never outweighs a whole leg.
constexpr double maxCornerShift = 0.8 * tnMarkRecogniser::shortLegLength;

double length(const Point2& v)
{
    return std::hypot(v.x, v.y);
}

// Squared distance from p to the segment from a to b.
double squaredDistance(const Point2& p, const Point2& a, const Point2& b)
{
    const Point2 ab = b - a;
    const Point2 ap = p - a;
    const double ll = ab.x * ab.x + ab.y * ab.y;
    const double t = ll > 0.0 ? std::clamp((ap.x * ab.x + ap.y * ab.y) / ll, 0.0, 1.0) : 0.0;
    const Point2 d = ap - t * ab;
    return d.x * d.x + d.y * d.y;
}

// Angle between the directions of u and v, in degrees (0..180).
double turnDegrees(const Point2& u, const Point2& v)
{
    const double cross = u.x * v.y - u.y * v.x;
    const double dot = u.x * v.x + u.y * v.y;
    return std::fabs(std::atan2(cross, dot)) * 180.0 / pi;
}

// The stroke as points worth reading: finite, each apart from the one
// before, thinned evenly when there are very many; with each point's weight,
// half the stroke length on either side of it, and the length walked to it.
struct Path {
    std::vector<Point2> points;
    std::vector<double> weights;
    std::vector<double> walked;

    explicit Path(const std::vector<tnMarkStrokePoint>& stroke)
    {
        std::vector<Point2> all;
        for (const tnMarkStrokePoint& s : stroke) {
            const Point2 p(s.x, s.y);
            // Differences of huge coordinates would overflow.
            if (!std::isfinite(p.x) || !std::isfinite(p.y) || std::fabs(p.x) > 1e12 || std::fabs(p.y) > 1e12)
                continue;
            if (all.empty() || p != all.back())
                all.push_back(p);
        }
        double total = 0.0;
        for (std::size_t i = 1; i < all.size(); ++i)
            total += length(all[i] - all[i - 1]);
        const double spacing = all.size() > maxPoints ? total / maxPoints : 0.0;
        double sinceKept = 0.0;
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (i > 0)
                sinceKept += length(all[i] - all[i - 1]);
            if (i == 0 || i + 1 == all.size() || sinceKept >= spacing) {
                points.push_back(all[i]);
                sinceKept = 0.0;
            }
        }
        const std::size_t n = points.size();
        weights.assign(n, 0.0);
        walked.assign(n, 0.0);
        for (std::size_t i = 1; i < n; ++i) {
            const double step = length(points[i] - points[i - 1]);
            weights[i - 1] += step / 2.0;
            weights[i] += step / 2.0;
            walked[i] = walked[i - 1] + step;
        }
    }

    // Weighted squared distance of the points a..b from the segment between
    // the two.
    double error(std::size_t a, std::size_t b) const
    {
        double sum = 0.0;
        for (std::size_t i = a + 1; i < b; ++i)
            sum += weights[i] * squaredDistance(points[i], points[a], points[b]);
        return sum;
    }
};

// The straight line that fits the points a..b best in the least-squares
// sense: the principal axis of the polyline through them, taken as a
// continuous curve so that how densely it was sampled does not matter.
struct Line {
    Point2 through;
    Point2 direction;
};

Line fitLine(const Path& path, std::size_t a, std::size_t b)
{
    const std::vector<Point2>& p = path.points;
    // Moments about p[a], which keeps the sums small.
    double mass = 0.0;
    Point2 first;
    double xx = 0.0;
    double xy = 0.0;
    double yy = 0.0;
    for (std::size_t i = a; i < b; ++i) {
        const Point2 u = p[i] - p[a];
        const Point2 v = p[i + 1] - p[a];
        const double l = length(v - u);
        mass += l;
        first += (l / 2.0) * (u + v);
        xx += l * (u.x * u.x + v.x * v.x + u.x * v.x) / 3.0;
        xy += l * (2.0 * u.x * u.y + 2.0 * v.x * v.y + u.x * v.y + v.x * u.y) / 6.0;
        yy += l * (u.y * u.y + v.y * v.y + u.y * v.y) / 3.0;
    }
    const Point2 mean = first / mass;
    xx = xx / mass - mean.x * mean.x;
    xy = xy / mass - mean.x * mean.y;
    yy = yy / mass - mean.y * mean.y;
    const double angle = std::atan2(2.0 * xy, xx - yy) / 2.0;
    return {p[a] + mean, {std::cos(angle), std::sin(angle)}};
}

// Where the legs s..k and k..e meet. A rounded turn cuts its corner off,
// and the recorded point where the stroke splits lies on the cut; the
// corner the hand aimed from is where the lines fitted to the two legs
// cross. It is taken when the lines cross at least as sharply as a clear
// corner turns (nearly parallel lines cross anywhere), and close to the
// split point: within maxCornerShift and within half the shorter leg, since
// a rounding that takes more than half of a leg leaves too little of it
// straight for its line to be its direction. Otherwise it is p[k].
Point2 cornerAt(const Path& path, std::size_t s, std::size_t k, std::size_t e)
{
    const std::vector<Point2>& p = path.points;
    const double shorter = std::min(length(p[k] - p[s]), length(p[e] - p[k]));
    const Line one = fitLine(path, s, k);
    const Line two = fitLine(path, k, e);
    const double sine = one.direction.x * two.direction.y - one.direction.y * two.direction.x;
    if (std::fabs(sine) < std::sin(tnMarkRecogniser::clearTurnDegrees * pi / 180.0))
        return p[k];
    const Point2 gap = two.through - one.through;
    const double t = (gap.x * two.direction.y - gap.y * two.direction.x) / sine;
    const Point2 crossing = one.through + t * one.direction;
    if (length(crossing - p[k]) > std::min(maxCornerShift, shorter / 2.0))
        return p[k];
    return crossing;
}

struct Split {
    std::size_t at = 0;
    bool found = false;
    bool clear = false;
    double error = std::numeric_limits<double>::infinity();
};

// Where the points s..e split best into two legs (see the header); the first
// leg at least firstLeg long, a plain split's legs at least plainLeg.
Split findSplit(const Path& path, std::size_t s, std::size_t e, double firstLeg, double plainLeg, bool finished)
{
    const std::vector<Point2>& p = path.points;
    const double total = path.walked[e] - path.walked[s];
    Split corner;
    Split plain;
    for (std::size_t k = s + 1; k < e; ++k) {
        const Point2 first = p[k] - p[s];
        const Point2 second = p[e] - p[k];
        const double l1 = length(first);
        const double l2 = length(second);
        if (l1 < firstLeg)
            continue;
        const bool clear =
            l2 >= tnMarkRecogniser::shortLegLength && turnDegrees(first, second) >= tnMarkRecogniser::clearTurnDegrees;
        const bool even = finished && l2 > plainLeg && l1 > plainLeg &&
                          path.walked[k] - path.walked[s] >= tnMarkRecogniser::straightShare * total &&
                          path.walked[e] - path.walked[k] >= tnMarkRecogniser::straightShare * total;
        if (!clear && !even)
            continue;
        const double error = path.error(s, k) + path.error(k, e);
        if (clear && error < corner.error)
            corner = {k, true, true, error};
        if (even && error < plain.error)
            plain = {k, true, clear, error};
    }
    if (corner.found && (!plain.found || corner.error < clearGain * plain.error))
        return corner;
    return plain;
}

tnMarkMenu* submenuOf(const tnMarkItem* item)
{
    const tnMarkMenuItem* menuItem = item ? item->asMenuItem() : nullptr;
    return menuItem ? menuItem->getSubmenu() : nullptr;
}

// The origin of a list that hangs from item, relative to its menu's centre:
// the item's top-right corner, rounded outward to whole units as the view
// places it.
Point2 listOrigin(const tnMarkItem& item)
{
    float left = 0.0f;
    float bottom = 0.0f;
    float right = 0.0f;
    float top = 0.0f;
    item.getBox(left, bottom, right, top);
    return {-std::ceil(-static_cast<double>(right)), std::ceil(static_cast<double>(top))};
}

} // namespace

tnMarkItem* tnMarkRecogniser::itemInDirection(const tnMarkMenu& menu, double dx, double dy)
{
    const double angle = std::atan2(dy, dx);
    tnMarkItem* best = nullptr;
    double bestDiff = menu.getMaxAngle();
    const std::vector<tnMarkItem*>& items = menu.getItems();
    for (std::size_t i = 0; i < items.size() && static_cast<int>(i) != menu.getFirstOverflowIndex(); ++i) {
        double diff = std::fabs(items[i]->getPosition().getAngle() - angle);
        if (diff >= pi)
            diff = 2.0 * pi - diff;
        if (diff < bestDiff) {
            best = items[i];
            bestDiff = diff;
        }
    }
    return best;
}

tnMarkRecogniser::Mark tnMarkRecogniser::recognise(const std::vector<tnMarkStrokePoint>& stroke, tnMarkMenu& menu,
                                                   bool finished)
{
    Mark mark;
    const Path path(stroke);
    const std::vector<Point2>& p = path.points;
    if (p.empty())
        return mark;
    mark.corners.push_back(p.front());
    const std::size_t e = p.size() - 1;
    const bool leftCentre = std::any_of(
        p.begin(), p.end(), [&](const Point2& q) { return length(q - p.front()) > menu.getCenterRadius(); });
    if (!leftCentre) {
        mark.corners.push_back(p.back());
        return mark;
    }

    std::size_t s = 0;
    // Where the current leg starts: the stroke's first point or a corner.
    Point2 from = p.front();
    Point2 center = p.front();
    tnMarkMenu* current = &menu;
    // Whether a clear corner starts the current leg.
    bool cornerStarts = false;
    const auto visited = [&mark](const tnMarkMenu* m) {
        return std::any_of(mark.steps.begin(), mark.steps.end(), [m](const Step& step) { return step.menu == m; });
    };
    // Opens the submenu of the last step's item at where, unless it is a
    // menu the mark already went through; false when it does not open.
    const auto enter = [&](tnMarkMenu* submenu, const Point2& where) {
        if (!submenu || visited(submenu))
            return false;
        center = submenu->isLinear() ? center + listOrigin(*mark.steps.back().item) : where;
        current = submenu;
        return true;
    };

    while (true) {
        mark.steps.push_back({current, nullptr, center});
        Step& step = mark.steps.back();
        if (current->isLinear()) {
            const Point2 at = p[e] - center;
            step.item = current->itemAtPoint(static_cast<float>(at.x), static_cast<float>(at.y));
            break;
        }
        const double radius = current->getCenterRadius();
        const Split split = findSplit(path, s, e, radius, radius, finished);
        tnMarkItem* first =
            split.found ? itemInDirection(*current, p[split.at].x - from.x, p[split.at].y - from.y) : nullptr;
        tnMarkMenu* firstSubmenu = submenuOf(first);
        if (firstSubmenu && !visited(firstSubmenu)) {
            step.item = first;
            const Point2 corner = split.clear ? cornerAt(path, s, split.at, e) : p[split.at];
            mark.corners.push_back(corner);
            enter(firstSubmenu, corner);
            s = split.at;
            from = corner;
            cornerStarts = split.clear;
            continue;
        }
        // The last leg of the mark.
        const Point2 chord = p[e] - from;
        if (first && split.clear && split.error <= cornerGain * path.error(s, e)) {
            // It ended at a corner; turning back into the centre cancels.
            step.item = length(chord) > radius ? first : nullptr;
        } else if (length(chord) > (cornerStarts ? shortLegLength : radius)) {
            step.item = itemInDirection(*current, chord.x, chord.y);
        }
        // An item with a submenu that no leg is left for opens it at the end.
        if (step.item && enter(submenuOf(step.item), p[e])) {
            mark.steps.push_back({current, nullptr, center});
            if (current->isLinear()) {
                const Point2 at = p[e] - center;
                mark.steps.back().item = current->itemAtPoint(static_cast<float>(at.x), static_cast<float>(at.y));
            }
        }
        break;
    }
    mark.corners.push_back(p.back());
    return mark;
}
