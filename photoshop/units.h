#pragma once
// Lengths given in the application's ruler units become pixels at a document's resolution.

namespace photoshop {

// Ruler units in Photoshop's numbering: 1 pixels, 2 inches, 3 cm, 4 mm, 5 points, 6 picas,
// 7 percent (taken as pixels).
double toPixels(double value, int rulerUnits, double resolution);

}  // namespace photoshop
