// Wind rose and clock series: compass labels, hour numerals, the hands,
// the chart's axes while a clock is on it, and registration.

#include "chart/extensions/circular/PlotRoseSeries.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/extensions/circular/PlotCircular_p.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/DateTimeFormat.h"
#include "platform/core/PropertyInfo.h"
#include "platform/ui/Timer.h"

#include <QtCore/QDateTime>

#include <array>
#include <cmath>

namespace lp {

using circular::DegToRad;

namespace {

constexpr double MSecsPerDay = 86400000.0;

// The local date and time now as a date-time value.
double LocalNow()
{
    const QDateTime Now = QDateTime::currentDateTime();
    const QDate D = Now.date();
    const QTime T = Now.time();
    return EncodeDateTime(D.year(), D.month(), D.day(), T.hour(), T.minute(), T.second(), T.msec());
}

// The milliseconds of the day in a date-time value (its fraction; the
// fraction of a date before day 0 counts from midnight as well).
qint64 MillisecondsOfDay(double DateTime)
{
    if (!std::isfinite(DateTime))
        return 0;
    const double Fraction = std::fabs(DateTime - std::trunc(DateTime));
    return static_cast<qint64>(std::llround(Fraction * MSecsPerDay)) % static_cast<qint64>(MSecsPerDay);
}

} // namespace

// --- TCustom2DPolarSeries -----------------------------------------------------------------------

void TCustom2DPolarSeries::GalleryChanged3D(bool Is3D)
{
    TCustomPolarSeries::GalleryChanged3D(Is3D);
    if (ParentChart())
        ParentChart()->SetView3D(false);
}

void TCustom2DPolarSeries::PrepareForGallery(bool IsEnabled)
{
    TCustomPolarSeries::PrepareForGallery(IsEnabled);
    CircleLabelsFont()->SetSize(6);
    Pointer()->SetHorizSize(2);
    Pointer()->SetVertSize(2);
}

// --- TWindRoseSeries ----------------------------------------------------------------------------

TWindRoseSeries::TWindRoseSeries(TComponent* AOwner) : TCustom2DPolarSeries(AOwner)
{
    SetCircleLabels(true);
    SetRotationAngle(90);
}

QString TWindRoseSeries::GetCircleLabel(int Index, double Angle) const
{
    (void)Index;
    // Every 15 degrees from north (0) counter-clockwise; 360 is north again.
    static const std::array<const char*, 25> Directions{
        "N",    "NNNW", "NNW", "NW", "NWW", "NWWW", "W", "SWWW", "SWW", "SW", "SSW", "SSSW", "S",
        "SSSE", "SSE",  "SE",  "SEE", "SEEE", "E", "NEEE", "NEE", "NE", "NNE", "NNNE", "N"};
    if (FMirrorLabels)
        Angle = 360 - Angle;
    if (!std::isfinite(Angle) || std::fabs(Angle) > 1e6)
        return {};
    const long Degrees = std::lround(Angle);
    if (Degrees < 0 || Degrees > 360 || Degrees % 15 != 0)
        return {};
    return QString::fromLatin1(Directions[static_cast<size_t>(Degrees / 15)]);
}

void TWindRoseSeries::PrepareForGallery(bool IsEnabled)
{
    TCustom2DPolarSeries::PrepareForGallery(IsEnabled);
    SetAngleIncrement(45);
}

// --- TClockSeries -------------------------------------------------------------------------------

TClockSeries::TClockSeries(TComponent* AOwner) : TCustom2DPolarSeries(AOwner)
{
    SetShowInLegend(false);
    Pointer()->SetVisible(false);
    Brush()->SetStyle(TBrush::bsSolid);
    KeepStartAsDefault(*Brush(), {"Style"});
    SetCircleLabels(true);
    SetRotationAngle(90);
    SetCircled(true);
    AddXY(0, 0);
    FPenHours = CreateChartPen();
    FPenMinutes = CreateChartPen();
    FPenSeconds = CreateChartPen();
    FTimer = std::make_unique<TTimer>();
    FTimer->SetInterval(1000);
    FTimer->OnTimer = [this](TTimer* Sender) {
        Sender->SetEnabled(false);
        Repaint();
        Sender->SetEnabled(true);
    };
}

TClockSeries::~TClockSeries()
{
    FTimer.reset();
    TCustomAxisPanel* Chart = ParentChart();
    if (Chart && !Chart->IsDestroying())
        Chart->SetAxisVisible(FOldAxisVisible);
    // The pens call back into the series on change.
    FPenSeconds.reset();
    FPenMinutes.reset();
    FPenHours.reset();
}

void TClockSeries::Assign(const TPersistent* Source)
{
    if (const auto* S = qobject_cast<const TClockSeries*>(Source)) {
        FPenHours->Assign(S->FPenHours.get());
        FPenMinutes->Assign(S->FPenMinutes.get());
        FPenSeconds->Assign(S->FPenSeconds.get());
        FStyle = S->FStyle;
    }
    TCustom2DPolarSeries::Assign(Source);
}

void TClockSeries::SetParentChart(TCustomAxisPanel* Value)
{
    TCustomAxisPanel* Old = ParentChart();
    if (Old && Old != Value && !Old->IsDestroying())
        Old->SetAxisVisible(FOldAxisVisible);
    TCustom2DPolarSeries::SetParentChart(Value);
    // A chart being read keeps what the file holds: its axes' visibility
    // and the angle step.
    const bool Reading = Value && Value->IsLoading();
    if (!Reading)
        SetAngleIncrement(30);
    if (Value && Value != Old && !Reading) {
        FOldAxisVisible = Value->AxisVisible();
        Value->SetAxisVisible(false);
    }
}

void TClockSeries::SetStyle(TClockSeriesStyle Value)
{
    if (FStyle != Value) {
        FStyle = Value;
        Repaint();
    }
}

double TClockSeries::ClockTime()
{
    double Result = SystemTime ? SystemTime() : LocalNow();
    if (OnGetTime)
        OnGetTime(this, Result);
    return Result;
}

QString TClockSeries::GetCircleLabel(int Index, double Angle) const
{
    (void)Index;
    static const std::array<const char*, 12> Roman{"I",   "II",   "III", "IV", "V",  "VI",
                                                   "VII", "VIII", "IX",  "X",  "XI", "XII"};
    long Hour = std::isfinite(Angle) ? std::lround((360 - std::fmod(Angle, 360.0)) / 30) : 0;
    if (Hour < 0 || Hour > 12)
        Hour = (Hour % 12 + 12) % 12;
    if (FStyle == cssDecimal)
        return QString::number(Hour);
    return QString::fromLatin1(Roman[static_cast<size_t>(Hour == 0 ? 11 : Hour - 1)]);
}

void TClockSeries::DoBeforeDrawValues()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || Transparency() == 0) {
        TCustom2DPolarSeries::DoBeforeDrawValues();
        return;
    }
    TPlotCanvas3D& Canvas = Chart->Canvas();
    auto Blend = Canvas.BeginBlending(Chart->ChartRectangle(), Transparency());
    TCustom2DPolarSeries::DoBeforeDrawValues();
    Canvas.EndBlending(std::move(Blend));
}

TPoint TClockSeries::HandEnd(double Angle, double Factor) const
{
    TPoint P;
    AngleToPos(Angle * DegToRad, Factor * XRadius(), Factor * YRadius(), P.X, P.Y);
    return P;
}

void TClockSeries::DrawAllValues()
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    TPlotCanvas3D& Canvas = Chart->Canvas();
    const qint64 Ms = MillisecondsOfDay(ClockTime());
    const int Hour = static_cast<int>(Ms / 3600000);
    const int Minute = static_cast<int>(Ms / 60000 % 60);
    const double Second = (Ms % 60000) / 1000.0;
    const TPoint Centre{CircleXCenter(), CircleYCenter()};
    const int Z = FrameZ();
    Canvas.AssignBrush(*Brush(), GetSeriesColor());
    if (FPenHours->Visible()) {
        Canvas.AssignVisiblePen(*FPenHours);
        Canvas.Arrow(true, Centre, HandEnd(360 - (Hour * 60 + Minute) * 360.0 / 720, 1.3 / 2), 20, 14, Z, 100);
    }
    if (FPenMinutes->Visible()) {
        Canvas.AssignVisiblePen(*FPenMinutes);
        Canvas.Arrow(true, Centre, HandEnd(360 - Minute * 360.0 / 60, 1.7 / 2), 16, 10, Z, 100);
    }
    const TPoint SecondsTip = HandEnd(360 - Second * 360 / 60, 1.8 / 2);
    if (FPenSeconds->Visible()) {
        Canvas.AssignVisiblePen(*FPenSeconds);
        Canvas.LineWithZ(Centre.X, Centre.Y, SecondsTip.X, SecondsTip.Y, Z);
    }
    if (Pointer()->Visible()) {
        Pointer()->PrepareCanvas(Canvas, Pointer()->Color());
        Pointer()->Draw(SecondsTip.X, SecondsTip.Y);
    }
}

TColor TClockSeries::LegendItemColor(int LegendIndex) const
{
    (void)LegendIndex;
    return clNone;
}

void TClockSeries::GetLegendText(int LegendIndex, TLegendTextStyle TextStyle, QString& Text)
{
    (void)LegendIndex;
    (void)TextStyle;
    // The time of day only: any date the time source gives can be written.
    Text = FormatDateTime(QStringLiteral("tt"), MillisecondsOfDay(ClockTime()) / MSecsPerDay);
}

// --- Registration -------------------------------------------------------------------------------

void RegisterRoseSeries()
{
    RegisterPlotSeries<TWindRoseSeries>(&PlotMsg_GalleryWindRose, &PlotMsg_GalleryOther, 1);
    RegisterPlotSeries<TClockSeries>(&PlotMsg_GalleryClock, &PlotMsg_GalleryOther, 1);
}

void UnregisterRoseSeries()
{
    const std::initializer_list<const QMetaObject*> Classes = {&TWindRoseSeries::staticMetaObject,
                                                               &TClockSeries::staticMetaObject};
    UnRegisterPlotSeries(Classes);
    for (const QMetaObject* Meta : Classes)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
}

} // namespace lp
