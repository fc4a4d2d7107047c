#include "ReferenceImage.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace lp::test {

QString ReferenceFolder()
{
    return QStringLiteral(LP_REFERENCE_DIR);
}

QString ArtifactFolder()
{
    return QStringLiteral(LP_ARTIFACT_DIR);
}

TImageDifference CompareImages(const QImage& ActualImage, const QImage& ExpectedImage, int ChannelTolerance)
{
    TImageDifference Result;
    const QImage Actual = ActualImage.convertToFormat(QImage::Format_ARGB32);
    const QImage Expected = ExpectedImage.convertToFormat(QImage::Format_ARGB32);
    Result.SameSize = Actual.size() == Expected.size();
    if (!Result.SameSize)
        return Result;
    Result.Picture = QImage(Actual.size(), QImage::Format_RGB32);
    Result.Picture.fill(Qt::black);
    for (int Y = 0; Y < Actual.height(); ++Y) {
        const auto* A = reinterpret_cast<const QRgb*>(Actual.constScanLine(Y));
        const auto* E = reinterpret_cast<const QRgb*>(Expected.constScanLine(Y));
        for (int X = 0; X < Actual.width(); ++X) {
            const int Step = std::max({std::abs(qRed(A[X]) - qRed(E[X])), std::abs(qGreen(A[X]) - qGreen(E[X])),
                                       std::abs(qBlue(A[X]) - qBlue(E[X])), std::abs(qAlpha(A[X]) - qAlpha(E[X]))});
            Result.LargestChannelStep = std::max(Result.LargestChannelStep, Step);
            if (Step > ChannelTolerance) {
                ++Result.DifferentPixels;
                Result.Picture.setPixel(X, Y, qRgb(255, 0, 0));
            }
        }
    }
    return Result;
}

namespace {

QString SavedTo(const QImage& Image, const QString& Path)
{
    QDir().mkpath(QFileInfo(Path).absolutePath());
    return Image.save(Path) ? Path : QStringLiteral("(could not write %1)").arg(Path);
}

} // namespace

::testing::AssertionResult MatchesReference(const QImage& Actual, const QString& Group, const QString& Name,
                                            int ChannelTolerance, int MaxDifferentPixels)
{
    const QString Reference = ReferenceFolder() + QLatin1Char('/') + Group + QLatin1Char('/') + Name + ".png";
    const QString Base = ArtifactFolder() + QLatin1Char('/') + Group + QLatin1Char('/') + Name;
    const QString ActualPath = SavedTo(Actual, Base + ".actual.png");
    if (qEnvironmentVariableIntValue("LP_UPDATE_REFERENCES") == 1) {
        SavedTo(Actual, Reference);
        return ::testing::AssertionSuccess() << "reference written: " << Reference.toStdString();
    }
    QImage Expected;
    if (!Expected.load(Reference))
        return ::testing::AssertionFailure()
               << "no reference image " << Reference.toStdString() << " (run with LP_UPDATE_REFERENCES=1 to create it;"
               << " the rendering is in " << ActualPath.toStdString() << ")";
    const TImageDifference Difference = CompareImages(Actual, Expected, ChannelTolerance);
    if (!Difference.SameSize)
        return ::testing::AssertionFailure() << "size " << Actual.width() << "x" << Actual.height() << " differs from the"
                                             << " reference's " << Expected.width() << "x" << Expected.height();
    if (Difference.DifferentPixels <= MaxDifferentPixels)
        return ::testing::AssertionSuccess();
    SavedTo(Expected, Base + ".expected.png");
    const QString DiffPath = SavedTo(Difference.Picture, Base + ".diff.png");
    return ::testing::AssertionFailure() << Difference.DifferentPixels << " pixels differ by more than "
                                         << ChannelTolerance << " (at most " << MaxDifferentPixels << " allowed; largest step "
                                         << Difference.LargestChannelStep << "); see " << ActualPath.toStdString()
                                         << " and " << DiffPath.toStdString();
}

} // namespace lp::test
