#include "chart/extensions/tools/PlotAnnotationTool.h"

#include "chart/canvas/PlotConst.h"
#include "chart/engine/PlotAxisPanel.h"
#include "platform/base/Numeric.h"

namespace lp {

// --- TAnnotationCallout --------------------------------------------------------------------------

TAnnotationCallout::TAnnotationCallout() : TCallout(nullptr)
{
    Arrow()->SetVisible(false);
    Arrow()->SetDefaultVisible(false);
    SetVisible(false);
}

void TAnnotationCallout::Assign(const TPersistent* Source)
{
    if (const auto* Other = qobject_cast<const TAnnotationCallout*>(Source)) {
        FXPosition = Other->FXPosition;
        FYPosition = Other->FYPosition;
        FZPosition = Other->FZPosition;
    }
    TCallout::Assign(Source);
}

void TAnnotationCallout::SetPosition(int& Field, int Value)
{
    if (Field != Value) {
        Field = Value;
        Repaint();
    }
}

// --- TAnnotationTool -----------------------------------------------------------------------------

TAnnotationTool::TAnnotationTool(TComponent* AOwner)
    : TPlotCustomTool(AOwner), FCallout(std::make_unique<TAnnotationCallout>()),
      FShape(std::make_unique<TPlotShapePosition>())
{
}

TAnnotationTool::~TAnnotationTool() = default;

QString TAnnotationTool::Description() const
{
    return PlotMsg_ToolAnnotation;
}

void TAnnotationTool::SetParentChart(TCustomAxisPanel* Value)
{
    TPlotCustomTool::SetParentChart(Value);
    if (ComponentState().testFlag(csDestroying))
        return;
    FShape->SetParentChart(Value);
    FCallout->SetParentChart(Value);
    if (Value)
        Value->Invalidate();
}

void TAnnotationTool::SetPosition(TAnnotationPosition Value)
{
    if (FPosition == Value)
        return;
    FPosition = Value;
    FShape->SetCustomPosition(false);
    Repaint();
}

void TAnnotationTool::SetPositionUnits(TPlotUnits Value)
{
    if (FPositionUnits != Value) {
        FPositionUnits = Value;
        Repaint();
    }
}

void TAnnotationTool::SetTextAlignment(TAlignment Value)
{
    if (FTextAlignment != Value) {
        FTextAlignment = Value;
        Repaint();
    }
}

void TAnnotationTool::SetWidth(int Value)
{
    if (Value == Width())
        return;
    FAutoSize = false;
    FShape->SetWidth(Value);
    Repaint();
}

void TAnnotationTool::SetHeight(int Value)
{
    if (Value == Height())
        return;
    FAutoSize = false;
    FShape->SetHeight(Value);
    Repaint();
}

TAnnotationTool::TBlock TAnnotationTool::CalcBlock() const
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart || (NeedsTextSize() && !Chart->Canvas().ReferenceCanvas()))
        return FLastBlock;
    return MeasureBlock();
}

TAnnotationTool::TBlock TAnnotationTool::MeasureBlock() const
{
    TCustomAxisPanel& Chart = *ParentChart();
    QString Text = GetText();
    if (Text.isEmpty())
        Text = QStringLiteral(" ");
    TBlock Block;
    int TextWidth = 0;
    int TextHeight = 0;
    if (NeedsTextSize()) {
        TPlotCanvas3D& Canvas = Chart.Canvas();
        Canvas.AssignFont(*FShape->Font());
        TextWidth = Chart.MultiLineTextWidth(Text, Block.Lines);
        TextHeight = Block.Lines * Canvas.FontHeight();
    } else {
        WidestLineWidth(Text, Block.Lines, [](const QString&) { return 0; });
    }
    if (FShape->CustomPosition()) {
        if (FPositionUnits == muPixels) {
            Block.X = FShape->Left() + 4;
            Block.Y = FShape->Top() + 2;
        } else {
            Block.X = RoundToInt32(FShape->Left() * Chart.Width() * 0.01);
            Block.Y = RoundToInt32(FShape->Top() * Chart.Height() * 0.01);
        }
    } else {
        const int Right = Chart.Width() - TextWidth - 8;
        const int Bottom = Chart.Height() - TextHeight - 8;
        const bool AtRight = FPosition == ppRightTop || FPosition == ppRightBottom;
        const bool AtBottom = FPosition == ppLeftBottom || FPosition == ppRightBottom;
        Block.X = AtRight ? Right : 10;
        Block.Y = AtBottom ? Bottom : 10;
    }
    const int W = FAutoSize ? TextWidth + 6 : FShape->Width();
    const int H = FAutoSize ? TextHeight + 4 : FShape->Height();
    Block.Rect = TRect{Block.X - 4, Block.Y - 2, Block.X - 4 + W, Block.Y - 2 + H};
    return Block;
}

bool TAnnotationTool::Clicked(int X, int Y) const
{
    return PointInRect(CalcBlock().Rect, X, Y);
}

void TAnnotationTool::ChartEvent(int Event)
{
    if (Event == cteAfterDraw && ParentChart())
        DrawAnnotation();
}

void TAnnotationTool::DrawAnnotation()
{
    const TBlock Block = MeasureBlock();
    FLastBlock = Block;
    const TRect Saved = FShape->ShapeBounds();
    FShape->SetShapeBounds(Block.Rect);
    if (FShape->Visible())
        FShape->Draw();
    QString Text = GetText();
    if (Text.isEmpty())
        Text = QStringLiteral(" ");
    DrawTextLines(Block, Text);
    if (FCallout->Visible() || FCallout->Arrow()->Visible()) {
        const TPoint Target{FCallout->XPosition(), FCallout->YPosition()};
        FCallout->Draw(clNone, CalloutStart(Block.Rect, Target), FCallout->ZPosition(), Target);
    }
    if (FAutoSize) {
        const int W = Block.Rect.Right - Block.Rect.Left;
        const int H = Block.Rect.Bottom - Block.Rect.Top;
        FShape->SetShapeBounds(TRect{Saved.Left, Saved.Top, Saved.Left + W, Saved.Top + H});
    } else {
        FShape->SetShapeBounds(Saved);
    }
}

void TAnnotationTool::DrawTextLines(const TBlock& Block, const QString& Text)
{
    TPlotCanvas3D& Canvas = ParentChart()->Canvas();
    Canvas.AssignFont(*FShape->Font());
    Canvas.SetBackMode(1);
    int X = Block.X;
    switch (FTextAlignment) {
    case TChartTitle::taLeftJustify:
        Canvas.SetTextAlign(TA_LEFT);
        break;
    case TChartTitle::taCenter:
        Canvas.SetTextAlign(TA_CENTER);
        X = (Block.Rect.Left + Block.Rect.Right) / 2 + 2;
        break;
    case TChartTitle::taRightJustify:
        Canvas.SetTextAlign(TA_RIGHT);
        X = Block.Rect.Right - 2;
        break;
    }
    const int LineHeight = Canvas.FontHeight();
    const QStringList Lines = Text.split(PlotLineSeparator);
    for (int I = 0; I < Lines.size(); ++I)
        Canvas.TextOut(X, Block.Y + I * LineHeight, Lines[I]);
    Canvas.SetTextAlign(TA_LEFT);
}

TPoint TAnnotationTool::CalloutStart(const TRect& Block, const TPoint& Target) const
{
    const auto Side = [](int Low, int High, int At, int& Step) {
        Step = At > High ? 1 : At < Low ? -1 : 0;
        return Step > 0 ? High : Step < 0 ? Low : (Low + High) / 2;
    };
    int StepX = 0;
    int StepY = 0;
    TPoint Start{Side(Block.Left, Block.Right, Target.X, StepX), Side(Block.Top, Block.Bottom, Target.Y, StepY)};
    if (const int Distance = FCallout->Distance(); Distance != 0) {
        Start.X += StepX * Distance;
        Start.Y += StepY * Distance;
    }
    return Start;
}

void TAnnotationTool::ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomAxisPanel* Chart = ParentChart();
    if (!Chart)
        return;
    if (Kind == cmeDown) {
        if (OnClick && Clicked(X, Y))
            OnClick(this, Button, Shift, X, Y);
    } else if (Kind == cmeMove && FCursor != crDefault && Clicked(X, Y)) {
        Chart->ShowCursor(FCursor);
        Chart->SetMouseCancelled(true);
    }
}

} // namespace lp
