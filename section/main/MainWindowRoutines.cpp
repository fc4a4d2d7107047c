#include "section/main/MainWindowRoutines.h"

#include "chart/editors/TypedNumberEdit.h"
#include "platform/base/Exception.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QtEndian>

#include <algorithm>
#include <cmath>
#include <limits>

namespace lp {

QString SectionFileFromArguments(const QStringList& Arguments)
{
    // The splash switches are not part of the name.
    QStringList parts;
    for (const QString& argument : Arguments)
        if (argument.compare(QStringLiteral("-ns"), Qt::CaseInsensitive) != 0 &&
            argument.compare(QStringLiteral("/ns"), Qt::CaseInsensitive) != 0)
            parts << argument;
    const QString name = parts.join(QLatin1Char(' '));
    return name.endsWith(QStringLiteral(".sec"), Qt::CaseInsensitive) ? name : QString();
}

QString ResolvePicturePath(const QString& StoredPath, const QString& SectionFile)
{
    if (!StoredPath.isEmpty() && QFileInfo(StoredPath).isFile())
        return StoredPath;
    // The stored path may come from another machine, with either separator.
    QString pictureName = StoredPath;
    pictureName.replace(QLatin1Char('\\'), QLatin1Char('/'));
    pictureName = QFileInfo(pictureName).fileName();
    if (pictureName.isEmpty())
        return {};
    const QString beside = QFileInfo(SectionFile).absolutePath() + QLatin1Char('/') + pictureName;
    return QFileInfo(beside).isFile() ? beside : QString();
}

QString WithExtension(const QString& FileName, const QString& Extension)
{
    const QFileInfo info(FileName);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + Extension;
}

QString SectionFileName(const QString& FileName)
{
    return WithExtension(FileName, QStringLiteral(".sec"));
}

QString PictureFileName(const QString& FileName, bool Automatic)
{
    const bool paperScale = !Automatic && QFileInfo(FileName).suffix().toLower() != QStringLiteral("emf");
    return WithExtension(FileName, paperScale ? QStringLiteral(".bmp") : QStringLiteral(".emf"));
}

std::optional<TPolygonEditMode> ModeForKey(TModeKey Key, TPolygonEditMode Current, double NodeDistance,
                                           double LineDistance)
{
    const bool lineNearer = LineDistance <= NodeDistance;
    auto pick = [&](TPolygonEditMode NodeMode, TPolygonEditMode LineMode) -> std::optional<TPolygonEditMode> {
        if (Current == NodeMode || Current == LineMode)
            return std::nullopt;
        return lineNearer ? LineMode : NodeMode;
    };
    switch (Key) {
    case TModeKey::Shift:
        return pick(pmMoveNode, pmMoveLineNode);
    case TModeKey::Alt:
        return pick(pmAddNode, pmAddLineNode);
    case TModeKey::Ctrl:
        return pick(pmDeleteNode, pmDeleteLineNode);
    case TModeKey::Escape:
        return pmAddNode;
    }
    return std::nullopt;
}

double NearestNodeDistance(const TPolygonChart& Chart, double X, double Y)
{
    double plain = 0.0;
    double scaled = std::numeric_limits<double>::infinity();
    if (FindNearestNode(complexM{X, Y}, Chart.Nodes, plain, Chart.ScaleX, Chart.ScaleY, scaled) < 0)
        return std::numeric_limits<double>::infinity();
    return scaled;
}

double NearestLinePointDistance(const TPolygonChart& Chart, double X, double Y)
{
    double plain = 0.0;
    double scaled = 0.0;
    int line = -1;
    int point = -1;
    FindNearestLinePoint(complexM{X, Y}, Chart.Lines, plain, line, point, Chart.ScaleX, Chart.ScaleY, scaled);
    return line < 0 ? std::numeric_limits<double>::infinity() : scaled;
}

namespace {

void RequirePositive(double Value, const char* What)
{
    if (!std::isfinite(Value) || Value <= 0.0)
        RaiseConvertError("%s must be a positive number", {What});
}

} // namespace

TPaperScalePlot PaperScalePlotPixels(const TPaperScaleInput& Input)
{
    RequirePositive(Input.HorizontalScale, "The horizontal scale");
    RequirePositive(Input.VerticalScale, "The vertical scale");
    RequirePositive(Input.Resolution, "The print resolution");
    const double pixelsPerCm = Input.Resolution / 2.54;
    return {std::abs(Input.HorizontalSpan) / Input.HorizontalScale * pixelsPerCm,
            std::abs(Input.VerticalSpan) / Input.VerticalScale * pixelsPerCm};
}

TPaperScaleSize PaperScaleSize(const TPaperScaleInput& Input)
{
    const TPaperScalePlot plot = PaperScalePlotPixels(Input);
    const double width = plot.Width + (Input.ChartWidth - Input.BottomAxisPixels);
    const double height = plot.Height + (Input.ChartHeight - Input.LeftAxisPixels);
    CheckPaperScalePicture(width, height);
    return {static_cast<int>(std::lround(width)), static_cast<int>(std::lround(height))};
}

void CheckPaperScalePicture(double Width, double Height)
{
    constexpr double maxSide = 20000.0;
    constexpr double maxPixels = 200e6;
    if (!std::isfinite(Width) || !std::isfinite(Height) || Width < 1.0 || Height < 1.0 || Width > maxSide ||
        Height > maxSide || Width * Height > maxPixels)
        RaiseConvertError("A picture of %s by %s pixels cannot be made: choose smaller scales or resolution",
                          {std::to_string(std::lround(std::clamp(Width, -1e12, 1e12))),
                           std::to_string(std::lround(std::clamp(Height, -1e12, 1e12)))});
}

double PaperScaleNumber(const QString& Text, const char* What, const QLocale& Locale)
{
    // Letters or an empty field are no scale either: the same message as
    // for zero, rather than a picture of a made-up size.
    const std::optional<double> value = TypedReal(Text, Locale);
    if (!value)
        RaiseConvertError("%s must be a positive number", {What});
    RequirePositive(*value, What);
    return *value;
}

namespace {

// One side's next size: the pixels missing divided by the plot's growth per
// pixel of picture, at least one pixel towards the target.
int CorrectedSide(int Side, int Plot, int Target, double Growth)
{
    if (Plot == Target)
        return Side;
    int step = static_cast<int>(std::lround((Target - Plot) / Growth));
    if (step == 0)
        step = Target > Plot ? 1 : -1;
    return Side + step;
}

// The plot's growth per pixel of picture between two layouts, kept when the
// two cannot tell it, and held to a sane range against rounding noise.
double Growth(double Previous, int SideBefore, int SideAfter, int PlotBefore, int PlotAfter)
{
    if (SideAfter == SideBefore || PlotAfter == PlotBefore)
        return Previous;
    const double growth = double(PlotAfter - PlotBefore) / double(SideAfter - SideBefore);
    return std::clamp(growth, 0.05, 20.0);
}

} // namespace

TPaperScaleSize FitPaperScaleSize(TPaperScaleSize First, TPaperScalePlot Wanted,
                                  const std::function<TPaperScaleSize(TPaperScaleSize)>& PlotPixelsAt)
{
    const int targetWidth = static_cast<int>(std::lround(Wanted.Width));
    const int targetHeight = static_cast<int>(std::lround(Wanted.Height));
    const auto error = [&](TPaperScaleSize Plot) {
        return std::max(std::abs(Plot.Width - Wanted.Width), std::abs(Plot.Height - Wanted.Height));
    };
    CheckPaperScalePicture(First.Width, First.Height);
    TPaperScaleSize size = First;
    TPaperScaleSize plot = PlotPixelsAt(size);
    TPaperScaleSize best = size;
    double bestError = error(plot);
    double growthX = 1.0;
    double growthY = 1.0;
    constexpr int rounds = 6;
    for (int round = 0; round < rounds && (plot.Width != targetWidth || plot.Height != targetHeight); ++round) {
        const TPaperScaleSize next{CorrectedSide(size.Width, plot.Width, targetWidth, growthX),
                                   CorrectedSide(size.Height, plot.Height, targetHeight, growthY)};
        CheckPaperScalePicture(next.Width, next.Height);
        const TPaperScaleSize nextPlot = PlotPixelsAt(next);
        growthX = Growth(growthX, size.Width, next.Width, plot.Width, nextPlot.Width);
        growthY = Growth(growthY, size.Height, next.Height, plot.Height, nextPlot.Height);
        size = next;
        plot = nextPlot;
        if (error(plot) <= bestError) {
            best = size;
            bestError = error(plot);
        }
    }
    return best;
}

void PatchBitmapResolution(const QString& FileName, double Resolution)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadWrite))
        throw Exception("Cannot open " + FileName.toStdString() + ": " + file.errorString().toStdString());
    // File header (14 bytes) and the info header's size.
    const QByteArray head = file.read(18);
    if (head.size() < 18 || !head.startsWith("BM"))
        return;
    if (qFromLittleEndian<quint32>(head.constData() + 14) != 40)
        return;
    // Width, height, planes, bit count, compression, image size: 20 bytes
    // to offset 38, then the two resolution fields.
    const auto perMetre = static_cast<qint32>(std::lround(Resolution * 39.37007874));
    char fields[8];
    qToLittleEndian<qint32>(perMetre, fields);
    qToLittleEndian<qint32>(perMetre, fields + 4);
    if (!file.seek(38) || file.write(fields, 8) != 8 || !file.flush())
        throw Exception("Cannot write " + FileName.toStdString() + ": " + file.errorString().toStdString());
}

} // namespace lp
