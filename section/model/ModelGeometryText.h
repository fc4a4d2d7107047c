#pragma once
// The texts of a model export: the geometry file a mesh generator reads
// (NAME.geo) and the table of its regions (NAME.csv).

#include "section/model/ModelGeometry.h"

#include <string>

namespace lp {

// The geometry script: one mesh size variable lc (the frame's width / 40),
// the points, every edge once as a line, one plane surface per face with
// its hole loops, the lines embedded in the surface they lie in, and the
// physical groups: a surface per region ("Host medium" tag 1, each ring
// after it, its parameters in a comment above), the curve "Frame" and a
// curve per line.
std::string FormatGmshGeometry(const TModelGeometry& geometry);
// One row per region, the host medium first:
// tag,body,ring,label,resistivity,polarizability,area. A parameter not set
// is left empty.
std::string FormatRegionTable(const TModelGeometry& geometry);
// The shortest text that reads back as the same double.
std::string FormatExactReal(double value);

} // namespace lp
