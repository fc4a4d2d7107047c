#pragma once
// Checks that a fill stays inside its shape.
//
// A test draws the same shape twice on the same background: once filled
// the way under test (a gradient, say) and once plainly with a solid brush.
// Every pixel the first drawing inked must lie on or next to a pixel of the
// plain shape (one pixel of slack for edges that two routes round
// differently), and the first drawing must cover most of the plain shape.
// On failure both pictures and a picture of the stray pixels go to the
// build's test-artifacts folder.

#include <QtCore/QString>
#include <QtGui/QImage>

#include <gtest/gtest.h>

namespace lp::test {

struct TFillComparison {
    int Outside = 0;     // inked pixels with no plain-shape pixel within one pixel
    int PlainPixels = 0; // pixels of the plain shape
    int Covered = 0;     // pixels of the plain shape the fill inked too
    QImage Picture;      // grey: the plain shape, red: pixels outside it
};

// Inked: different from Background (alpha ignored).
TFillComparison CompareFill(const QImage& Filled, const QImage& Plain, QRgb Background);

// A mask of what a drawing added to a picture: white where Base and Drawn
// agree, black where they differ (so the masks of a plain and of a filled
// drawing over the same Base can be compared on white).
QImage ChangedPixels(const QImage& Base, const QImage& Drawn);

// Nothing outside the plain shape and at least MinCoverage of it covered.
::testing::AssertionResult FillStaysInside(const QImage& Filled, const QImage& Plain, QRgb Background,
                                           const QString& Name, double MinCoverage = 0.9);

} // namespace lp::test
