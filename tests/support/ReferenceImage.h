#pragma once
// Reference-image checks for drawing tests.
//
// A test renders into a QImage and compares it with a stored reference
// under tests/data/reference/<Group>/<Name>.png, channel by channel with a
// tolerance and a cap on the number of differing pixels (fonts and
// antialiasing differ slightly between machines). Every run writes the
// rendered image to the build's test-artifacts folder; a failing one also
// writes the expected image and a difference picture there.
// LP_UPDATE_REFERENCES=1 in the environment writes the reference instead
// (after a deliberate change to the drawing).

#include <QtCore/QString>
#include <QtGui/QImage>

#include <gtest/gtest.h>

namespace lp::test {

struct TImageDifference {
    bool SameSize = false;
    int DifferentPixels = 0;      // pixels with a channel beyond the tolerance
    int LargestChannelStep = 0;   // the largest channel difference found
    QImage Picture;               // black where equal, red where different
};

// Compares two images; a pixel differs when one of its channels differs by
// more than ChannelTolerance.
TImageDifference CompareImages(const QImage& Actual, const QImage& Expected, int ChannelTolerance);

// The comparison with the stored reference of Group/Name.
::testing::AssertionResult MatchesReference(const QImage& Actual, const QString& Group, const QString& Name,
                                            int ChannelTolerance = 32, int MaxDifferentPixels = 200);

// The folders used (the reference folder in the sources, the artifacts
// folder in the build).
QString ReferenceFolder();
QString ArtifactFolder();

} // namespace lp::test
