#include "chart/engine/PlotChart.h"

#include "chart/canvas/PlotBlend.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAppearance.h"
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotFastLine.h"
#include "chart/engine/PlotFunctions.h"
#include "chart/engine/PlotImageTool.h"
#include "chart/engine/PlotSeries.h"
#include "chart/engine/PlotMarks.h"
#include "chart/engine/PlotPieSeries.h"
#include "chart/engine/PlotMapSeries.h"
#include "chart/engine/PlotRegistry.h"
#include "chart/engine/PlotSeriesSource.h"
#include "chart/engine/PlotTools.h"
#include "platform/core/ClassRegistry.h"
#include "platform/graphics/Picture.h"

#include <QtWidgets/QWidget>

#include <algorithm>
#include <cmath>

namespace lp {

namespace {

// The captions of the right-click menus.
const QString MenuOptions = QStringLiteral("Options");
const QString MenuVisible = QStringLiteral("Visible");
const QString MenuXAuto = QStringLiteral("X auto");
const QString MenuYAuto = QStringLiteral("Y auto");
const QString MenuDefault = QStringLiteral("Default");

} // namespace

TChartEditorEntryPoints& ChartEditorEntryPoints()
{
    static TChartEditorEntryPoints EntryPoints;
    return EntryPoints;
}

// --- Creation --------------------------------------------------------------------------------------

TCustomChart::TCustomChart(TComponent* AOwner) : TCustomAxisPanel(AOwner)
{
    SetRepaintEnabled(false);
    FTitle = std::make_unique<TChartTitle>(this);
    FSubTitle = std::make_unique<TChartTitle>(this);
    FFoot = std::make_unique<TChartFootTitle>(this);
    FSubFoot = std::make_unique<TChartFootTitle>(this);
    FWalls = std::make_unique<TChartWalls>(this);
    SetView3DWalls(true);
    FLegend = std::make_unique<TChartLegend>(this);
    if (IsDesigning())
        FTitle->Text()->Add(ClassName());
    SetRepaintEnabled(true);
}

TCustomChart::~TCustomChart()
{
    SetRepaintEnabled(false);
}

void TCustomChart::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TCustomChart*>(Source)) {
        FColorPaletteIndex = Other->FColorPaletteIndex;
        FTitle->Assign(Other->FTitle.get());
        FSubTitle->Assign(Other->FSubTitle.get());
        FFoot->Assign(Other->FFoot.get());
        FSubFoot->Assign(Other->FSubFoot.get());
        FLegend->Assign(Other->FLegend.get());
        FScrollMouseButton = Other->FScrollMouseButton;
        FWalls->Assign(Other->FWalls.get());
    }
    TCustomAxisPanel::Assign(Source);
}

void TCustomChart::DefineProperties(TFiler& Filer)
{
    TCustomAxisPanel::DefineProperties(Filer);
    Filer.DefineProperty(
        QStringLiteral("BackColor"), [this](const QVariant& V) { ApplyBackColor(*BackWall(), V, IsLoading()); }, {},
        false);
    Filer.DefineProperty(
        QStringLiteral("ColorPaletteIndex"), [this](const QVariant& V) { SetColorPaletteIndex(V.toInt()); },
        [this] { return QVariant(FColorPaletteIndex); }, FColorPaletteIndex >= 1);
}

TChartBackWall* TCustomChart::BackWall() const
{
    return FWalls->Back();
}

TChartWall* TCustomChart::BottomWall() const
{
    return FWalls->Bottom();
}

TChartWall* TCustomChart::LeftWall() const
{
    return FWalls->Left();
}

TChartRightWall* TCustomChart::RightWall() const
{
    return FWalls->Right();
}

void TCustomChart::SetBackWall(const TChartBackWall* Value)
{
    BackWall()->Assign(Value);
}

void TCustomChart::SetBottomWall(const TChartWall* Value)
{
    BottomWall()->Assign(Value);
}

void TCustomChart::SetLeftWall(const TChartWall* Value)
{
    LeftWall()->Assign(Value);
}

void TCustomChart::SetRightWall(const TChartRightWall* Value)
{
    RightWall()->Assign(Value);
}

TChartPen* TCustomChart::Frame() const
{
    return BackWall()->Pen();
}

void TCustomChart::SetFrame(const TChartPen* Value)
{
    BackWall()->SetPen(Value);
}

void TCustomChart::SetColorPaletteIndex(int Value)
{
    // Palettes 1 .. 9 become the chart's own palette; 0 (and any unknown
    // index) clears it, so the default palette applies again. The index is
    // kept either way so that stored charts keep their choice.
    SetChartPalette(*this, ColorPaletteColors(Value));
    FColorPaletteIndex = Value;
    Invalidate();
}

// --- The axis panel's abstract parts ---------------------------------------------------------------

TColor TCustomChart::GetBackColor() const
{
    return ChartBackColor(*this, *FWalls);
}

bool TCustomChart::IsFreeSeriesColor(TColor AColor, bool CheckBackground, const TChartSeries* Series) const
{
    for (const TChartSeries* S : SeriesList())
        if (S != Series && S->GetSeriesColor() == AColor)
            return false;
    return !CheckBackground || (AColor != Color() && AColor != BackWall()->Color());
}

int TCustomChart::CalcWallSize(const TChartAxis* Axis) const
{
    return CalcChartWallSize(*this, *FWalls, Axis);
}

QString TCustomChart::GetValueLegendText(TChartSeries* Series, int ValueIndex)
{
    return ValueLegendText(Series, ValueIndex, FLegend->TextStyle());
}

void TCustomChart::DrawLegendShapeRect(const TRect& Rect)
{
    TPlotGradient* Gradient = FLegend->Symbol()->Gradient();
    if (Gradient && Gradient->Visible())
        Gradient->Draw(Canvas(), Rect);
    else
        TCustomAxisPanel::DrawLegendShapeRect(Rect);
}

void TCustomChart::DoGetLegendText(int LegendStyle, int Index, QString& Text)
{
    if (OnGetLegendText)
        OnGetLegendText(this, LegendStyle, Index, Text);
}

void TCustomChart::DoGetLegendRect(TRect& Rect)
{
    if (OnGetLegendRect)
        OnGetLegendRect(this, Rect);
}

void TCustomChart::DoGetLegendPos(int Index, int& X, int& Y, int& XColor)
{
    if (OnGetLegendPos)
        OnGetLegendPos(this, Index, X, Y, XColor);
}

void TCustomChart::CalcWallsRect()
{
    CalcChartWallsRect(*this, *FWalls);
}

void TCustomChart::DrawWalls()
{
    DrawChartWalls(*this, *FWalls);
}

void TCustomChart::DrawLegendIfAny()
{
    if (FLegend->ShouldDraw())
        FLegend->DrawLegend();
}

void TCustomChart::DrawTitlesAndLegend(bool BeforeSeries)
{
    TPlotCanvas3D& C = Canvas();
    C.BeginNoRotation();
    try {
        TChartTitle* const Titles[] = {FTitle.get(), FSubTitle.get(), FFoot.get(), FSubFoot.get()};
        if (BeforeSeries) {
            const bool Regular = !FLegend->CustomPosition() && FLegend->ShouldDraw();
            const bool Sideways = Regular && FLegend->Vertical();
            if (Sideways)
                FLegend->DrawLegend();
            for (TChartTitle* T : Titles)
                if (!T->CustomPosition())
                    T->DrawTitle();
            if (Regular && !Sideways)
                FLegend->DrawLegend();
        } else {
            if (FLegend->CustomPosition())
                DrawLegendIfAny();
            for (TChartTitle* T : Titles)
                if (T->CustomPosition())
                    T->DrawTitle();
        }
    } catch (...) {
        C.EndNoRotation();
        throw;
    }
    C.EndNoRotation();
    // In the view the series were drawn in: they stand in front of them. Not
    // turned, they missed the walls and axes drawn before by a few pixels.
    if (!BeforeSeries && AnySeriesUsesAxes() && View3D())
        DrawWallsInFront(*this, *FWalls);
}

// --- Parts and clicks --------------------------------------------------------------------------------

TChartSeries* TCustomChart::FirstActiveSeries() const
{
    for (TChartSeries* S : SeriesList())
        if (S->Active())
            return S;
    return nullptr;
}

QString TCustomChart::GetAxisTitleOrName(const TChartAxis* Axis) const
{
    if (!Axis)
        return {};
    const QString Caption = Axis->Title()->Caption();
    if (!Caption.isEmpty())
        return Caption;
    if (Axis == LeftAxis())
        return PlotMsg_LeftAxis;
    if (Axis == RightAxis())
        return PlotMsg_RightAxis;
    if (Axis == TopAxis())
        return PlotMsg_TopAxis;
    if (Axis == BottomAxis())
        return PlotMsg_BottomAxis;
    if (Axis == DepthAxis())
        return PlotMsg_DepthRightAxis;
    if (Axis == DepthTopAxis())
        return PlotMsg_DepthTopAxis;
    return {};
}

bool TCustomChart::AnySeriesUsesAxes() const
{
    for (const TChartSeries* S : SeriesList())
        if (S->Active() && S->UseAxis())
            return true;
    return false;
}

bool TCustomChart::SeriesTakesClicks(const TChartSeries& Series) const
{
    return FPopupRequested || Series.OnClick || Series.OnDblClick || OnClickSeries;
}

TChartClickedPart TCustomChart::CalcClickedPart(int X, int Y)
{
    TChartClickedPart Result;
    const auto LegendAt = [&]() -> bool {
        if (!FLegend->Visible())
            return false;
        const int Item = FLegend->Clicked(X, Y);
        if (Item == -1)
            return false;
        Result.Part = cpLegend;
        Result.PointIndex = Item;
        return true;
    };
    if (FLegend->CustomPosition() && LegendAt())
        return Result;
    for (int I = SeriesCount() - 1; I >= 0; --I) {
        TChartSeries* S = Series(I);
        if (!S->Active())
            continue;
        if (FInMouseDown && !SeriesTakesClicks(*S))
            continue;
        const int Index = S->Clicked(X, Y);
        if (Index != -1) {
            Result = {cpSeries, Index, S, nullptr};
            return Result;
        }
        if (S->Marks()->Visible()) {
            const int Mark = S->Marks()->Clicked(X, Y);
            if (Mark != -1) {
                Result = {cpSeriesMarks, Mark, S, nullptr};
                return Result;
            }
        }
    }
    for (TChartAxis* Axis : AxesList())
        if (Axis->Clicked(X, Y)) {
            Result.Part = cpAxis;
            Result.AAxis = Axis;
            return Result;
        }
    if (!FLegend->CustomPosition() && LegendAt())
        return Result;
    const std::pair<TChartTitle*, TChartClickedPartStyle> Titles[] = {
        {FTitle.get(), cpTitle}, {FSubTitle.get(), cpSubTitle}, {FFoot.get(), cpFoot}, {FSubFoot.get(), cpSubFoot}};
    for (const auto& [Title, Part] : Titles)
        if (Title->Clicked(X, Y)) {
            Result.Part = Part;
            return Result;
        }
    const TRect R = ChartRectangle();
    if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom && CountActiveSeries() > 0)
        Result.Part = cpChartRect;
    return Result;
}

bool TCustomChart::FireClick(const std::function<void()>& Fire)
{
    SetMouseCancelled(true);
    Fire();
    return MouseCancelled();
}

bool TCustomChart::LegendMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y, const TChartClickedPart& Part)
{
    if (Shift.testFlag(TControl::ssShift) && Button == mbLeft)
        for (TChartSeries* S : SeriesList())
            if (S->ShowInLegend())
                S->SetActive(!S->Active());
    // After the legend menu the press goes on to the background event only.
    if (FPopupRequested) {
        ShowLegendMenu(X, Y);
        return false;
    }
    bool Handled = false;
    if (Button == mbLeft)
        Handled = FLegend->CheckBoxClick(Part.PointIndex);
    else if (Button == mbRight)
        EditLegendItemSeries(Part.PointIndex);
    if (OnClickLegend)
        Handled = FireClick([&] { OnClickLegend(this, Button, Shift, X, Y); });
    return Handled;
}

void TCustomChart::EditLegendItemSeries(int Index)
{
    TChartSeries* S = FLegend->ItemSeries(Index);
    if (S && !S->NoPopup() && ChartEditorEntryPoints().ShowSeriesEditor) {
        ChartEditorEntryPoints().ShowSeriesEditor(S);
        Invalidate();
    }
}

void TCustomChart::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomAxisPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupSeries)
        FPopupSeries = nullptr;
}

void TCustomChart::AxisDestroyed(const TChartAxis* Axis)
{
    TCustomAxisPanel::AxisDestroyed(Axis);
    if (Axis == FPopupAxis)
        FPopupAxis = nullptr;
}

void TCustomChart::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomAxisPanel::MouseDown(Button, Shift, X, Y);
    if (MouseCancelled() || Zoom()->Active || Panning().Active)
        return;
    SetMouseCancelled(false);
    {
        const std::vector<TPlotCustomTool*> Active(Tools().begin(), Tools().end());
        for (TPlotCustomTool* Tool : Active) {
            if (Tools().IndexOf(Tool) < 0 || !Tool->Active())
                continue;
            Tool->ChartMouseEvent(cmeDown, Button, Shift, X, Y);
            if (MouseCancelled())
                break;
        }
    }
    FPopupRequested =
        !ChartMenuSuppressed && Shift.testFlag(TControl::ssShift) && Shift.testFlag(TControl::ssRight);
    if (MouseCancelled()) {
        SetMouseCancelled(false);
        return;
    }
    FInMouseDown = true;
    const TChartClickedPart Part = CalcClickedPart(X, Y);
    FInMouseDown = false;
    bool Handled = false;
    bool BackgroundFired = false;
    switch (Part.Part) {
    case cpLegend:
        Handled = LegendMouseDown(Button, Shift, X, Y, Part);
        break;
    case cpAxis:
        if (FPopupRequested) {
            FPopupAxis = Part.AAxis;
            ShowAxisMenu(X, Y);
        }
        if (OnClickAxis)
            Handled = FireClick([&] { OnClickAxis(this, Part.AAxis, Button, Shift, X, Y); });
        if (!Handled)
            Handled = StartZoomOrPanning(Button, Shift, X, Y);
        break;
    case cpSeries: {
        TChartSeries* S = Part.ASeries;
        if (Shift.testFlag(TControl::ssDouble)) {
            if (S->OnDblClick)
                Handled = FireClick([&] { S->OnDblClick(S, Part.PointIndex, Button, Shift, X, Y); });
        } else if (S->OnClick) {
            Handled = FireClick([&] { S->OnClick(S, Part.PointIndex, Button, Shift, X, Y); });
        }
        if (FPopupRequested) {
            SetObserved(FPopupSeries, S);
            if (S->NoPopup() || SuppressSeriesPopup) {
                SetMouseCancelled(false);
                return;
            }
            ShowSeriesMenu(X, Y);
        }
        if (OnClickSeries)
            Handled = FireClick([&] { OnClickSeries(this, S, Part.PointIndex, Button, Shift, X, Y); }) || Handled;
        if (!Handled)
            Handled = StartZoomOrPanning(Button, Shift, X, Y);
        break;
    }
    case cpTitle:
    case cpSubTitle:
    case cpFoot:
    case cpSubFoot: {
        TChartTitle* Title = Part.Part == cpTitle      ? FTitle.get()
                             : Part.Part == cpSubTitle ? FSubTitle.get()
                             : Part.Part == cpFoot     ? static_cast<TChartTitle*>(FFoot.get())
                                                       : static_cast<TChartTitle*>(FSubFoot.get());
        if (OnClickTitle)
            Handled = FireClick([&] { OnClickTitle(this, Title, Button, Shift, X, Y); });
        if (!Handled)
            Handled = StartZoomOrPanning(Button, Shift, X, Y);
        break;
    }
    case cpChartRect:
        if (OnClickBackground) {
            Handled = FireClick([&] { OnClickBackground(this, Button, Shift, X, Y); });
            BackgroundFired = true;
        }
        if (!Handled)
            Handled = StartZoomOrPanning(Button, Shift, X, Y);
        break;
    case cpNone:
    case cpSeriesMarks:
        break;
    }
    // One background event per press, even when the chart rectangle's own
    // call did not handle it.
    if (!Handled && !BackgroundFired && OnClickBackground)
        FireClick([&] { OnClickBackground(this, Button, Shift, X, Y); });
    SetMouseCancelled(false);
}

bool TCustomChart::StartZoomOrPanning(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (!AnySeriesUsesAxes())
        return false;
    TPlotZoom& Z = *Zoom();
    const TRect R = ChartRectangle();
    bool Started = false;
    const TShiftState Keys = Shift & (TControl::ssShift | TControl::ssAlt | TControl::ssCtrl);
    if (Z.Allow() && Button == Z.MouseButton() && (Keys & Z.KeyShift()) == Z.KeyShift()) {
        if (Z.Direction() == TPlotZoom::tzdVertical)
            X = R.Left;
        else if (Z.Direction() == TPlotZoom::tzdHorizontal)
            Y = R.Top;
        Z.Activate(X, Y);
        if (Z.Direction() == TPlotZoom::tzdVertical)
            Z.X1 = R.Right;
        else if (Z.Direction() == TPlotZoom::tzdHorizontal)
            Z.Y1 = R.Bottom;
        DrawZoomRectangle();
        Started = true;
    } else if (AllowPanning() != pmNone && Button == FScrollMouseButton) {
        Panning().Activate(X, Y);
        Started = true;
    }
    if (Started)
        ShowCursor(SavedCursor());
    return Started;
}

void TCustomChart::MouseMove(TShiftState Shift, int X, int Y)
{
    SetMouseCancelled(false);
    if (!IsDesigning())
        BroadcastToolMouseEvent(cmeMove, mbLeft, Shift, X, Y);
    TPlotZoom& Z = *Zoom();
    const TRect R = ChartRectangle();
    if (Z.Active) {
        if (Z.Direction() == TPlotZoom::tzdVertical)
            X = R.Right;
        else if (Z.Direction() == TPlotZoom::tzdHorizontal)
            Y = R.Bottom;
        if (X != Z.X1 || Y != Z.Y1) {
            DrawZoomRectangle();
            Z.X1 = X;
            Z.Y1 = Y;
            DrawZoomRectangle();
        }
    } else if (Panning().Active) {
        TZoomPanning& P = Panning();
        if (X < R.Left || X >= R.Right || Y < R.Top || Y >= R.Bottom) {
            P.Active = false;
        } else if (X != P.X0 || Y != P.Y0) {
            SaveScales();
            PanAxes(true, P.X0, X);
            PanAxes(false, P.Y0, Y);
            P.X0 = X;
            P.Y0 = Y;
            SetZoomed(true);
            if (OnScroll)
                OnScroll(this);
            Invalidate();
        }
    } else if (!MouseCancelled() && !CheckMouseSeries(X, Y)) {
        // A tool that cancelled the move has set the cursor itself.
        ShowCursor(SavedCursor());
    }
    TCustomAxisPanel::MouseMove(Shift, X, Y);
}

void TCustomChart::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    SetMouseCancelled(false);
    TCustomAxisPanel::MouseUp(Button, Shift, X, Y);
    TPlotZoom& Z = *Zoom();
    if (Z.Active && Button == Z.MouseButton()) {
        Z.Active = false;
        DrawZoomRectangle();
        const TRect R = ChartRectangle();
        Z.X1 = Z.Direction() == TPlotZoom::tzdVertical ? R.Right : X;
        Z.Y1 = Z.Direction() == TPlotZoom::tzdHorizontal ? R.Bottom : Y;
        const bool Horizontal = Z.Direction() != TPlotZoom::tzdVertical;
        const bool Vertical = Z.Direction() != TPlotZoom::tzdHorizontal;
        const bool LongEnough = (!Horizontal || std::abs(Z.X1 - Z.X0) > Z.MinimumPixels()) &&
                                (!Vertical || std::abs(Z.Y1 - Z.Y0) > Z.MinimumPixels());
        if (LongEnough) {
            const bool Backwards = Z.Direction() == TPlotZoom::tzdVertical ? Z.Y1 <= Z.Y0 : Z.X1 <= Z.X0;
            if (!Z.UpLeftZooms() && Backwards)
                UndoZoom();
            else
                ZoomRect(TRect{Z.X0, Z.Y0, Z.X1, Z.Y1});
        }
        Invalidate();
    }
    Panning().Active = false;
    BroadcastToolMouseEvent(cmeUp, Button, Shift, X, Y);
}

bool TCustomChart::DoMouseWheel(TShiftState Shift, int WheelDelta, const TPoint& MousePos)
{
    const bool Handled = TCustomAxisPanel::DoMouseWheel(Shift, WheelDelta, MousePos);
    if (WheelDelta == 0)
        return Handled;
    for (TChartAxis* Axis : AxesList()) {
        if (Axis->Horizontal() || Axis->IsDepthAxis())
            continue;
        // Wheel down moves by +3 % of the range, wheel up by -3 %.
        double Step = (Axis->CalcMaximum() - Axis->CalcMinimum()) * 3 * 0.01;
        if (!std::isfinite(Step)) // a range wider than the largest double
            Step = Axis->CalcMaximum() * 3 * 0.01 - Axis->CalcMinimum() * 3 * 0.01;
        Axis->Scroll(WheelDelta < 0 ? Step : -Step, false);
    }
    return true;
}

// --- Zoom and panning ---------------------------------------------------------------------------------

void TCustomChart::SaveScales()
{
    if (!FNoScalesSaved)
        return;
    FSavedScales.clear();
    for (TChartAxis* Axis : AxesList()) {
        TSavedScale Scale;
        if (!Axis->IsDepthAxis())
            Scale = {Axis->Automatic(), Axis->AutomaticMinimum(), Axis->AutomaticMaximum(), Axis->Minimum(),
                     Axis->Maximum()};
        FSavedScales.push_back(Scale);
    }
    FNoScalesSaved = false;
}

void TCustomChart::UndoZoom()
{
    if (!FNoScalesSaved) {
        const int N = std::min(static_cast<int>(FSavedScales.size()), AxesList().Count());
        for (int I = 0; I < N; ++I) {
            TChartAxis* Axis = AxesList().Items(I);
            if (Axis->IsDepthAxis())
                continue;
            const TSavedScale& Scale = FSavedScales[static_cast<size_t>(I)];
            Axis->SetMinMax(Scale.Minimum, Scale.Maximum);
            Axis->SetAutomaticMinimum(Scale.AutomaticMinimum);
            Axis->SetAutomaticMaximum(Scale.AutomaticMaximum);
            if (Scale.Automatic)
                Axis->SetAutomatic(true);
        }
        FNoScalesSaved = true;
        FSavedScales.clear();
    }
    TCustomAxisPanel::UndoZoom();
}

void TCustomChart::ZoomRect(const TRect& Rect)
{
    TRect R = Rect;
    if (R.Left > R.Right)
        std::swap(R.Left, R.Right);
    if (R.Top > R.Bottom)
        std::swap(R.Top, R.Bottom);
    struct TTarget {
        TChartAxis* Axis;
        double Min;
        double Max;
    };
    std::vector<TTarget> Targets;
    // An axis whose limits would leave its scale (past the largest double,
    // or down to 0 on a logarithmic one) keeps its range.
    const auto AddTarget = [&Targets](TChartAxis* Axis, double Min, double Max) {
        if (Axis->AcceptsLimits(Min, Max))
            Targets.push_back({Axis, Min, Max});
    };
    for (TChartAxis* Axis : {TopAxis(), BottomAxis()})
        AddTarget(Axis, Axis->CalcPosPoint(R.Left), Axis->CalcPosPoint(R.Right));
    for (TChartAxis* Axis : {LeftAxis(), RightAxis()})
        AddTarget(Axis, Axis->CalcPosPoint(R.Bottom), Axis->CalcPosPoint(R.Top));
    if (Targets.empty())
        return;
    SaveScales();
    TPlotZoom& Z = *Zoom();
    if (Z.Animated())
        for (int Step = 1; Step < Z.AnimatedSteps(); ++Step) {
            for (TTarget& T : Targets) {
                const double Min = T.Axis->CalcMinimum() + (T.Min - T.Axis->CalcMinimum()) / 3;
                const double Max = T.Axis->CalcMaximum() + (T.Max - T.Axis->CalcMaximum()) / 3;
                T.Axis->SetMinMax(Min, Max);
            }
            Repaint();
        }
    for (const TTarget& T : Targets)
        T.Axis->SetMinMax(T.Min, T.Max);
    SetZoomed(true);
    if (OnZoom)
        OnZoom(this);
}

void TCustomChart::PanAxes(bool Horizontal, int OldPixel, int NewPixel)
{
    if (OldPixel == NewPixel)
        return;
    const TPanningMode Mode = AllowPanning();
    if (Mode != pmBoth && Mode != (Horizontal ? pmHorizontal : pmVertical))
        return;
    for (TChartAxis* Axis : AxesList()) {
        if (Axis->IsDepthAxis() || Axis->Horizontal() != Horizontal)
            continue;
        const double From = Axis->CalcPosPoint(OldPixel);
        const double To = Axis->CalcPosPoint(NewPixel);
        double NewMin;
        double NewMax;
        if (!Axis->Logarithmic()) {
            const double Delta = From - To;
            NewMin = Axis->Minimum() + Delta;
            NewMax = Axis->Maximum() + Delta;
        } else if (Axis->LinLogActive()) {
            const double Delta = Axis->LinLogValue(From) - Axis->LinLogValue(To);
            NewMin = Axis->LinLogInverse(Axis->LinLogValue(Axis->Minimum()) + Delta);
            NewMax = Axis->LinLogInverse(Axis->LinLogValue(Axis->Maximum()) + Delta);
        } else {
            if (From <= 0 || To <= 0 || Axis->Minimum() <= 0 || Axis->Maximum() <= 0)
                continue;
            const double Delta = std::log(From) - std::log(To);
            NewMin = std::exp(std::log(Axis->Minimum()) + Delta);
            NewMax = std::exp(std::log(Axis->Maximum()) + Delta);
        }
        // A scroll past the doubles (or, on a logarithmic scale, to or
        // below 0) is refused: such limits have no place on the scale.
        if (!Axis->AcceptsLimits(NewMin, NewMax))
            continue;
        bool Allow = true;
        if (OnAllowScroll)
            OnAllowScroll(Axis, NewMin, NewMax, Allow);
        if (Allow && Axis->AcceptsLimits(NewMin, NewMax))
            Axis->SetMinMax(NewMin, NewMax);
    }
}

void TCustomChart::StoreAxesDefaultSettings()
{
    const auto& ToText = ChartEditorEntryPoints().AxisSettingsToText;
    if (!ToText)
        return;
    for (TChartAxis* Axis : {LeftAxis(), RightAxis(), TopAxis(), BottomAxis()})
        Axis->SetDefaultSettings(ToText(Axis));
}

void TCustomChart::FillValueSourceItems(TChartSeries* Series,
                                        const std::function<void(const QString&)>& Callback) const
{
    auto* Source = Series ? qobject_cast<TChartSeries*>(Series->DataSource()) : nullptr;
    if (!Source)
        return;
    for (TChartValueList* List : Source->ValuesList())
        Callback(List->Name());
}

// --- Menus ----------------------------------------------------------------------------------------

void TCustomChart::PopupAt(std::vector<TMenuItem> Items, int X, int Y)
{
    FMenu.SetItems(std::move(Items));
    TPoint Screen{X, Y};
    if (HandleAllocated()) {
        const QPoint Global = Widget()->mapToGlobal(QPoint(X, Y));
        Screen = TPoint{Global.x(), Global.y()};
    }
    FMenu.Popup(Screen);
    SetMouseCancelled(true);
}

void TCustomChart::RunMenuAction(const std::function<void()>& Action, TMenuKind Kind)
{
    SetMouseCancelled(true);
    Action();
    // A release of the button must not scroll.
    Panning().Active = false;
    SetMouseCancelled(true);
    if (Kind == mkAxis && OnAxisPopupAction)
        OnAxisPopupAction(this);
    if (Kind == mkSeries && OnSeriesPopupAction)
        OnSeriesPopupAction(this);
}

void TCustomChart::ShowLegendMenu(int X, int Y)
{
    const auto Mode = [this](int Value) {
        return [this, Value](int) {
            RunMenuAction(
                [this, Value] {
                    SetLegendCheckMode(Value);
                    Invalidate();
                    Repaint();
                },
                mkLegend);
        };
    };
    const auto& Entry = ChartEditorEntryPoints();
    std::vector<TMenuItem> Items;
    Items.push_back({MenuOptions, false, static_cast<bool>(Entry.ShowLegendOptions), [this](int) {
                         RunMenuAction(
                             [this] {
                                 if (ChartEditorEntryPoints().ShowLegendOptions)
                                     ChartEditorEntryPoints().ShowLegendOptions(this, FLegend.get());
                                 Invalidate();
                             },
                             mkLegend);
                     }});
    Items.push_back({MenuVisible, LegendCheckMode() == 0, true, Mode(0)});
    Items.push_back({MenuXAuto, LegendCheckMode() == 1, true, Mode(1)});
    Items.push_back({MenuYAuto, LegendCheckMode() == 2, true, Mode(2)});
    PopupAt(std::move(Items), X, Y);
}

void TCustomChart::ShowAxisMenu(int X, int Y)
{
    const auto& Entry = ChartEditorEntryPoints();
    std::vector<TMenuItem> Items;
    Items.push_back({MenuOptions, false, static_cast<bool>(Entry.ShowAxisEditor), [this](int) {
                         RunMenuAction(
                             [this] {
                                 if (ChartEditorEntryPoints().ShowAxisEditor && FPopupAxis)
                                     ChartEditorEntryPoints().ShowAxisEditor(this, FPopupAxis);
                                 Invalidate();
                             },
                             mkAxis);
                     }});
    Items.push_back({MenuDefault, false, static_cast<bool>(Entry.AxisSettingsFromText), [this](int) {
                         RunMenuAction(
                             [this] {
                                 if (ChartEditorEntryPoints().AxisSettingsFromText && FPopupAxis)
                                     ChartEditorEntryPoints().AxisSettingsFromText(FPopupAxis,
                                                                                   FPopupAxis->DefaultSettings());
                                 Invalidate();
                             },
                             mkAxis);
                     }});
    PopupAt(std::move(Items), X, Y);
}

void TCustomChart::ShowSeriesMenu(int X, int Y)
{
    const auto& Entry = ChartEditorEntryPoints();
    std::vector<TMenuItem> Items;
    Items.push_back({MenuOptions, false, static_cast<bool>(Entry.ShowSeriesEditor), [this](int) {
                         RunMenuAction(
                             [this] {
                                 if (ChartEditorEntryPoints().ShowSeriesEditor && FPopupSeries)
                                     ChartEditorEntryPoints().ShowSeriesEditor(FPopupSeries);
                                 Invalidate();
                             },
                             mkSeries);
                     }});
    Items.push_back({MenuDefault, false, static_cast<bool>(Entry.SeriesSettingsFromText), [this](int) {
                         RunMenuAction(
                             [this] {
                                 if (ChartEditorEntryPoints().SeriesSettingsFromText && FPopupSeries)
                                     ChartEditorEntryPoints().SeriesSettingsFromText(FPopupSeries,
                                                                                     FPopupSeries->DefaultSettings());
                                 Invalidate();
                             },
                             mkSeries);
                     }});
    PopupAt(std::move(Items), X, Y);
}

// --- TChart ------------------------------------------------------------------------------------------

TChart::TChart(TComponent* AOwner) : TCustomChart(AOwner) {}

namespace {
int EngineInitCount = 0;
} // namespace

void InitializePlotEngine()
{
    if (EngineInitCount++ > 0)
        return;
    RegisterClass<TChart>();
    RegisterClassFactory(TChartAxis::staticMetaObject,
                         [](TComponent*) -> TPersistent* { return new TChartAxis(static_cast<TCollection*>(nullptr)); });
    RegisterClassFactory(TChartDepthAxis::staticMetaObject,
                         [](TComponent*) -> TPersistent* { return new TChartDepthAxis(nullptr); });
    RegisterClassFactory(TChartAxisTitle::staticMetaObject,
                         [](TComponent*) -> TPersistent* { return new TChartAxisTitle(); });
    RegisterClassFactory(TSeriesMarks::staticMetaObject,
                         [](TComponent*) -> TPersistent* { return new TSeriesMarks(nullptr); });
    // The picture tool is the engine's own: charts made in code hold it (the
    // section charts do), so their files read it back whichever tool types
    // the layers above list.
    RegisterClass<TChartImageTool>();
    // The type registries and palettes, then the series types in the order
    // of the gallery.
    InitializePlotRegistry();
    RegisterStandardSeries();
    RegisterMapSeries();
    RegisterBasicFunctions();
    RegisterAppearanceTexts();
}

void RegisterStandardSeries()
{
    // The standard gallery page in its order.
    RegisterPlotStandardSeries<TLineSeries>(&PlotMsg_GalleryLine);
    RegisterPlotStandardSeries<TBarSeries>(&PlotMsg_GalleryBar);
    RegisterPlotStandardSeries<THorizBarSeries>(&PlotMsg_GalleryHorizBar);
    RegisterPlotStandardSeries<TAreaSeries>(&PlotMsg_GalleryArea);
    RegisterPlotStandardSeries<TPointSeries>(&PlotMsg_GalleryPoint);
    RegisterPlotSeries<TPieSeries>(&PlotMsg_GalleryPie, &PlotMsg_GalleryStandard, 1);
    RegisterPlotStandardSeries<TFastLineSeries>(&PlotMsg_GalleryFastLine);
    RegisterPlotSeries<THorizLineSeries>(&PlotMsg_GalleryHorizLine, &PlotMsg_GalleryStandard, 1);
    RegisterPlotSeries<THorizAreaSeries>(&PlotMsg_GalleryHorizArea, &PlotMsg_GalleryStandard, 1);
}

void FinalizePlotEngine()
{
    if (EngineInitCount == 0 || --EngineInitCount > 0)
        return;
    const std::initializer_list<const QMetaObject*> Standard = {
        &TLineSeries::staticMetaObject,      &TBarSeries::staticMetaObject,       &THorizBarSeries::staticMetaObject,
        &TAreaSeries::staticMetaObject,      &TPointSeries::staticMetaObject,     &TPieSeries::staticMetaObject,
        &TFastLineSeries::staticMetaObject, &THorizLineSeries::staticMetaObject, &THorizAreaSeries::staticMetaObject};
    ChartEditorEntryPoints().AxisSettingsToText = nullptr;
    ChartEditorEntryPoints().AxisSettingsFromText = nullptr;
    UnRegisterBasicFunctions();
    UnRegisterMapSeries();
    UnRegisterPlotSeries(Standard);
    for (const QMetaObject* Meta : Standard)
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
    FinalizePlotRegistry();
    for (const QMetaObject* Meta :
         {&TChart::staticMetaObject, &TChartAxis::staticMetaObject, &TChartDepthAxis::staticMetaObject, &TChartAxisTitle::staticMetaObject,
         &TSeriesMarks::staticMetaObject, &TChartImageTool::staticMetaObject})
        UnRegisterClass(TPersistent::ClassNameOf(*Meta));
}

void InitializeChartLibrary()
{
    InitializeMessageTexts();
    InitializePlotBlend();
    InitializePlotRoutines();
    RegisterStandardPictureFormats();
    InitializePlotEngine();
}

void FinalizeChartLibrary()
{
    FinalizePlotEngine();
    UnregisterStandardPictureFormats();
    FinalizePlotRoutines();
    FinalizePlotBlend();
    FinalizeMessageTexts();
}

} // namespace lp
