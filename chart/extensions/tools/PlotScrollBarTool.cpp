#include "chart/extensions/tools/PlotScrollBarTool.h"

#include "chart/canvas/PlotCanvas3D.h"
#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "chart/engine/PlotRegistry.h"
#include "platform/base/Numeric.h"
#include "platform/core/PropertyInfo.h"
#include "platform/ui/Timer.h"

#include <algorithm>
#include <cmath>

namespace lp {

namespace {
// Grey of the arrows that cannot move and of a pressed button.
constexpr TColor DisabledArrowColor = 0x808080;

bool Inside(const TRect& R, int X, int Y)
{
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}
} // namespace

// --- TPlotScrollBar ------------------------------------------------------------------------------

TPlotScrollBar::TPlotScrollBar(TComponent* AOwner)
    : TPlotCustomTool(AOwner),
      FArrowBrush(std::make_unique<TChartBrush>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); })),
      FGradient(std::make_unique<TPlotGradient>([this](TPersistent* Sender) { CanvasChanged(Sender); })),
      FThumbBrush(std::make_unique<TChartBrush>([this](TGraphicsObject* Sender) { CanvasChanged(Sender); }))
{
    FArrowBrush->SetColor(clBlack);
    FThumbBrush->SetColor(clSilver);
    Brush()->SetColor(clWhite);
    Pen()->SetColor(clWindowFrame);
    KeepStartAsDefault(*FArrowBrush, {"Color"});
    KeepStartAsDefault(*FThumbBrush, {"Color"});
    KeepStartAsDefault(*Brush(), {"Color"});
    KeepStartAsDefault(*Pen(), {"Color"});
}

TPlotScrollBar::~TPlotScrollBar() = default;

QString TPlotScrollBar::Description() const
{
    return QStringLiteral("Scrollbar");
}

void TPlotScrollBar::SetArrowBrush(const TChartBrush* Value)
{
    FArrowBrush->Assign(Value);
}

void TPlotScrollBar::SetBevel(TBevelCut Value)
{
    if (FBevel != Value) {
        FBevel = Value;
        Repaint();
    }
}

void TPlotScrollBar::SetGradient(const TPlotGradient* Value)
{
    FGradient->Assign(Value);
}

void TPlotScrollBar::SetSize(int Value)
{
    if (FSize != Value) {
        FSize = Value;
        Repaint();
        if (OnChangeSize)
            OnChangeSize(this);
    }
}

void TPlotScrollBar::SetThumbBrush(const TChartBrush* Value)
{
    FThumbBrush->Assign(Value);
}

// --- The scrolled quantity ---

double TPlotScrollBar::CalcDragDelta(int New, int Old)
{
    const int Track = TrackLength();
    if (New == Old || Track <= 0)
        return 0;
    const double Delta = static_cast<double>(GetMax()) * std::abs(New - Old) / Track;
    return Old > New ? -Delta : Delta;
}

int TPlotScrollBar::GetPageSize()
{
    return FPageSize;
}

int TPlotScrollBar::GetLargeChange()
{
    return GetPageSize() / 4;
}

int TPlotScrollBar::GetPosition()
{
    return FPosition;
}

void TPlotScrollBar::SetPosition(int Value)
{
    if (FPosition != Value) {
        FPosition = Value;
        Repaint();
    }
    if (OnSetPosition)
        OnSetPosition(this, Value);
}

bool TPlotScrollBar::CalcBarRect()
{
    return GetMax() > 0;
}

int TPlotScrollBar::GetMax()
{
    return FMax;
}

// --- Geometry ---

TRect TPlotScrollBar::WholeBar() const
{
    const TRect& R = FBarRect;
    if (FHorizontal)
        return TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom + FSize};
    return TRect{R.Right - FSize - 1, R.Top, R.Right, R.Bottom};
}

TRect TPlotScrollBar::DecreaseButton() const
{
    const TRect& R = FBarRect;
    if (FHorizontal)
        return TRect{R.Left, R.Bottom, R.Left + FSize, R.Bottom + FSize};
    return TRect{R.Right - FSize - 1, R.Top, R.Right, R.Top + FSize};
}

TRect TPlotScrollBar::IncreaseButton() const
{
    const TRect& R = FBarRect;
    if (FHorizontal)
        return TRect{R.Right - FSize, R.Bottom, R.Right, R.Bottom + FSize};
    return TRect{R.Right - FSize - 1, R.Bottom - FSize, R.Right, R.Bottom};
}

int TPlotScrollBar::TrackLength() const
{
    const int Length = FHorizontal ? FBarRect.Right - FBarRect.Left : FBarRect.Bottom - FBarRect.Top;
    return Length - 2 * FSize;
}

bool TPlotScrollBar::CalcThumb()
{
    const int Max = GetMax();
    const int Track = TrackLength();
    if (Max == 0 || Track <= 0)
        return false;
    const double Scale = static_cast<double>(Track) / Max;
    FThumbSize = std::max(RoundToInt32(GetPageSize() * Scale), FMinThumbSize);
    FThumbStart = (FHorizontal ? FBarRect.Left : FBarRect.Top) + RoundToInt32(GetPosition() * Scale) + FSize;
    FThumbEnd = FThumbStart + FThumbSize + 1;
    return true;
}

TRect TPlotScrollBar::ThumbRect() const
{
    const TRect& R = FBarRect;
    if (FHorizontal) {
        // At least 2 pixels wide.
        const int Right = FThumbEnd - FThumbStart < 2 ? FThumbEnd + 1 : FThumbEnd;
        return TRect{FThumbStart, R.Bottom, Right, R.Bottom + FSize};
    }
    return TRect{R.Right - FSize, FThumbStart, R.Right, FThumbEnd};
}

// --- Drawing ---

void TPlotScrollBar::DrawArrow(TPlotCanvas3D& Canvas, const TRect& Button, bool Decrease, bool CanMove,
                               bool Pressed)
{
    const int S = FSize;
    const int D = S / 6;
    const int X0 = Button.Left;
    const int Y0 = Button.Top;
    TPoint P[3];
    if (FHorizontal) {
        if (Decrease)
            P[0] = {X0 + D, Y0 + S / 2}, P[1] = {X0 + S - D, Y0 + D}, P[2] = {X0 + S - D, Y0 + S - D};
        else
            P[0] = {X0 + S - D, Y0 + S / 2}, P[1] = {X0 + D, Y0 + D}, P[2] = {X0 + D, Y0 + S - D};
    } else {
        if (Decrease)
            P[0] = {X0 + S / 2, Y0 + D}, P[1] = {X0 + D, Y0 + S - D}, P[2] = {X0 + S - D, Y0 + S - D};
        else
            P[0] = {X0 + S / 2, Y0 + S - D}, P[1] = {X0 + D, Y0 + D}, P[2] = {X0 + S - D, Y0 + D};
    }
    Canvas.Brush()->SetColor(CanMove && !Pressed ? FArrowBrush->Color() : DisabledArrowColor);
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Polygon(P, 2);
}

void TPlotScrollBar::Draw()
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignBrushColor(*Brush(), Brush()->Color(), FBackColor);
    Canvas.AssignVisiblePen(*Pen());
    const TRect Whole = WholeBar();
    if (FGradient->Visible()) {
        FGradient->Draw(Canvas, Whole);
        Canvas.Brush()->SetStyle(bsClear);
    }
    Canvas.Rectangle(Whole.Left, Whole.Top, Whole.Right, Whole.Bottom);
    Canvas.AssignBrushColor(*Brush(), Brush()->Color(), FBackColor);
    const TRect Dec = DecreaseButton();
    const TRect Inc = IncreaseButton();
    Canvas.Rectangle(Dec.Left, Dec.Top, Dec.Right, Dec.Bottom);
    Canvas.Rectangle(Inc.Left, Inc.Top, Inc.Right, Inc.Bottom);

    Canvas.Pen()->SetStyle(psClear);
    DrawArrow(Canvas, Dec, true, GetPosition() > 0, FDecreasePressed);
    DrawArrow(Canvas, Inc, false, GetMax() - GetPageSize() != GetPosition(), FIncreasePressed);
    Canvas.AssignVisiblePen(*Pen());

    if (!CalcThumb())
        return;
    TRect Thumb = ThumbRect();
    Canvas.Brush()->SetColor(FThumbBrush->Color());
    Canvas.Brush()->SetStyle(bsSolid);
    Canvas.Rectangle(Thumb.Left, Thumb.Top, Thumb.Right, Thumb.Bottom);
    if (FBevel != TCustomPanelNoCaption::bvNone) {
        const bool Raised = FBevel == TCustomPanelNoCaption::bvRaised;
        const bool Lowered = FBevel == TCustomPanelNoCaption::bvLowered;
        Thumb.Bottom -= 1;
        Canvas.Frame3D(Thumb, Raised ? clBtnHighlight : Lowered ? clBtnShadow : clBtnFace,
                       Raised ? clBtnShadow : Lowered ? clBtnHighlight : clBtnFace, 1);
    }
}

void TPlotScrollBar::ChartEvent(int Event)
{
    TPlotCustomTool::ChartEvent(Event);
    if (Event == cteAfterDraw && ParentChart() && CalcBarRect())
        Draw();
}

// --- Scrolling ---

void TPlotScrollBar::ScrollBy(double Delta, bool Repeat)
{
    const int Position = GetPosition();
    const int Last = GetMax() - GetPageSize();
    double NewPosition;
    if (Delta >= 0) {
        NewPosition = Last <= Position + Delta - 1 ? Last : Position + Delta;
    } else {
        const double D = std::max(Delta, -static_cast<double>(Position));
        if (!(D + 1 < Position))
            return;
        NewPosition = Position + D;
    }
    SetPosition(RoundToInt32(NewPosition));
    if (OnScrolled)
        OnScrolled(this);
    if (Repeat && FAutoRepeat) {
        if (!FTimer) {
            FTimer = std::make_unique<TTimer>();
            FTimer->OnTimer = [this](TTimer*) { TimerTick(); };
        }
        FTimer->SetInterval(FInitialDelay);
        FTimer->SetEnabled(true);
    }
}

void TPlotScrollBar::MouseDown(int X, int Y)
{
    FMouse = TPoint{X, Y};
    FDragging = false;
    FDecreasePressed = false;
    FIncreasePressed = false;
    if (Inside(DecreaseButton(), X, Y)) {
        FDecreasePressed = true;
        ScrollBy(-1, true);
    } else if (Inside(IncreaseButton(), X, Y)) {
        FIncreasePressed = true;
        ScrollBy(1, true);
    } else if (CalcThumb() && Inside(ThumbRect(), X, Y)) {
        FDragging = true;
    } else if (Inside(WholeBar(), X, Y) && CalcThumb()) {
        const int Along = FHorizontal ? X : Y;
        if (Along < FThumbStart)
            ScrollBy(-GetLargeChange(), true);
        else if (Along > FThumbEnd)
            ScrollBy(GetLargeChange(), true);
    } else {
        return;
    }
    // The press is the bar's: the chart starts no zoom or scroll of its own.
    ParentChart()->SetMouseCancelled(true);
}

void TPlotScrollBar::MouseMove(int X, int Y)
{
    if (!FDragging)
        return;
    const double Delta = FHorizontal ? CalcDragDelta(X, FMouse.X) : CalcDragDelta(Y, FMouse.Y);
    if (std::abs(Delta) >= 1) {
        ScrollBy(Delta, false);
        FMouse = TPoint{X, Y};
    }
}

void TPlotScrollBar::MouseUp()
{
    FDragging = false;
    FDecreasePressed = false;
    FIncreasePressed = false;
    if (FTimer)
        FTimer->SetEnabled(false);
    Repaint();
}

void TPlotScrollBar::TimerTick()
{
    if (!ParentChart() || !CalcBarRect()) {
        FTimer->SetEnabled(false);
        return;
    }
    MouseDown(FMouse.X, FMouse.Y);
    if (FTimer->Interval() > RepeatInterval)
        FTimer->SetInterval(RepeatInterval);
}

void TPlotScrollBar::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TPlotCustomTool::ChartMouseEvent(Kind, Button, Shift, X, Y);
    if (!ParentChart() || !Active())
        return;
    switch (Kind) {
    case cmeDown:
        if (CalcBarRect())
            MouseDown(X, Y);
        break;
    case cmeMove:
        if (FDragging && CalcBarRect())
            MouseMove(X, Y);
        break;
    case cmeUp:
        MouseUp();
        break;
    }
}

// --- TLegendScrollBar ----------------------------------------------------------------------------

TLegendScrollBar::TLegendScrollBar(TComponent* AOwner) : TPlotScrollBar(AOwner) {}

TLegendScrollBar::~TLegendScrollBar()
{
    HookLegend(false);
}

QString TLegendScrollBar::Description() const
{
    return PlotMsg_LegendScrollbar;
}

TCustomChartLegend* TLegendScrollBar::Legend() const
{
    const auto* Chart = qobject_cast<const TCustomChart*>(ParentChart());
    return Chart ? Chart->Legend() : nullptr;
}

bool TLegendScrollBar::Paging() const
{
    return ParentChart() && ParentChart()->MaxPointsPerPage() > 0;
}

int TLegendScrollBar::GetMax()
{
    if (Paging())
        return ParentChart()->NumPages();
    const TCustomChartLegend* L = Legend();
    return L ? L->FirstValue() + L->CountItems() : 0;
}

int TLegendScrollBar::GetPosition()
{
    if (Paging())
        return ParentChart()->Page() - 1;
    const TCustomChartLegend* L = Legend();
    return L ? L->FirstValue() : 0;
}

void TLegendScrollBar::SetPosition(int Value)
{
    if (Paging())
        ParentChart()->SetPage(Value + 1);
    else if (TCustomChartLegend* L = Legend())
        L->SetFirstValue(std::max(Value, 0));
    if (OnSetPosition)
        OnSetPosition(this, Value);
}

int TLegendScrollBar::GetPageSize()
{
    if (Paging())
        return 1;
    const TCustomChartLegend* L = Legend();
    return L ? L->LastValue() - L->FirstValue() + 1 : 0;
}

int TLegendScrollBar::GetLargeChange()
{
    return Paging() ? 1 : TPlotScrollBar::GetLargeChange();
}

bool TLegendScrollBar::CalcBarRect()
{
    const TCustomChartLegend* L = Legend();
    if (!L || !L->ShouldDraw() || L->LastValue() < 0)
        return false;
    // Every item from the first one on shows: nothing to scroll to.
    if (DrawStyle() == dsWhenNeeded && !Paging() && L->FirstValue() == 0 &&
        L->LastValue() >= L->FirstValue() + L->CountItems() - 1)
        return false;
    SetBarRect(L->RectLegend());
    SetHorizontal(!L->Vertical());
    return true;
}

void TLegendScrollBar::HookLegend(bool Install)
{
    if (FHooked) {
        FHooked->OnCalcSize = nullptr;
        FHooked = nullptr;
    }
    TCustomAxisPanel* Chart = ParentChart();
    if (!Install || !Chart || Chart->IsDestroying())
        return;
    FHooked = Legend();
    if (FHooked)
        FHooked->OnCalcSize = [this](TCustomChartLegend*, int& ExtraSize) {
            if (Active() && CalcBarRect())
                ExtraSize += Size() + 1;
        };
}

void TLegendScrollBar::SetParentChart(TCustomAxisPanel* Value)
{
    HookLegend(false);
    TPlotScrollBar::SetParentChart(Value);
    if (!IsDestroying())
        HookLegend(true);
}

void RegisterLegendScrollBar()
{
    RegisterPlotTools({PlotClass<TLegendScrollBar>()});
}

void UnregisterLegendScrollBar()
{
    UnRegisterPlotTools({&TLegendScrollBar::staticMetaObject});
}

} // namespace lp
