#include "FillInside.h"

#include "ReferenceImage.h"

#include <QtCore/QDir>

namespace lp::test {

namespace {

bool Inked(const QImage& Image, int X, int Y, QRgb Background)
{
    return (Image.pixel(X, Y) & 0xFFFFFF) != (Background & 0xFFFFFF);
}

// A plain-shape pixel at (X, Y) or one of its eight neighbours.
bool NearPlain(const QImage& Plain, int X, int Y, QRgb Background)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const int x = X + dx;
            const int y = Y + dy;
            if (x >= 0 && y >= 0 && x < Plain.width() && y < Plain.height() && Inked(Plain, x, y, Background))
                return true;
        }
    return false;
}

} // namespace

TFillComparison CompareFill(const QImage& Filled, const QImage& Plain, QRgb Background)
{
    TFillComparison Result;
    Result.Picture = QImage(Plain.size(), QImage::Format_RGB32);
    Result.Picture.fill(Qt::white);
    for (int Y = 0; Y < Plain.height(); ++Y)
        for (int X = 0; X < Plain.width(); ++X) {
            const bool plain = Inked(Plain, X, Y, Background);
            const bool filled = X < Filled.width() && Y < Filled.height() && Inked(Filled, X, Y, Background);
            if (plain) {
                ++Result.PlainPixels;
                Result.Covered += filled;
                Result.Picture.setPixel(X, Y, qRgb(192, 192, 192));
            } else if (filled && !NearPlain(Plain, X, Y, Background)) {
                ++Result.Outside;
                Result.Picture.setPixel(X, Y, qRgb(255, 0, 0));
            }
        }
    return Result;
}

QImage ChangedPixels(const QImage& Base, const QImage& Drawn)
{
    QImage Mask(Drawn.size(), QImage::Format_RGB32);
    Mask.fill(Qt::white);
    for (int Y = 0; Y < Drawn.height(); ++Y)
        for (int X = 0; X < Drawn.width(); ++X) {
            const bool inBase = X < Base.width() && Y < Base.height();
            if (!inBase || (Base.pixel(X, Y) & 0xFFFFFF) != (Drawn.pixel(X, Y) & 0xFFFFFF))
                Mask.setPixel(X, Y, qRgb(0, 0, 0));
        }
    return Mask;
}

::testing::AssertionResult FillStaysInside(const QImage& Filled, const QImage& Plain, QRgb Background,
                                           const QString& Name, double MinCoverage)
{
    if (Filled.size() != Plain.size())
        return ::testing::AssertionFailure() << Name.toStdString() << ": the pictures differ in size";
    const TFillComparison Result = CompareFill(Filled, Plain, Background);
    const bool covered = Result.PlainPixels > 0 && Result.Covered >= MinCoverage * Result.PlainPixels;
    if (Result.Outside == 0 && covered)
        return ::testing::AssertionSuccess();
    const QString Folder = ArtifactFolder() + QStringLiteral("/fill-inside");
    QDir().mkpath(Folder);
    Filled.save(Folder + QLatin1Char('/') + Name + QStringLiteral("-filled.png"));
    Plain.save(Folder + QLatin1Char('/') + Name + QStringLiteral("-plain.png"));
    Result.Picture.save(Folder + QLatin1Char('/') + Name + QStringLiteral("-outside.png"));
    return ::testing::AssertionFailure() << Name.toStdString() << ": " << Result.Outside
                                         << " pixels inked outside the shape, " << Result.Covered << " of "
                                         << Result.PlainPixels << " shape pixels covered (pictures in "
                                         << Folder.toStdString() << ")";
}

} // namespace lp::test
