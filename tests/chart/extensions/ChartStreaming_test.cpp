// Every registered series, function and tool class streams: a chart holding
// one of each is written and read back, in the binary and the text form,
// with and without points, and must give the same text and the same pixels.
// Each of them also starts with the stored defaults its class declares.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotFunction.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotTools.h"
#include "chart/extensions/circular/PlotRoseSeries.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/ComponentStream.h"
#include "platform/core/PropertyInfo.h"
#include "platform/graphics/Bitmap.h"
#include "tests/chart/extensions/ExtensionsTestUtil.h"

#include <QtCore/QBuffer>
#include <QtCore/QScopeGuard>

#include <set>

#include <gtest/gtest.h>

namespace lp {
namespace {

// The first series of the chart that a reference property of Instance may
// point at goes into every such property, so references are streamed too.
void PointReferencesAtSeries(QObject* Instance, TCustomAxisPanel& Chart)
{
    for (const QMetaProperty& P : PublishedProperties(Instance)) {
        const QMetaObject* Target = P.metaType().metaObject();
        if (!Target || !Target->inherits(&TComponent::staticMetaObject) || !P.isWritable())
            continue;
        for (int I = 0; I < Chart.SeriesCount(); ++I) {
            QObject* Series = Chart.Series(I);
            if (Series->metaObject()->inherits(Target)) {
                P.write(Instance, QVariant(P.metaType(), &Series));
                break;
            }
        }
    }
}

// A chart with a series of every registered series and function type and a
// tool of every registered tool class.
void FillWithEveryClass(TChart& Chart, bool WithData)
{
    Chart.SetBounds(0, 0, 480, 360);
    Chart.SetBufferedDisplay(false);
    TChartSeries::RandomSeed(29);
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    for (int I = 0; I < Types.Count(); ++I) {
        const TPlotSeriesType& Type = *Types[I];
        const QMetaObject* SeriesClass = Type.SeriesClass ? Type.SeriesClass : &TLineSeries::staticMetaObject;
        TChartSeries* Series = CreateNewSeries(nullptr, &Chart, SeriesClass, Type.FunctionClass);
        if (WithData && !Type.FunctionClass) {
            Series->FillSampleValues(6);
            // As points a user entered: a map series stores its polygons'
            // points only then.
            Series->SetManualData(true);
            Series->SetSaveData(true);
        }
    }
    for (int I = 0; I < PlotToolTypes()->Count(); ++I) {
        TComponent* Tool = CreateComponent(TPersistent::ClassNameOf(*PlotToolTypes()->Items(I)), &Chart);
        Tool->SetName(QStringLiteral("ChartTool%1").arg(I + 1));
        Tool->SetParentComponent(&Chart);
        PointReferencesAtSeries(Tool, Chart);
    }
}

QByteArray ToBinary(TComponent& Root)
{
    QBuffer Out;
    Out.open(QIODevice::WriteOnly);
    TComponentWriter(&Root).WriteDescendent(Out, &Root);
    return Out.data();
}

QImage Render(TChart& Chart)
{
    return Chart.CreateBitmap(clWhite, Chart.GetRectangle())->ToImage();
}

void ReadBinaryInto(const QByteArray& Bytes, TChart& Chart, bool WithData)
{
    QBuffer In;
    In.setData(Bytes);
    In.open(QIODevice::ReadOnly);
    TComponentReader().ReadRootComponent(In, &Chart);
    // Whether points were entered by hand is not stored: mark them as in
    // the original, so both write the same text.
    for (int I = 0; WithData && I < Chart.SeriesCount(); ++I)
        if (!Chart.Series(I)->SeriesFunction()) {
            Chart.Series(I)->SetManualData(true);
            Chart.Series(I)->SetSaveData(true);
        }
    Chart.SetBounds(0, 0, 480, 360);
    Chart.SetBufferedDisplay(false);
}

class ChartStreaming : public ::testing::TestWithParam<bool> {};

TEST_P(ChartStreaming, EveryRegisteredClassRoundTripsInBothForms)
{
    // A clock shows the time: the original and its copies must show one.
    TClockSeries::SystemTime = [] { return 45000.4; };
    const auto RestoreTime = qScopeGuard([] { TClockSeries::SystemTime = {}; });
    TChart Original;
    FillWithEveryClass(Original, GetParam());
    ASSERT_GT(Original.SeriesCount(), 10);
    // A paint may change what the chart stores (a funnel hides its vertical
    // axis as it draws): the text is the one of the chart as painted.
    const QImage Picture = Render(Original);
    const QByteArray Text = test::ComponentText(Original);
    for (int I = 0; I < PlotToolTypes()->Count(); ++I)
        EXPECT_TRUE(Text.contains(": " + TPersistent::ClassNameOf(*PlotToolTypes()->Items(I)).toUtf8()));

    // Binary.
    TChart FromBinary;
    ReadBinaryInto(ToBinary(Original), FromBinary, GetParam());
    EXPECT_EQ(test::ComponentText(FromBinary).toStdString(), Text.toStdString());
    EXPECT_EQ(Render(FromBinary), Picture);

    // Text: converted to binary and read.
    QBuffer TextIn;
    TextIn.setData(Text);
    TextIn.open(QIODevice::ReadOnly);
    QBuffer Binary;
    Binary.open(QIODevice::WriteOnly);
    ObjectTextToBinary(TextIn, Binary);
    TChart FromText;
    ReadBinaryInto(Binary.data(), FromText, GetParam());
    EXPECT_EQ(test::ComponentText(FromText).toStdString(), Text.toStdString());
    EXPECT_EQ(Render(FromText), Picture);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutData, ChartStreaming, ::testing::Values(false, true));

// "Path = value (default d)" for each stored property of Object, and of the
// sub-objects below it, whose value differs from its default (the one its
// owner kept as the instance's own, else the declared one). A value set
// back to such a default is not written, and the object read from the file
// starts with the other value.
void CollectStreamingStartsOffDefault(const QObject* Object, const QString& Path, QStringList& Found,
                                      std::set<const QObject*>& Seen)
{
    if (!Object || !Seen.insert(Object).second)
        return;
    for (const QMetaProperty& P : PublishedProperties(Object)) {
        // A component's Name is streamed as its object's name; a value
        // list's Name is its series' label for it, in the user's language.
        if (!P.isReadable() || !P.isStored() || qstrcmp(P.name(), "Name") == 0)
            continue;
        const QMetaObject* Target = P.metaType().metaObject();
        if (Target && Target->inherits(&TComponent::staticMetaObject))
            continue;
        const QVariant Value = P.read(Object);
        const QString Name = Path + QString::fromLatin1(P.name());
        if (Value.metaType().flags() & QMetaType::PointerToQObject) {
            // Sub-objects made on first use are looked at too: they are
            // made as soon as a user edits them.
            CollectStreamingStartsOffDefault(*static_cast<QObject* const*>(Value.constData()), Name + '.', Found,
                                             Seen);
            continue;
        }
        const QVariant Default = PropertyDefault(Object, P.name());
        if (Default.isValid() && Value != Default)
            Found << QStringLiteral("%1 = %2 (default %3)").arg(Name, Value.toString(), Default.toString());
    }
}

QStringList StreamingStartsOffDefault(const QObject& Object)
{
    QStringList Found;
    std::set<const QObject*> Seen;
    CollectStreamingStartsOffDefault(&Object, TPersistent::ClassNameOf(*Object.metaObject()) + '.', Found, Seen);
    return Found;
}

TEST(ChartStreamingDefaults, EveryRegisteredClassStartsWithItsDeclaredDefaults)
{
    TChart Chart;
    QStringList Found;
    const TPlotSeriesTypes& Types = *PlotSeriesTypes();
    for (int I = 0; I < Types.Count(); ++I) {
        const TPlotSeriesType& Type = *Types[I];
        const QMetaObject* SeriesClass = Type.SeriesClass ? Type.SeriesClass : &TLineSeries::staticMetaObject;
        TChartSeries* Series = CreateNewSeries(nullptr, &Chart, SeriesClass, Type.FunctionClass);
        Found << StreamingStartsOffDefault(*Series);
        if (Series->SeriesFunction())
            Found << StreamingStartsOffDefault(*Series->SeriesFunction());
    }
    for (int I = 0; I < PlotToolTypes()->Count(); ++I) {
        TComponent* Tool = CreateComponent(TPersistent::ClassNameOf(*PlotToolTypes()->Items(I)), &Chart);
        Tool->SetParentComponent(&Chart);
        Found << StreamingStartsOffDefault(*Tool);
    }
    Found.removeDuplicates();
    EXPECT_TRUE(Found.isEmpty()) << Found.join('\n').toStdString();
}

} // namespace
} // namespace lp
