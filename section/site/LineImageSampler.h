#pragma once
// A line's image read at any distance along its track and depth below its
// ground: log10 of the resistivity and the coverage, linear between the
// cells' centres (in depth within a column, then across the two columns
// whose middles enclose the distance), held beyond the outermost centres.
// Between two cells of one layer the value is that layer's; across a
// boundary it blends over the two cells' half heights.
//
// Depths are those of CellDepths: below the ground half way across each
// column, the centre of a cell half way between its top and bottom.

#include "section/site/SiteInversion.h"

#include <string>
#include <vector>

namespace lp {

struct TImageSample {
    double LogResistivity = 0.0; // log10 of ohm-m
    double Coverage = 0.0;       // 0 .. 1
};

// Refuses (EForwardError naming Label) an unusable mesh, a count of
// resistivities or coverages that is not one per cell (no coverage at all
// reads as full coverage) and a resistivity that is not a finite number
// above 0.
void CheckLineImage(const TLineImage& Image, const std::string& Label);

// A cell's coverage as the site reads it (Image checked): 1 without any
// coverage, 0 for one that is not a finite number, else clamped to 0 .. 1.
double CellCoverage(const TLineImage& Image, int Cell);

class TLineImageSampler {
public:
    // Refuses what CheckLineImage refuses.
    TLineImageSampler(const TLineImage& Image, const std::string& Label);

    TImageSample At(double Distance, double Depth) const;

    // The depth of the image's deepest cell bottom (the bottom row under
    // the highest ground).
    double DeepestDepth() const { return FDeepest; }

private:
    struct TColumn {
        double Middle = 0.0;               // x half way across the column
        std::vector<double> Depths;        // of the cells' centres, down the column
        std::vector<TImageSample> Samples; // per cell, down the column
    };

    static TImageSample AtDepth(const TColumn& Column, double Depth);

    std::vector<TColumn> FColumns;
    double FDeepest = 0.0;
};

} // namespace lp
