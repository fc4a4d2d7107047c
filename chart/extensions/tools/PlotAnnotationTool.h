#pragma once
// The annotation tool: a framed block of text lines on the chart, at a
// corner or at a custom place (pixels or per cent of the chart), with an
// optional callout from the block to a point of the chart.
//
//   TAnnotationTool (TPlotCustomTool)
//     ├─owns─> TPlotShapePosition   frame, fill, font, shadow, custom place;
//     │                             its bounds keep the last block drawn
//     └─owns─> TAnnotationCallout   arrow and marker to (XPosition, YPosition)
//
// The block is drawn after the whole chart (paint event 0). Its geometry
// (CalcBlock) measures the text with the shape's font on the chart canvas;
// drawing and hit tests share it.

// The tools header observes axes and charts through QPointer: their
// classes must be complete wherever it is read.
#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotPointer.h"
#include "chart/engine/PlotTitles.h"
#include "chart/engine/PlotTools.h"

#include <functional>
#include <memory>

namespace lp {

// The block's shape, with its properties published.
class TPlotShapePosition : public TPlotCustomShapePosition {
    Q_OBJECT
    Q_PROPERTY(lp::TCustomPanelNoCaption::TBevelCut Bevel READ Bevel WRITE SetBevel)
    Q_CLASSINFO("default:Bevel", "bvNone")
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_CLASSINFO("default:BevelWidth", "2")
    Q_PROPERTY(lp::TChartBrush* Brush READ Brush WRITE SetBrush)
    Q_PROPERTY(int Color READ Color WRITE SetColor)
    Q_CLASSINFO("default:Color", "0xFFFFFF")
    Q_PROPERTY(bool CustomPosition READ CustomPosition WRITE SetCustomPosition)
    Q_CLASSINFO("default:CustomPosition", "false")
    Q_PROPERTY(lp::TPlotFont* Font READ Font WRITE SetFont)
    Q_PROPERTY(lp::TChartPen* Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(lp::TPlotGradient* Gradient READ Gradient WRITE SetGradient)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_CLASSINFO("stored:Left", "IsCustomPositionStored")
    Q_PROPERTY(lp::TPlotShadow* Shadow READ Shadow WRITE SetShadow)
    Q_PROPERTY(lp::TPlotCustomShape::TChartObjectShapeStyle ShapeStyle READ ShapeStyle WRITE SetShapeStyle)
    Q_CLASSINFO("default:ShapeStyle", "fosRectangle")
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_CLASSINFO("stored:Top", "IsCustomPositionStored")
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_CLASSINFO("default:Transparency", "0")
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_CLASSINFO("stored:Transparent", "IsTransparentStored")
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_CLASSINFO("default:Visible", "true")

public:
    using TPlotCustomShapePosition::TPlotCustomShapePosition;
    TChartPen* Frame() const { return Pen(); }
    void SetFrame(const TChartPen* Value) { SetPen(Value); }
};

// The callout of an annotation: hidden, its arrow pen hidden, pointing at a
// pixel point and depth of the chart.
class TAnnotationCallout : public TCallout {
    Q_OBJECT
    Q_PROPERTY(int XPosition READ XPosition WRITE SetXPosition)
    Q_CLASSINFO("default:XPosition", "0")
    Q_PROPERTY(int YPosition READ YPosition WRITE SetYPosition)
    Q_CLASSINFO("default:YPosition", "0")
    Q_PROPERTY(int ZPosition READ ZPosition WRITE SetZPosition)
    Q_CLASSINFO("default:ZPosition", "0")
    Q_CLASSINFO("default:Visible", "false")

public:
    TAnnotationCallout();

    // From an annotation callout: the three positions; then the callout's.
    void Assign(const TPersistent* Source) override;

    int XPosition() const { return FXPosition; }
    void SetXPosition(int Value) { SetPosition(FXPosition, Value); }
    int YPosition() const { return FYPosition; }
    void SetYPosition(int Value) { SetPosition(FYPosition, Value); }
    int ZPosition() const { return FZPosition; }
    void SetZPosition(int Value) { SetPosition(FZPosition, Value); }

private:
    void SetPosition(int& Field, int Value);

    int FXPosition = 0;
    int FYPosition = 0;
    int FZPosition = 0;
};

class TAnnotationTool : public TPlotCustomTool {
    Q_OBJECT
public:
    enum TAnnotationPosition { ppLeftTop, ppLeftBottom, ppRightTop, ppRightBottom };
    Q_ENUM(TAnnotationPosition)
    using TAlignment = TChartTitle::TAlignment;

private:
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_CLASSINFO("default:AutoSize", "true")
    Q_PROPERTY(lp::TAnnotationCallout* Callout READ Callout WRITE SetCallout)
    Q_PROPERTY(int Cursor READ Cursor WRITE SetCursor)
    Q_CLASSINFO("default:Cursor", "0")
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_CLASSINFO("stored:Height", "IsSizeStored")
    Q_PROPERTY(int Left READ Left WRITE SetLeft STORED false)
    Q_PROPERTY(TAnnotationPosition Position READ Position WRITE SetPosition)
    Q_CLASSINFO("default:Position", "ppLeftTop")
    Q_PROPERTY(lp::TCustomPlotPanel::TPlotUnits PositionUnits READ PositionUnits WRITE SetPositionUnits)
    Q_CLASSINFO("default:PositionUnits", "muPixels")
    Q_PROPERTY(lp::TPlotShapePosition* Shape READ Shape WRITE SetShape)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_CLASSINFO("default:Text", "")
    Q_PROPERTY(lp::TChartTitle::TAlignment TextAlignment READ TextAlignment WRITE SetTextAlignment)
    Q_CLASSINFO("default:TextAlignment", "taLeftJustify")
    Q_PROPERTY(int Top READ Top WRITE SetTop STORED false)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_CLASSINFO("stored:Width", "IsSizeStored")

public:
    using TAnnotationClick =
        std::function<void(TAnnotationTool* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;

    // Where the text starts (X, Y), the block around it and its line count.
    struct TBlock {
        int X = 0;
        int Y = 0;
        TRect Rect;
        int Lines = 0;
    };

    explicit TAnnotationTool(TComponent* AOwner = nullptr);
    ~TAnnotationTool() override;

    QString GetEditorClassName() const override { return QStringLiteral("TAnnotationToolEdit"); }
    // "Annotation".
    QString Description() const override;
    // The text drawn; Text here.
    virtual QString GetText() const { return FText; }

    // The shape and the callout follow the tool to its chart.
    void SetParentChart(TCustomAxisPanel* Value) override;
    // Draws the block after the whole chart (event 0).
    void ChartEvent(int Event) override;
    // A press on the block calls OnClick; a move over it shows Cursor.
    void ChartMouseEvent(int Kind, TMouseButton Button, TShiftState Shift, int X, int Y) override;

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { SetBooleanProperty(FAutoSize, Value); }
    TAnnotationCallout* Callout() const { return FCallout.get(); }
    void SetCallout(const TAnnotationCallout* Value) { FCallout->Assign(Value); }
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value) { FCursor = Value; }
    TAnnotationPosition Position() const { return FPosition; }
    // Also switches the shape's custom position off.
    void SetPosition(TAnnotationPosition Value);
    TPlotUnits PositionUnits() const { return FPositionUnits; }
    void SetPositionUnits(TPlotUnits Value);
    TPlotShapePosition* Shape() const { return FShape.get(); }
    void SetShape(const TPlotShapePosition* Value) { FShape->Assign(Value); }
    QString Text() const { return FText; }
    void SetText(const QString& Value) { SetStringProperty(FText, Value); }
    TAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TAlignment Value);
    // The shape's size; setting either switches AutoSize off.
    int Width() const { return FShape->Width(); }
    void SetWidth(int Value);
    int Height() const { return FShape->Height(); }
    void SetHeight(int Value);
    Q_INVOKABLE bool IsSizeStored() const { return !FAutoSize; }
    // The shape's custom place (its size stays).
    int Left() const { return FShape->Left(); }
    void SetLeft(int Value) { FShape->SetLeft(Value); }
    int Top() const { return FShape->Top(); }
    void SetTop(int Value) { FShape->SetTop(Value); }

    // The block for the present text and settings, measured on the chart
    // canvas; without a chart, or when the text must be measured while the
    // canvas is bound to no device, the block drawn last.
    TBlock CalcBlock() const;
    // (X, Y) lies in the block, edges included.
    bool Clicked(int X, int Y) const;
    // The point on the block where the callout starts towards Target: on
    // the side facing it, mid-side while Target lies within the block's
    // extent in that direction; Distance pixels further towards it.
    TPoint CalloutStart(const TRect& Block, const TPoint& Target) const;

    TAnnotationClick OnClick;

protected:
    // Draws the block and its callout on the chart canvas.
    virtual void DrawAnnotation();
private:
    // A custom-placed block of fixed size needs no text measuring.
    bool NeedsTextSize() const { return !(FShape->CustomPosition() && !FAutoSize); }
    TBlock MeasureBlock() const;
    void DrawTextLines(const TBlock& Block, const QString& Text);

    bool FAutoSize = true;
    std::unique_ptr<TAnnotationCallout> FCallout;
    TCursor FCursor = crDefault;
    TAnnotationPosition FPosition = ppLeftTop;
    TPlotUnits FPositionUnits = muPixels;
    std::unique_ptr<TPlotShapePosition> FShape;
    QString FText;
    TAlignment FTextAlignment = TChartTitle::taLeftJustify;
    TBlock FLastBlock;
};

using TAnnotationPosition = TAnnotationTool::TAnnotationPosition;
inline constexpr TAnnotationPosition ppLeftTop = TAnnotationTool::ppLeftTop;
inline constexpr TAnnotationPosition ppLeftBottom = TAnnotationTool::ppLeftBottom;
inline constexpr TAnnotationPosition ppRightTop = TAnnotationTool::ppRightTop;
inline constexpr TAnnotationPosition ppRightBottom = TAnnotationTool::ppRightBottom;

} // namespace lp
