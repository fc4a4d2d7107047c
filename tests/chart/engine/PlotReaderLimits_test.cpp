// Extreme numbers through every reader of appearance data: the brush, pen,
// gradient, font, shadow and axis texts, the series settings text and the
// marks "Items" stream. Each number of a valid text (nested texts included)
// or each numeric property of a mark item is replaced in turn by INT_MAX,
// INT_MIN, 1e308, NaN and 100,000,000; the reader refuses the value or keeps
// it within its range, and the chart still paints afterwards (a paint that
// hung or raised once made such a chart unusable for good).

#include "chart/canvas/PlotEffects.h"
#include "chart/canvas/PlotPens.h"
#include "chart/engine/PlotAppearance.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotSeriesSettings.h"
#include "platform/base/Exception.h"
#include "platform/core/Streams.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawingLimits.h"

#include <QtCore/QBuffer>
#include <QtCore/QMetaProperty>
#include <QtCore/QtEndian>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>

namespace lp {
namespace {

const QStringList ExtremeNumbers = {QStringLiteral("2147483647"), QStringLiteral("-2147483648"),
                                    QStringLiteral("1e308"), QStringLiteral("nan"), QStringLiteral("100000000")};

bool IsSeparator(QChar C)
{
    return QStringLiteral("#$^&@~").contains(C);
}

// Text with each number (between any two separators, so nested texts are
// reached too) replaced in turn by each extreme number.
QStringList Variants(const QString& Text)
{
    QStringList Result;
    qsizetype Start = 0;
    while (Start <= Text.size()) {
        qsizetype End = Start;
        while (End < Text.size() && !IsSeparator(Text[End]))
            ++End;
        bool IsNumber = false;
        Text.mid(Start, End - Start).toDouble(&IsNumber);
        if (IsNumber)
            for (const QString& Extreme : ExtremeNumbers)
                Result << Text.left(Start) + Extreme + Text.mid(End);
        Start = End + 1;
    }
    return Result;
}

// A small 2-D chart with a line series whose marks show a callout, a shadow
// and a visible gradient, and whose pointer is visible.
struct TMarkedChart {
    TChart Chart;
    TLineSeries* Series = nullptr;

    explicit TMarkedChart(bool Is3D = false)
    {
        Chart.SetBounds(0, 0, 240, 160);
        Chart.SetView3D(Is3D);
        Chart.SetBufferedDisplay(false);
        Series = new TLineSeries(&Chart);
        Chart.AddSeries(Series);
        for (int I = 0; I < 4; ++I)
            Series->AddXY(I, 10 + I * 3, "p" + QString::number(I));
        Series->Pointer()->SetVisible(true);
        Series->Marks()->SetVisible(true);
        Series->Marks()->Callout()->SetVisible(true);
        Series->Marks()->Gradient()->SetVisible(true);
        Series->Marks()->Shadow()->SetTransparency(30);
        Chart.LeftAxis()->Title()->SetCaption("Depth");
    }

    // Paints into a bitmap; returns normally or fails the test.
    void Paint(const QString& Case)
    {
        try {
            Chart.CreateBitmap(clWhite, Chart.GetRectangle());
        } catch (const Exception& E) {
            ADD_FAILURE() << Case.toStdString() << ": the chart does not paint: " << E.Message();
        }
    }
};

// Reads every variant of Valid; a refused variant raises an lp::Exception,
// an accepted one is applied and the chart painted. Returns how many were
// accepted, so a table row cannot pass by refusing everything unseen.
int WalkVariants(TMarkedChart& Chart, const QString& Valid, const std::function<void(const QString&)>& Apply)
{
    int Accepted = 0;
    for (const QString& Text : Variants(Valid)) {
        try {
            Apply(Text);
        } catch (const Exception&) {
            continue; // refused as a whole
        }
        ++Accepted;
        Chart.Paint(Text);
        Apply(Valid);
    }
    return Accepted;
}

struct TReaderRow {
    const char* Kind;
    QString Valid;
    std::function<void(const QString&)> Apply;
    bool WholeChart = false; // an axis or series text: walked in the 2-D view only
};

QString RadialGradientText()
{
    TPlotGradient Gradient;
    Gradient.SetDirection(gdRadial);
    Gradient.SetRadialX(5);
    Gradient.SetRadialY(-5);
    Gradient.SetBalance(30);
    return GradientSettingsToText(Gradient);
}

// The readers with a valid text each and where their result goes.
std::vector<TReaderRow> ReaderRows(TMarkedChart& C)
{
    // The rows outlive this call: their functions keep pointers.
    TSeriesMarks* M = C.Series->Marks();
    TMarkedChart* Chart = &C;
    return {
        {"brush", BrushSettingsToText(*M->Brush()),
         [M, Chart](const QString& T) {
             const auto Brush = BrushSettingsFromText(T);
             M->Brush()->Assign(Brush.get());
             Chart->Series->Brush()->Assign(Brush.get());
         }},
        {"pen", PenSettingsToText(*M->Pen()),
         [M, Chart](const QString& T) {
             const auto Pen = PenSettingsFromText(T);
             M->Pen()->Assign(Pen.get());
             Chart->Series->LinePen()->Assign(Pen.get());
             Chart->Chart.LeftAxis()->Axis()->Assign(Pen.get());
         }},
        {"gradient", GradientSettingsToText(*M->Gradient()),
         [M, Chart](const QString& T) {
             const auto Gradient = GradientSettingsFromText(T);
             Gradient->SetVisible(true);
             M->SetGradient(Gradient.get());
             Chart->Series->Pointer()->SetGradient(Gradient.get());
         }},
        {"gradient radial", RadialGradientText(),
         [M](const QString& T) {
             const auto Gradient = GradientSettingsFromText(T);
             Gradient->SetVisible(true);
             M->SetGradient(Gradient.get());
         }},
        {"font", FontSettingsToText(*M->Font()),
         [M, Chart](const QString& T) {
             const auto Font = FontSettingsFromText(T);
             M->Font()->Assign(Font.get());
             Chart->Chart.LeftAxis()->LabelsFont()->Assign(Font.get());
         }},
        {"shadow", ShadowSettingsToText(*M->Shadow()),
         [M](const QString& T) {
             const auto Shadow = ShadowSettingsFromText(T);
             M->SetShadow(Shadow.get());
             M->Font()->SetShadow(Shadow.get());
         }},
        {"axis", AxisSettingsToText(*Chart->Chart.LeftAxis()),
         [Chart](const QString& T) { AxisSettingsFromText(*Chart->Chart.LeftAxis(), T, false); }, true},
        {"series settings", SeriesSettingsToText(Chart->Series),
         [Chart](const QString& T) { SeriesSettingsFromText(Chart->Series, T); }, true},
    };
}

TEST(ReaderLimits, ExtremeNumbersInAppearanceTextsAreRefusedOrKeptInRange)
{
    for (const bool Is3D : {false, true}) {
        TMarkedChart C(Is3D);
        for (const TReaderRow& Row : ReaderRows(C)) {
            if (Is3D && Row.WholeChart)
                continue;
            SCOPED_TRACE(std::string(Row.Kind) + (Is3D ? ", 3-D" : ", 2-D"));
            EXPECT_GT(WalkVariants(C, Row.Valid, Row.Apply), 0);
        }
    }
}

// Bar marks push each other apart by rectangles widened by frame width and
// shadow; pie marks hang on callouts. Their series texts, walked the same way.
TEST(ReaderLimits, ExtremeNumbersInBarAndPieSeriesTextsAreRefusedOrKeptInRange)
{
    for (const bool Pie : {false, true}) {
        SCOPED_TRACE(Pie ? "pie" : "bar");
        TMarkedChart C;
        C.Chart.RemoveSeries(C.Series);
        TChartSeries* Series = Pie ? static_cast<TChartSeries*>(new TPieSeries(&C.Chart)) : new TBarSeries(&C.Chart);
        C.Chart.AddSeries(Series);
        for (int I = 0; I < 4; ++I)
            Series->AddXY(I, 10 + I * 3, "p" + QString::number(I));
        Series->Marks()->SetVisible(true);
        Series->Marks()->Callout()->SetVisible(true);
        Series->Marks()->Callout()->SetArrowHead(TCallout::ahSolid);
        const auto Apply = [Series](const QString& T) { SeriesSettingsFromText(Series, T); };
        EXPECT_GT(WalkVariants(C, SeriesSettingsToText(Series), Apply), 0);
    }
}

TEST(ReaderLimits, OutOfRangeSizesAreRefusedWithAMessage)
{
    // Values that drawing once trusted: each reader names the field it refuses.
    const struct {
        QString Text;
        const char* Message;
    } Rows[] = {
        {"0&0&0&1&0&4&2147483647", "Pen width 2147483647 is outside 0 .. 16384"},
        {"-2147483648$0$0$536870911$65535$0$16777215$1", "Gradient balance -2147483648 is outside 0 .. 100"},
        {"50$7$100000000$536870911$65535$0$16777215$1", "Gradient radial offset 100000000 is outside -16384 .. 16384"},
        {"100000000@0@0@0@0", "Shadow size 100000000 is outside -16384 .. 16384"},
        {"1^0^-2147483648^0^8^96^0^0^50$0$0$536870911$65535$0$16777215$0^0000^Arial",
         "Font height -2147483648 is outside -16384 .. 16384"},
        {"1^0^-11^2147483647^8^96^0^0^50$0$0$536870911$65535$0$16777215$0^0000^Arial",
         "Font inter-character size 2147483647 is outside -16384 .. 16384"},
    };
    for (const auto& Row : Rows) {
        SCOPED_TRACE(Row.Text.toStdString());
        try {
            if (Row.Text.contains('@'))
                ShadowSettingsFromText(Row.Text);
            else if (Row.Text.contains('^'))
                FontSettingsFromText(Row.Text);
            else if (Row.Text.contains('$'))
                GradientSettingsFromText(Row.Text);
            else
                PenSettingsFromText(Row.Text);
            ADD_FAILURE() << "accepted";
        } catch (const ERangeError& E) {
            EXPECT_EQ(E.Message(), Row.Message);
        }
    }
}

TEST(ReaderLimits, AxisTextWithOutOfRangeTickLengthChangesNothing)
{
    TMarkedChart C;
    TChartAxis& Axis = *C.Chart.LeftAxis();
    QStringList F = AxisSettingsToText(Axis).split(AxisSettingsSeparator);
    F[30] = QStringLiteral("2147483647"); // TickLength
    const QString Before = AxisSettingsToText(Axis);
    EXPECT_THROW(AxisSettingsFromText(Axis, F.join(AxisSettingsSeparator), false), ERangeError);
    EXPECT_EQ(AxisSettingsToText(Axis), Before);
    C.Paint("tick length");
}

// Setters keep every value in range, whoever calls them (streaming, editors,
// computed sizes): the axis once overflowed adding pen width and tick length.
TEST(ReaderLimits, AxisAndPointerSettersClampToTheirRanges)
{
    TMarkedChart C;
    TChartAxis& Axis = *C.Chart.LeftAxis();
    Axis.SetTickLength(INT_MAX);
    Axis.SetTickInnerLength(INT_MIN);
    Axis.SetMinorTickLength(INT_MAX);
    Axis.SetMinorTickCount(INT_MAX);
    Axis.SetLabelsSeparation(INT_MAX);
    Axis.SetLabelsSize(100000000);
    Axis.SetTitleSize(INT_MIN);
    Axis.SetMaximumOffset(INT_MAX);
    Axis.SetMinimumOffset(INT_MIN);
    Axis.Axis()->SetWidth(INT_MAX);
    Axis.MinorTicks()->SetVisible(true);
    EXPECT_EQ(Axis.TickLength(), MaxPixelLength);
    EXPECT_EQ(Axis.TickInnerLength(), -MaxPixelLength);
    EXPECT_EQ(Axis.MinorTickCount(), MaxMinorTickCount);
    EXPECT_EQ(Axis.LabelsSeparation(), MaxLabelsSeparation);
    EXPECT_EQ(Axis.Axis()->Width(), MaxPixelLength);
    EXPECT_EQ(Axis.CalcTicksSize(), 2 * MaxPixelLength + 1);

    TSeriesPointer& Pointer = *C.Series->Pointer();
    Pointer.SetHorizSize(INT_MAX);
    Pointer.SetVertSize(100000000);
    EXPECT_EQ(Pointer.HorizSize(), MaxPixelLength);
    EXPECT_THROW(Pointer.SetVertSize(INT_MIN), ChartException);
    TMarksCallout& Callout = *C.Series->Marks()->Callout();
    Callout.SetLength(INT_MIN);
    Callout.SetDistance(INT_MAX);
    Callout.SetArrowHeadSize(INT_MAX);
    Callout.SetArrowHead(TCallout::ahSolid);
    EXPECT_EQ(Callout.Length(), -MaxPixelLength);
    C.Series->Marks()->SetBevel(TCustomPanelNoCaption::bvRaised);
    C.Series->Marks()->SetBevelWidth(INT_MAX);
    EXPECT_EQ(C.Series->Marks()->BevelWidth(), MaxPixelLength);
    C.Paint("clamped setters");
}

// Rounded limits once multiplied a huge limit by a tiny step's quotient to
// infinity; the axis text then held "inf", which its reader refuses.
TEST(ReaderLimits, RoundedLimitsStayFinite)
{
    TMarkedChart C;
    TChartAxis& Axis = *C.Chart.LeftAxis();
    const double Huge = std::numeric_limits<double>::max();
    Axis.SetMinMax(-Huge, Huge);
    Axis.SetIncrement(1e-300);
    Axis.SetRoundedLimits(true);
    Axis.AdjustMaxMin();
    EXPECT_EQ(Axis.Maximum(), Huge);
    EXPECT_EQ(Axis.Minimum(), -Huge);
    C.Paint("huge rounded limits");
    const QString Text = AxisSettingsToText(Axis);
    EXPECT_FALSE(Text.contains(QStringLiteral("inf")));
    TMarkedChart Other;
    AxisSettingsFromText(*Other.Chart.LeftAxis(), Text, false);
    EXPECT_EQ(Other.Chart.LeftAxis()->Maximum(), Huge);

    Axis.SetMinMax(0, 1.7e308);
    Axis.SetIncrement(1e308);
    Axis.AdjustMaxMin();
    EXPECT_EQ(Axis.Maximum(), 1.7e308); // 2e308 would be infinite: not rounded
    EXPECT_EQ(Axis.Minimum(), 0);
    C.Paint("rounding beyond the largest double");
}

// --- Marks "Items" ------------------------------------------------------------------------------

// The dotted names of the numeric properties of Object and its sub-objects.
void CollectNumberProperties(const QObject& Object, const QByteArray& Prefix, QList<QByteArray>& Out, int Depth = 0)
{
    const QMetaObject* Meta = Object.metaObject();
    for (int I = 0; I < Meta->propertyCount(); ++I) {
        const QMetaProperty Property = Meta->property(I);
        const QByteArray Name = Prefix + Property.name();
        const int Type = Property.metaType().id();
        if (Property.isEnumType() || Type == QMetaType::Int || Type == QMetaType::Double) {
            Out << Name;
        } else if (Depth < 3 && Property.metaType().flags().testFlag(QMetaType::PointerToQObject)) {
            const QVariant Value = Property.read(&Object);
            if (const QObject* Sub = Value.isValid() ? *static_cast<QObject* const*>(Value.constData()) : nullptr)
                CollectNumberProperties(*Sub, Name + '.', Out, Depth + 1);
        }
    }
}

// One item list holding one property: INT32 for the integers, a double for
// the reals (the stream's own value forms).
QByteArray ItemsWith(const QByteArray& Name, double Value)
{
    QByteArray Data;
    const auto PutInt32 = [&](qint32 V) {
        char Bytes[4];
        qToLittleEndian(V, Bytes);
        Data.append(Bytes, 4);
    };
    PutInt32(1);
    Data.append(char(1)); // list start
    Data.append(char(Name.size()));
    Data.append(Name);
    if (std::isfinite(Value) && Value >= INT_MIN && Value <= INT_MAX) {
        Data.append(char(4));
        PutInt32(static_cast<qint32>(Value));
    } else {
        char Bytes[8];
        qToLittleEndian(Value, Bytes);
        Data.append(char(21));
        Data.append(Bytes, 8);
    }
    Data.append(char(0)); // end of the properties
    Data.append(char(0)); // list end
    return Data;
}

TEST(ReaderLimits, ExtremeNumbersInMarkItemsAreRefusedOrKeptInRange)
{
    TMarkedChart C;
    TSeriesMarks& Marks = *C.Series->Marks();
    QList<QByteArray> Names;
    TMarksItem Sample;
    Sample.Shadow();
    Sample.Gradient();
    CollectNumberProperties(Sample, QByteArray(), Names);
    ASSERT_TRUE(Names.contains("BevelWidth"));
    ASSERT_TRUE(Names.contains("Shadow.HorizSize"));
    ASSERT_TRUE(Names.contains("Font.Height"));
    const double Values[] = {INT_MAX, INT_MIN, 1e308, std::numeric_limits<double>::quiet_NaN(), 100000000};
    int Accepted = 0;
    for (const QByteArray& Name : Names) {
        for (const double Value : Values) {
            QByteArray Data = ItemsWith(Name, Value);
            QBuffer Buffer(&Data);
            Buffer.open(QIODevice::ReadOnly);
            try {
                Marks.ReadItems(Buffer);
            } catch (const EReadError&) {
                continue;
            }
            ++Accepted;
            C.Paint(QString::fromLatin1(Name) + " = " + QString::number(Value));
        }
    }
    EXPECT_GT(Accepted, 0);
    const auto Read = [&](const QByteArray& Name, double Value) {
        QByteArray Data = ItemsWith(Name, Value);
        QBuffer Buffer(&Data);
        Buffer.open(QIODevice::ReadOnly);
        Marks.ReadItems(Buffer);
    };
    // What was taken lies within the ranges.
    Read("BevelWidth", INT_MAX);
    ASSERT_EQ(Marks.Items().Count(), 1);
    EXPECT_EQ(Marks.Items().Find(0)->BevelWidth(), MaxPixelLength);
    // Brush styles go on past the named ones into the pattern bitmaps and
    // end with them: a style beyond made every paint raise.
    Read("Brush.Style", 56);
    C.Paint("the last pattern");
    EXPECT_THROW(Read("Brush.Style", 57), EReadError);
    EXPECT_THROW(Read("Bevel", 4), EReadError);
}

// The shadow and the bevel once looped as many times as their size asked
// (100,000,000 band lines, INT_MAX frame rings); a 3-D chart draws the
// shadow's bands through the projection.
TEST(ReaderLimits, HugeShadowAndBevelPaintInBothViews)
{
    for (const bool Is3D : {false, true}) {
        TMarkedChart C(Is3D);
        TSeriesMarks& Marks = *C.Series->Marks();
        Marks.SetGradient(nullptr);
        Marks.Shadow()->SetTransparency(0);
        Marks.Shadow()->SetSize(100000000);
        Marks.SetBevel(TCustomPanelNoCaption::bvLowered);
        Marks.SetBevelWidth(INT_MAX);
        EXPECT_EQ(Marks.Shadow()->Size(), MaxPixelLength);
        C.Paint(Is3D ? "3-D" : "2-D");
        Marks.Shadow()->SetSize(INT_MIN);
        Marks.Shadow()->SetTransparency(50);
        C.Paint(Is3D ? "3-D, negative" : "2-D, negative");
    }
}

} // namespace
} // namespace lp
