#pragma once

// Reads a quick mark: the stroke drawn while a marking menu's items are
// still hidden, turned into the path of items it chooses through the menu
// and its submenus. The stroke's corners are found from the shape of the
// whole stroke, so that neither the rate at which the device reports the
// pointer nor the speed of the hand changes the reading:
//
// - Where the item a leg points at opens a submenu, the rest of the stroke
//   is split in two at the point where two straight legs fit it best (least
//   squares, each stroke point weighted by the length of stroke it stands
//   for). A split at a clear corner (a turn of at least clearTurnDegrees)
//   may leave a last leg as short as shortLegLength; any other split must
//   leave both legs at least the centre radius long and at least
//   straightShare of the stroke each, which reads a straight-through mark
//   (the same direction twice) as two legs. A clear corner must fit clearly
//   better than the best other split to be taken.
// - Where a clear corner leads into a submenu, the corner is where the
//   least-squares lines fitted to the leg before it and to the rest of the
//   stroke cross, which puts back the point a rounded turn cuts off; it is
//   taken only when the lines cross at least as sharply as a clear corner
//   turns, within 8 units and half the shorter leg of the point where the
//   stroke splits; otherwise that point is the corner. The submenu is
//   centred at the corner.
// - Each leg chooses by its direction alone: the item whose anchor is
//   closest in angle, within the menu's maximum angle (a disabled item is
//   found and chooses nothing). A leg runs from the corner that starts it
//   to the point where the stroke splits after it, or to the stroke's end.
//   Item boxes play no part while the items are hidden.
// - A leg that chooses an item without a submenu ends the reading. It is
//   the stroke from its start to the stroke's end unless a clear corner
//   fits clearly better than that straight line; a stroke that turns back
//   into that menu's centre zone then chooses nothing.
// - Nothing is chosen while the stroke never left the first menu's centre
//   zone, nor by a last leg no longer than its menu's centre radius unless a
//   clear corner starts it.
// - A list submenu hangs from its item's top-right corner and chooses the
//   item under the stroke's end.

#include "../foundation/Export.h"
#include "../foundation/Linear.h"

#include <vector>

class tnMarkItem;
class tnMarkMenu;

/// One recorded pointer position: model units with y up, and the time in
/// milliseconds. The reading depends on the shape alone; the time travels
/// with the point for callers that keep or replay strokes.
struct tnMarkStrokePoint {
    /// The position.
    double x = 0.0;
    /// See x.
    double y = 0.0;
    /// The time in milliseconds.
    double time = 0.0;
};

/// Reads a quick mark: the stroke drawn while a marking menu's items are
/// still hidden, turned into the path of items it chooses through the menu and
/// its submenus (see the notes at the top of MarkRecogniser.h).
class TNUI_EXPORT tnMarkRecogniser {
public:
    /// The smallest turn of a clear corner, in degrees.
    static constexpr double clearTurnDegrees = 35.0;
    /// The shortest last leg after a clear corner, in model units.
    static constexpr double shortLegLength = 10.0;
    /// The smallest share of the stroke each leg of a split that is not at a clear corner takes.
    static constexpr double straightShare = 0.3;

    /// One menu the mark went through.
    struct Step {
        /// The menu.
        tnMarkMenu* menu = nullptr;
        /// The item the mark chose in it; null for none.
        tnMarkItem* item = nullptr;
        /// The menu's centre (a list's origin) in stroke coordinates.
        tnLinear::Point2 center;
    };
    /// What a stroke reads as.
    struct Mark {
        /// The first menu's step first, each item with a submenu followed by
        /// a step in that submenu; empty when the stroke never left the
        /// first menu's centre zone.
        std::vector<Step> steps;
        /// The stroke's first point, the corners where the mark went into a
        /// submenu, and the stroke's last point.
        std::vector<tnLinear::Point2> corners;
    };

    tnMarkRecogniser() = delete;

    /// Reads stroke, whose first point is the centre of menu. With finished
    /// (the button is up) a straight stroke may split into a straight-through
    /// mark; without it (the pointer rests while the mark is drawn) only
    /// clear corners split, and a last item with a submenu opens it centred
    /// at the stroke's end. Points that are not finite are skipped.
    static Mark recognise(const std::vector<tnMarkStrokePoint>& stroke, tnMarkMenu& menu, bool finished);

    /// The item closest in direction to (dx, dy) among menu's radial items,
    /// by their anchors, within the menu's maximum angle; null for none.
    static tnMarkItem* itemInDirection(const tnMarkMenu& menu, double dx, double dy);
};
