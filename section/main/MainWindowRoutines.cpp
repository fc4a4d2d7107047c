#include "section/main/MainWindowRoutines.h"

#include "platform/base/Exception.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QtEndian>

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

namespace {

QString WithExtension(const QString& FileName, const QString& Extension)
{
    const QFileInfo info(FileName);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + Extension;
}

} // namespace

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

TPaperScaleSize PaperScaleSize(const TPaperScaleInput& Input)
{
    RequirePositive(Input.HorizontalScale, "The horizontal scale");
    RequirePositive(Input.VerticalScale, "The vertical scale");
    RequirePositive(Input.Resolution, "The print resolution");
    const double pixelsPerCm = Input.Resolution / 2.54;
    const double width = std::abs(Input.HorizontalSpan) / Input.HorizontalScale * pixelsPerCm +
                         (Input.ChartWidth - Input.BottomAxisPixels);
    const double height = std::abs(Input.VerticalSpan) / Input.VerticalScale * pixelsPerCm +
                          (Input.ChartHeight - Input.LeftAxisPixels);
    constexpr double maxSide = 20000.0;
    constexpr double maxPixels = 200e6;
    if (!std::isfinite(width) || !std::isfinite(height) || width < 1.0 || height < 1.0 || width > maxSide ||
        height > maxSide || width * height > maxPixels)
        RaiseConvertError("A picture of %s by %s pixels cannot be made: choose smaller scales or resolution",
                          {std::to_string(std::lround(std::min(width, 1e12))),
                           std::to_string(std::lround(std::min(height, 1e12)))});
    return {static_cast<int>(std::lround(width)), static_cast<int>(std::lround(height))};
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
