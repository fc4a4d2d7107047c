#pragma once
// Helpers shared by the engine suites: a concrete chart and a listener that
// records series events.

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotEngine.h"

#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotValueList.h"
#include "platform/core/ClassRegistry.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Metafile.h"
#include "platform/graphics/RecordingDC.h"
#include "tests/support/FillInside.h"

#include <QtCore/QBuffer>
#include <QtTest/QTest>
#include <QtWidgets/QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <initializer_list>
#include <memory>
#include <vector>

namespace lp::test {

// The axis panel with the simplest walls and colour test: a colour is free
// when no other series of the chart uses it.
class TTestChart : public TCustomAxisPanel {
public:
    explicit TTestChart(TComponent* AOwner = nullptr) : TCustomAxisPanel(AOwner) {}

    bool IsFreeSeriesColor(TColor AColor, bool, const TChartSeries* Series) const override
    {
        for (TChartSeries* S : SeriesList())
            if (S != Series && S->GetSeriesColor() == AColor)
                return false;
        return true;
    }

protected:
    void CalcWallsRect() override {}
    int CalcWallSize(const TChartAxis*) const override { return 0; }
    void DrawTitlesAndLegend(bool) override {}
    void DrawWalls() override {}
};

// Records the series events a chart broadcasts.
class TSeriesEventRecorder : public IPlotEventListener {
public:
    struct TEntry {
        int Event;
        TCustomChartSeries* Series;
    };
    explicit TSeriesEventRecorder(TCustomPlotPanel& Panel) : FPanel(Panel) { Panel.Listeners().Add(this); }
    ~TSeriesEventRecorder() override { FPanel.RemoveListener(this); }

    void PlotEvent(TPlotEvent& Event) override
    {
        if (auto* E = dynamic_cast<TPlotSeriesEvent*>(&Event))
            Entries.push_back({E->Event, E->Series});
        else if (dynamic_cast<TChartChangePage*>(&Event))
            ++PageChanges;
    }
    std::vector<int> Codes() const
    {
        std::vector<int> Result;
        for (const TEntry& E : Entries)
            Result.push_back(E.Event);
        return Result;
    }

    std::vector<TEntry> Entries;
    int PageChanges = 0;

private:
    TCustomPlotPanel& FPanel;
};

// A horizontal series: X holds the values, Y the positions.
class THorizTestSeries : public TChartSeries {
public:
    explicit THorizTestSeries(TComponent* AOwner = nullptr) : TChartSeries(AOwner)
    {
        SetHorizontal();
        XValues()->SetOrder(loNone);
        YValues()->SetOrder(loAscending);
    }
};

// Lays the axes of Chart over a pixel span and a range, as a paint would.
inline void PlaceAxes(TCustomAxisPanel& Chart, const TRect& Rect)
{
    Chart.SetChartRectangle(Rect);
    for (TChartAxis* Axis : Chart.AxesList()) {
        if (Axis->Horizontal())
            Axis->SetPixelSpan(Rect.Left, Rect.Right);
        else
            Axis->SetPixelSpan(Rect.Top, Rect.Bottom);
        Axis->AdjustMaxMin();
    }
}

// The pixels of a picture that have exactly the colour Color.
inline int CountPixelsOf(const QImage& Picture, QRgb Color)
{
    int Count = 0;
    for (int Y = 0; Y < Picture.height(); ++Y)
        for (int X = 0; X < Picture.width(); ++X)
            Count += Picture.pixel(X, Y) == Color ? 1 : 0;
    return Count;
}

// Binds the chart's canvas to a bitmap of its size, as a paint pass would;
// the bitmap must outlive the drawing.
inline std::unique_ptr<TBitmap> BindCanvas(TCustomAxisPanel& Chart)
{
    auto Target = std::make_unique<TBitmap>(Chart.Width(), Chart.Height());
    Chart.Canvas().InitWindow(&Target->Canvas(), Chart.View3DOptions(), clWhite, false, Chart.GetRectangle());
    return Target;
}

// The ways a chart is seen, each as an image of the chart's size: its
// window on the screen, a bitmap, and an EMF and a WMF (saved and read
// back) played onto white.
enum class TChartPictureKind { Window, Bitmap, Emf, Wmf };

inline const char* ChartPictureKindName(TChartPictureKind Kind)
{
    switch (Kind) {
    case TChartPictureKind::Window: return "window";
    case TChartPictureKind::Bitmap: return "bitmap";
    case TChartPictureKind::Emf: return "emf";
    case TChartPictureKind::Wmf: return "wmf";
    }
    return "";
}

inline QImage ChartPicture(TCustomPlotPanel& Chart, TChartPictureKind Kind)
{
    const TRect Rect = Chart.GetRectangle();
    switch (Kind) {
    case TChartPictureKind::Window: {
        QWidget* Window = Chart.Widget();
        Window->show();
        if (!QTest::qWaitForWindowExposed(Window))
            return {};
        Chart.Invalidate();
        Window->repaint();
        QImage Shown = Window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        Window->hide();
        return Shown;
    }
    case TChartPictureKind::Bitmap:
        return Chart.CreateBitmap(clWhite, Rect)->ToImage();
    case TChartPictureKind::Emf:
        return Chart.CreateMetafile(true, Rect)->ToImage();
    case TChartPictureKind::Wmf: {
        QBuffer Bytes;
        Bytes.open(QIODevice::ReadWrite);
        Chart.CreateMetafile(false, Rect)->SaveToStream(Bytes);
        Bytes.seek(0);
        TMetafile Played;
        Played.LoadFromStream(Bytes);
        return Played.ToImage();
    }
    }
    return {};
}

// Picture(Filled, Gradient, Kind) draws the chart on one kind of picture.
// On every kind, what the gradient fill inks over the unfilled drawing
// stays inside what a plain fill inks (pictures named Name-<kind>).
inline void ExpectGradientInsideOnEveryKind(const std::function<QImage(bool, bool, TChartPictureKind)>& Picture,
                                            const QString& Name)
{
    for (auto Kind : {TChartPictureKind::Window, TChartPictureKind::Bitmap, TChartPictureKind::Emf,
                      TChartPictureKind::Wmf}) {
        const QImage Base = Picture(false, false, Kind);
        const QImage Plain = ChangedPixels(Base, Picture(true, false, Kind));
        const QImage Filled = ChangedPixels(Base, Picture(true, true, Kind));
        EXPECT_TRUE(FillStaysInside(Filled, Plain, qRgb(255, 255, 255),
                                    Name + QLatin1Char('-') + QLatin1String(ChartPictureKindName(Kind))));
    }
}

// A chart over (0, 0)-(400, 200) drawing unbuffered onto a recording device,
// its horizontal axes fixed to 0 .. XMax (X at pixel 400 X / XMax) and its
// vertical ones to 0 .. YMax (V at pixel 200 - 200 V / YMax).
// A chart that counts its repaint requests (setters must repaint only when
// a value changes).
template <class TBase = TTestChart>
class TCountingChart : public TBase {
public:
    void Invalidate() override
    {
        ++Invalidations;
        TBase::Invalidate();
    }
    int Invalidations = 0;
};

struct TFixedAxesChart {
    TRecordingDC DC{500, 300};
    TCanvas Target{&DC};
    TTestChart Chart;

    TFixedAxesChart(bool Is3D, double XMax, double YMax)
    {
        const TRect Rect{0, 0, 400, 200};
        Chart.SetBounds(0, 0, 500, 300);
        Chart.SetView3D(Is3D);
        Chart.SetBufferedDisplay(false);
        Chart.SetChartRectangle(Rect);
        Chart.Canvas().InitWindow(&Target, Chart.View3DOptions(), clWhite, Is3D, Chart.GetRectangle());
        Chart.Canvas().ResetState();
        Chart.Canvas().SetProjection(Is3D ? 30 : 0, Rect);
        for (TChartAxis* Axis : Chart.AxesList())
            Axis->SetMinMax(0, Axis->Horizontal() ? XMax : YMax);
        PlaceAxes(Chart, Rect);
    }
    // The layout steps of a paint: grouping, bar widths and margins, the
    // visible range.
    void Layout()
    {
        for (TChartSeries* S : Chart.SeriesList())
            S->DoBeforeDrawChart();
        for (TChartSeries* S : Chart.SeriesList()) {
            int A = 0;
            int B = 0;
            S->CalcHorizMargins(A, B);
            S->CalcVertMargins(A, B);
            S->CalcFirstLastVisibleIndex();
        }
    }
    // The drawing calls since the last ClearCalls: each MoveTo/LineTo pair as
    // "Line(x0,y0,x1,y1)", and the calls starting with one of Kept as
    // recorded.
    QStringList DrawnCalls(std::initializer_list<const char*> Kept) const
    {
        QStringList Result;
        QString From;
        for (const QString& Call : DC.Calls()) {
            if (Call.startsWith(QLatin1String("MoveTo("))) {
                From = Call.mid(7, Call.size() - 8);
            } else if (Call.startsWith(QLatin1String("LineTo("))) {
                const QString To = Call.mid(7, Call.size() - 8);
                Result << QStringLiteral("Line(%1,%2)").arg(From, To);
                From = To;
            } else {
                for (const char* Prefix : Kept)
                    if (Call.startsWith(QLatin1String(Prefix)))
                        Result << Call;
            }
        }
        return Result;
    }
};

// A chart drawing unbuffered onto a recording device, with one series whose
// depths are DepthStart, DepthStart + 5 (its marks) and DepthStart + 10.
struct TRecordedChart {
    TRecordingDC DC{1000, 1000};
    TCanvas Target{&DC};
    TTestChart Chart;
    TChartSeries* Series = nullptr;

    explicit TRecordedChart(bool Is3D = false, int DepthStart = 10)
    {
        const TRect Rect{0, 0, 400, 200};
        Chart.SetView3D(Is3D);
        Chart.SetBufferedDisplay(false);
        Chart.SetChartRectangle(Rect);
        Chart.SetDepth3D(Is3D ? 30 : 0);
        Series = new TChartSeries(&Chart);
        Chart.AddSeries(Series);
        Series->SetDepthPositions(DepthStart, DepthStart + 5, DepthStart + 10);
        Chart.Canvas().InitWindow(&Target, Chart.View3DOptions(), clWhite, Is3D, Chart.GetRectangle());
        Chart.Canvas().ResetState();
        Chart.Canvas().SetProjection(Is3D ? 30 : 0, Rect);
        DC.ClearCalls();
    }
    TPlotCanvas3D& Canvas() { return Chart.Canvas(); }
    TSeriesMarks& Marks() { return *Series->Marks(); }
    // The index of the first call equal to Call, -1 when none.
    int IndexOf(const QString& Call) const { return static_cast<int>(DC.Calls().indexOf(Call)); }
    // The last call before Index that starts with Prefix.
    QString LastBefore(int Index, const QString& Prefix) const
    {
        for (int I = Index - 1; I >= 0; --I)
            if (DC.Calls()[I].startsWith(Prefix))
                return DC.Calls()[I];
        return {};
    }
    // The calls that draw (no state changes).
    QStringList Drawing() const
    {
        QStringList Result;
        for (const QString& Call : DC.Calls())
            for (const char* Prefix : {"MoveTo(", "LineTo(", "Polygon(", "Polyline(", "Rectangle(", "Ellipse(",
                                       "SetPixel(", "RoundRect("})
                if (Call.startsWith(QLatin1String(Prefix)))
                    Result << Call;
        return Result;
    }
};

// The recorded form of a line from (X0, Y0) to (X1, Y1).
inline QString Line(int X0, int Y0, int X1, int Y1)
{
    return QStringLiteral("Line(%1,%2,%3,%4)").arg(X0).arg(Y0).arg(X1).arg(Y1);
}

// Every series, function and tool class the registries list, once each.
inline std::vector<const QMetaObject*> RegistryClasses()
{
    std::vector<const QMetaObject*> Classes;
    const auto Add = [&Classes](const QMetaObject* Class) {
        if (Class && std::find(Classes.begin(), Classes.end(), Class) == Classes.end())
            Classes.push_back(Class);
    };
    if (const TPlotSeriesTypes* Types = PlotSeriesTypes())
        for (int I = 0; I < Types->Count(); ++I) {
            Add(Types->Items(I)->SeriesClass);
            Add(Types->Items(I)->FunctionClass);
        }
    if (const TPlotToolTypes* Tools = PlotToolTypes())
        for (int I = 0; I < Tools->Count(); ++I)
            Add(Tools->Items(I));
    return Classes;
}

// Creates each class by its name from the class registry, as a chart file
// is read, owned by Owner; expects an instance of that very class.
inline void ExpectCreatedByName(const std::vector<const QMetaObject*>& Classes, TComponent& Owner)
{
    for (const QMetaObject* Class : Classes) {
        const QString Name = TPersistent::ClassNameOf(*Class);
        TComponent* Created = nullptr;
        EXPECT_NO_THROW(Created = CreateComponent(Name, &Owner)) << Name.toStdString();
        EXPECT_TRUE(Created && Created->metaObject() == Class) << Name.toStdString();
    }
}

// Watches the points added to a series: how many, and how many AddXY puts
// before the end of the X list, which searches the list and shifts every
// later value of every list. A series computed with output in order shifts
// none.
class TInsertWatch {
public:
    explicit TInsertWatch(TChartSeries& Series) : FSeries(Series)
    {
        Series.OnBeforeAdd = [this](TChartSeries* Sender) {
            const TChartValueList& X = *Sender->XValues();
            const int N = X.Count();
            const double New = X.TempValue();
            ++Added;
            if (N > 0 && ((X.Order() == loAscending && New < X.Last()) ||
                          (X.Order() == loDescending && New > X.Last())))
                ++Shifted;
            return true;
        };
    }
    ~TInsertWatch() { FSeries.OnBeforeAdd = nullptr; }
    TInsertWatch(const TInsertWatch&) = delete;
    TInsertWatch& operator=(const TInsertWatch&) = delete;

    int Added = 0;
    int Shifted = 0;

private:
    TChartSeries& FSeries;
};

} // namespace lp::test
