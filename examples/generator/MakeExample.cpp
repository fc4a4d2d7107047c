// Makes the bundled example section: a 1000 m by 200 m section with three
// bodies that share nodes, a fixed node, a line and body parameters, a
// JPEG picture drawn for it and a well-log list with two logs.
//
//   make_example <folder>   writes example.sec, example.jpg, example.crt,
//                           well1-res.txt and well2-gk.txt into <folder>

#include "chart/engine/PlotAppearance.h"
#include "chart/engine/PlotChart.h"
#include "platform/graphics/Jpeg.h"
#include "section/editor/PolygonChart.h"
#include "section/editor/SectionFile.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtWidgets/QApplication>

#include <cmath>
#include <cstdio>

namespace lp {
namespace {

constexpr double Left = 0, Right = 1000, Top = 0, Bottom = 200;
constexpr int PictureWidth = 1500, PictureHeight = 300; // 1.5 pixels per metre

QPointF ToPicture(double X, double Y)
{
    return {X / (Right - Left) * PictureWidth, Y / (Bottom - Top) * PictureHeight};
}

// A scanned-looking section: layers in the bodies' places, drawn boundaries
// slightly off the model's, a grid, labels and wells.
QImage DrawSectionPicture()
{
    QImage image(PictureWidth, PictureHeight, QImage::Format_RGB32);
    image.fill(QColor(246, 241, 228));
    QPainter P(&image);
    P.setRenderHint(QPainter::Antialiasing);
    auto polygon = [](std::initializer_list<QPointF> Points) {
        QPolygonF result;
        for (QPointF p : Points)
            result << ToPicture(p.x(), p.y());
        return result;
    };
    P.setPen(QPen(QColor(90, 70, 50), 2.2));
    P.setBrush(QColor(226, 204, 150));
    P.drawPolygon(polygon({{100, 22}, {452, 18}, {448, 118}, {102, 121}}));
    P.setBrush(QColor(196, 160, 120));
    P.drawPolygon(polygon({{452, 18}, {820, 24}, {818, 122}, {448, 118}}));
    P.setBrush(QColor(150, 170, 190));
    P.drawPolygon(polygon({{300, 142}, {602, 139}, {652, 178}, {248, 181}}));
    P.setPen(QPen(QColor(40, 40, 160), 2, Qt::DashLine));
    P.setBrush(Qt::NoBrush);
    P.drawPolyline(polygon({{40, 190}, {300, 130}, {520, 128}, {760, 150}, {960, 135}}));
    // Grid every 100 m across and 50 m down.
    P.setPen(QPen(QColor(150, 150, 150, 120), 1, Qt::DotLine));
    for (int x = 100; x < 1000; x += 100)
        P.drawLine(ToPicture(x, 0), ToPicture(x, 200));
    for (int y = 50; y < 200; y += 50)
        P.drawLine(ToPicture(0, y), ToPicture(1000, y));
    // Wells and hand-written labels.
    P.setPen(QPen(QColor(20, 20, 20), 3));
    for (double x : {250.0, 700.0})
        P.drawLine(ToPicture(x, 0), ToPicture(x, 195));
    P.setPen(QColor(60, 40, 30));
    P.setFont(QFont(QStringLiteral("Liberation Serif"), 16, QFont::Bold, true));
    P.drawText(ToPicture(170, 75), QStringLiteral("sandstone  120 Ohm.m"));
    P.drawText(ToPicture(540, 75), QStringLiteral("clay  15 Ohm.m"));
    P.drawText(ToPicture(350, 168), QStringLiteral("lens  300 Ohm.m"));
    P.setFont(QFont(QStringLiteral("Liberation Sans"), 12));
    P.drawText(ToPicture(255, 12), QStringLiteral("W-1"));
    P.drawText(ToPicture(705, 12), QStringLiteral("W-2"));
    // Slight unevenness, as a scan has.
    for (int y = 0; y < PictureHeight; y += 3)
        for (int x = (y * 7) % 11; x < PictureWidth; x += 11) {
            const QColor c = image.pixelColor(x, y);
            image.setPixelColor(x, y, c.darker(103));
        }
    P.end();
    return image;
}

// A body with its colour (0x00BBGGRR), label, resistivity (ohm-metres) and
// polarizability (per cent), labelled by its resistivity.
void AddBody(TPolygonChart& Chart, arofcomplexM Points, int32_t Colour, const char* Label, double Resistivity,
             double Polarizability)
{
    if (!AddPolygon(Points, Chart.Model, Chart.Nodes))
        throw Exception("the example body was refused");
    TPolygonParams& params = Chart.Model[Chart.Model.Length() - 1][0].params;
    params[psColor] = ParamValue(Colour);
    // Plain coloured bodies: the new-body brush made solid (it hatches).
    std::unique_ptr<TChartBrush> brush = BrushSettingsFromText(QString::fromStdString(params[psBrush].AsText()));
    brush->SetStyle(TBrush::bsSolid);
    params[psBrush] = ParamValue(BrushSettingsToText(*brush).toStdString());
    params[psLabelText] = ParamValue(Label);
    params[psLabelMode] = ParamValue(int32_t{1});
    params[psResistivity] = ParamValue(Resistivity);
    params[psPolarizability] = ParamValue(Polarizability);
}

int NodeAt(const TPolygonChart& Chart, double X, double Y)
{
    for (int i = 0; i < Chart.Nodes.Length(); ++i)
        if (std::abs(Chart.Nodes[i].x - X) < 1e-6 && std::abs(Chart.Nodes[i].y - Y) < 1e-6)
            return i;
    throw Exception("no node at the expected place");
}

void MakeSection(const QString& Folder)
{
    TPolygonChart chart;
    chart.SetBounds(0, 0, 1200, 400);
    chart.NewModel({}, false, Left, Right, Top, Bottom);
    AddBody(chart, {{100, 20}, {450, 20}, {450, 120}, {100, 120}},
            0x5AC8E6, "Sandstone", 120.0, 2.0);
    AddBody(chart, {{460, 20}, {820, 20}, {820, 120}, {460, 120}},
            0x5A8CC8, "Clay", 15.0, 5.0);
    AddBody(chart, {{300, 140}, {600, 140}, {650, 180}, {250, 180}},
            0xC8A078, "Lens", 300.0, 1.0);
    // The clay's left edge is the sandstone's right edge: two shared nodes.
    chart.RebuildMapSeries();
    chart.TakeBackup();
    if (!chart.DoMergeNode(NodeAt(chart, 460, 20), NodeAt(chart, 450, 20), 0, 0) ||
        !chart.DoMergeNode(NodeAt(chart, 460, 120), NodeAt(chart, 450, 120), 0, 0))
        throw Exception("the shared nodes were refused");
    chart.Nodes[NodeAt(chart, 650, 180)].fixed = 1;
    line boundary;
    boundary.points = {{40, 190}, {300, 130}, {520, 128}, {760, 150}, {960, 135}};
    boundary.values = {MissingValue, MissingValue, MissingValue, MissingValue, MissingValue};
    chart.Lines.SetLength(1);
    chart.Lines[0] = boundary;
    chart.BuildLineSeries();
    const std::vector<std::string> faults = CheckModelInvariants(chart.Model, chart.Nodes, &chart.ModelArea);
    for (const std::string& fault : faults)
        std::fprintf(stderr, "make_example: %s\n", fault.c_str());
    if (!faults.empty())
        throw Exception("the example model is unsound");
    const std::string corners = FormatSectionReal(Left) + ' ' + FormatSectionReal(Top) + ' ' +
                                FormatSectionReal(Right) + ' ' + FormatSectionReal(Bottom);
    chart.WriteSection(Folder + QStringLiteral("/example.sec"),
                       {QByteArray("example.jpg"), QByteArray::fromStdString(corners), QByteArray()});
}

void WriteText(const QString& FileName, const QByteArray& Text)
{
    QFile file(FileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(Text) != Text.size())
        throw Exception("cannot write " + FileName.toStdString());
}

// Two logs: resistivity at W-1 (a curve, logarithmic) and gamma at W-2.
void MakeLogs(const QString& Folder)
{
    QByteArray resistivity;
    QByteArray gamma;
    for (int depth = 2; depth <= 196; depth += 2) {
        const double d = depth;
        const double res = d < 20 ? 40 : d < 120 ? 110 + 15 * std::sin(d / 7) : d < 140 ? 35 : d < 180 ? 280 : 30;
        const double gk = d < 20 ? 6 : d < 120 ? 14 + 3 * std::sin(d / 5) : 8 + 2 * std::cos(d / 9);
        resistivity += QByteArray::number(d) + ' ' + QByteArray::number(res, 'f', 1) + "\r\n";
        gamma += QByteArray::number(d) + ' ' + QByteArray::number(gk, 'f', 2) + "\r\n";
    }
    WriteText(Folder + QStringLiteral("/well1-res.txt"), resistivity);
    WriteText(Folder + QStringLiteral("/well2-gk.txt"), gamma);
    // Groups of three lines: data file, caption, numbers (position, half
    // width, kind, normalisation, group, colour, logarithmic, extra).
    WriteText(Folder + QStringLiteral("/example.crt"),
              "well1-res.txt\r\nW-1 resistivity\r\n250 6 0 0 1 255 1 0\r\n"
              "well2-gk.txt\r\nW-2 gamma\r\n700 6 0 0 2 16711680 0 0\r\n");
}

} // namespace
} // namespace lp

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_example <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    try {
        lp::InitializeChartLibrary();
        QDir().mkpath(folder);
        lp::TJPEGImage jpeg;
        jpeg.SetCompressionQuality(85);
        jpeg.SetImage(lp::DrawSectionPicture());
        QFile picture(folder + QStringLiteral("/example.jpg"));
        if (!picture.open(QIODevice::WriteOnly))
            throw lp::Exception("cannot write the picture");
        jpeg.SaveToStream(picture);
        picture.close();
        lp::MakeSection(folder);
        lp::MakeLogs(folder);
        lp::FinalizeChartLibrary();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_example: %s\n", error.what());
        return 1;
    }
    return 0;
}
