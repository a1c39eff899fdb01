#include "MarkGeometry.h"

#include "MarkItem.h"
#include "MarkMenu.h"
#include "MarkPosition.h"

#include "../entity/Error.h"
#include "../entity/Rectangle.h"

#include <algorithm>
#include <cmath>

namespace {

// A bound on the marker's moves off one item, should its box be unbounded.
constexpr int maxMarkerMoves = 1000;
// Half the side of the square standing for a desktop without screens.
constexpr double noDesktop = 1 << 24;

} // namespace

tnLinear::Point2 tnMarkGeometry::clampToDesktop(double x, double y, const tnLinear::Range2d& desktop)
{
    if (!std::isfinite(x) || !std::isfinite(y))
        throw tnUI::ImplError();
    const tnLinear::Range2d bounds =
        desktop.isEmpty() ? tnLinear::Range2d({-noDesktop, -noDesktop}, {noDesktop, noDesktop}) : desktop;
    return {std::clamp(x, bounds.getMin().x, bounds.getMax().x), std::clamp(y, bounds.getMin().y, bounds.getMax().y)};
}

tnLinear::Vector2 tnMarkGeometry::keepOnScreenShift(const tnLinear::Range2d& extents, const tnLinear::Point2& center,
                                                    const tnUI::Rectangle& screen)
{
    // In single precision, as the extents are measured.
    const auto shift = [](float nearEdge, float farEdge, double low, double high) {
        const auto lowest = static_cast<float>(low + screenMargin);
        const auto highest = static_cast<float>(high - screenMargin);
        float amount = 0.0f;
        if (farEdge > highest)
            amount = highest - farEdge;
        if (nearEdge + amount < lowest)
            amount = lowest - nearEdge;
        return static_cast<int>(amount);
    };
    const auto cx = static_cast<float>(center.x);
    const auto cy = static_cast<float>(center.y);
    const auto left = static_cast<float>(extents.getMin().x);
    const auto right = static_cast<float>(extents.getMax().x);
    const auto bottom = static_cast<float>(extents.getMin().y);
    const auto top = static_cast<float>(extents.getMax().y);
    return {static_cast<double>(shift(cx + left, cx + right, screen.left(), screen.right())),
            static_cast<double>(shift(cy - top, cy - bottom, screen.top(), screen.bottom()))};
}

tnLinear::Vector2 tnMarkGeometry::markerMove(int markPosition)
{
    static constexpr float even[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    markPosition = ((markPosition % tnMarkPosition::NumDirections) + tnMarkPosition::NumDirections) %
                   tnMarkPosition::NumDirections;
    if (markPosition % 2 == 0)
        return {markerStep * even[markPosition / 2][0], markerStep * even[markPosition / 2][1]};
    const float angle = tnMarkPosition::markPositionToAngle(markPosition);
    return {markerStep * std::cos(angle), markerStep * std::sin(angle)};
}

tnLinear::Point2 tnMarkGeometry::moveParentMarker(const tnMarkMenu& menu, const tnLinear::Point2& parentOffset)
{
    auto x = static_cast<float>(parentOffset.x);
    auto y = static_cast<float>(parentOffset.y);
    for (const tnMarkItem* item : menu.getItems()) {
        const int markPosition = item->getPosition().getMarkPosition();
        if (markPosition < 0 || markPosition >= tnMarkPosition::NumDirections)
            continue;
        float left = 0.0f;
        float bottom = 0.0f;
        float right = 0.0f;
        float top = 0.0f;
        item->getBox(left, bottom, right, top);
        const tnLinear::Vector2 move = markerMove(markPosition);
        for (int n = 0; n < maxMarkerMoves && x - markerHalfSide < right && left < x + markerHalfSide &&
                        y - markerHalfSide < top && bottom < y + markerHalfSide;
             ++n) {
            x += static_cast<float>(move.x);
            y += static_cast<float>(move.y);
        }
    }
    return {x, y};
}

bool tnMarkGeometry::inParentArea(tnMarkMenu* parent, const tnLinear::Point2& p)
{
    if (!parent)
        return false;
    float right = 0.0f;
    float bottom = 0.0f;
    float left = 0.0f;
    float top = 0.0f;
    if (parent->isLinear()) {
        parent->getExtents(right, bottom, left, top);
    } else if (parent->getFirstOverflowIndex() >= 0) {
        const float width = parent->getOverflowWidth();
        const tnMarkPosition& first = parent->itemAt(parent->getFirstOverflowIndex())->getPosition();
        left = first.getX();
        top = first.getY();
        right = left + width;
        bottom = top - parent->getOverflowHeight();
    }
    const auto x = static_cast<float>(p.x);
    const auto y = static_cast<float>(p.y);
    return left <= x && x <= right && bottom <= y && y <= top;
}
