#pragma once

// Synthetic, human-like quick marks for measuring how well marking menus read
// them: each leg aims at an item with angular noise, bows slightly, and is
// joined to the next by a rounded or overshot corner; the pointer is sampled
// every 3 to 8 pixels of its path over 50 ms, with a little jitter, and
// released at the last sample. No toolkit is needed.

#include <random>
#include <vector>

namespace tnBench {

// One pointer sample: pixels from the press point, y down as on a screen,
// and milliseconds since the press.
struct StrokeSample {
    int x = 0;
    int y = 0;
    double ms = 0.0;
};

// The marks of one measurement: menus of breadth items (4 or 8, the first
// East, counter-clockwise) and depth levels, angular noise as a standard
// deviation in degrees, and whether the last leg is an expert's short one
// (15 to 25 pixels instead of 45 to 90).
struct MarkCell {
    int breadth = 8;
    int depth = 1;
    double noiseDegrees = 10.0;
    bool shortLastLeg = false;
};

struct GeneratedMark {
    // The intended item at each level, 0..breadth-1 counter-clockwise from
    // East.
    std::vector<int> directions;
    // The press point (0, 0) first, then the moves; the release is at the
    // last.
    std::vector<StrokeSample> samples;
    // Every leg's actual angle lies inside its item's sector: the best any
    // reader of directions could do.
    bool insideSectors = false;
};

class MarkGenerator {
public:
    // The same cell and seed give the same marks.
    MarkGenerator(const MarkCell& cell, unsigned seed);
    GeneratedMark next();

private:
    double uniform(double low, double high);

    MarkCell m_cell;
    std::mt19937 m_random;
};

} // namespace tnBench
