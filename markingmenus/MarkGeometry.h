#pragma once

// Where a running marking menu goes on the screen, without any toolkit:
// bringing a host's point to the desktop, keeping a displayed menu on the
// screen, moving the parent-centre marker off a submenu's items, and the
// area of a parent that counts as the parent. Screen and view points are in
// pixels with y down; offsets from a menu's centre are in model units with y
// up (as everywhere in the model).

#include "../foundation/Export.h"
#include "../foundation/Linear.h"

class tnMarkMenu;

namespace tnUI {
class Rectangle;
}

/// Where a running marking menu goes on the screen, without any toolkit:
/// bringing a host's point to the desktop, keeping a displayed menu on the
/// screen, moving the parent-centre marker off a submenu's items, and the area
/// of a parent that counts as the parent. Screen and view points are in pixels
/// with y down; offsets from a menu's centre are in model units with y up.
class TNUI_EXPORT tnMarkGeometry {
public:
    /// A displayed menu keeps this far from the screen's edges.
    static constexpr int screenMargin = 10;
    /// Half the side of the square that marks the parent's centre; it moves
    /// in steps of the same length.
    static constexpr float markerHalfSide = 6.0f;
    /// How far the marker moves in one step.
    static constexpr float markerStep = 6.0f;

    tnMarkGeometry() = delete;

    /// The point (x, y) in global pixels kept to the desktop, whose bounds
    /// are inclusive. An empty desktop stands for the square of +-2^24, which
    /// floats and ints both hold exactly. A coordinate that is infinite or
    /// undefined raises ImplError.
    static tnLinear::Point2 clampToDesktop(double x, double y, const tnLinear::Range2d& desktop);

    /// The whole-pixel move of a menu centred at center (view pixels) that
    /// keeps its extents (model units, y up, from getExtents) screenMargin
    /// inside screen (view pixels). Per axis the far edge (right, bottom) is
    /// brought inside, then, if the near edge (left, top) is outside, the
    /// near edge instead: a menu larger than the screen keeps its left and top
    /// edges in sight. (0, 0) when the menu fits.
    static tnLinear::Vector2 keepOnScreenShift(const tnLinear::Range2d& extents, const tnLinear::Point2& center,
                                               const tnUI::Rectangle& screen);

    /// One step of the parent-centre marker off an item at that mark
    /// position: along the item's direction, the diagonals a full step on
    /// both axes, the in-between directions along their own angle.
    static tnLinear::Vector2 markerMove(int markPosition);
    /// The parent's centre, at parentOffset from the centre of menu (its
    /// submenu), moved off the boxes of the submenu's radial items in turn,
    /// stepping in each item's direction while the marker overlaps it.
    static tnLinear::Point2 moveParentMarker(const tnMarkMenu& menu, const tnLinear::Point2& parentOffset);

    /// Whether p, relative to the parent's centre, lies in the parent's area,
    /// edges included: the extents of a list, the overflow list of a radial
    /// menu (nothing else of it), nothing for no parent.
    static bool inParentArea(tnMarkMenu* parent, const tnLinear::Point2& p);
};
