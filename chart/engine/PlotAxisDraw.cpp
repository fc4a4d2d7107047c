// The axis' layout and drawing: the space it takes beside the chart
// rectangle, its title, labels (custom, value, event, logarithmic, point and
// depth-series labels) with overlap skipping, the axis line, ticks, grid,
// minor ticks and minor grid.
//
// Across the axis, LabelsPixel and TitlePixel are the inner edges of the
// labels' and the title's bands; texts are anchored there and extend
// outward (down for a bottom axis, up for a top one, left for a left axis,
// right for a right one).

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotAxisLabelBoxes.h"

#include "chart/canvas/PlotRoutines.h"
#include "chart/engine/PlotAxisPanel.h"
#include "chart/engine/PlotSeriesSource.h"
#include "platform/base/Numeric.h"
#include "platform/core/DateTimeFormat.h"

#include <QtCore/QLocale>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <unordered_map>
#include <utility>
#include <vector>

namespace lp {

namespace {

// A + B within the pixel limit (sizes come from texts and settings).
int AddPixels(int A, long long B)
{
    const long long Limit = PlotMaxPixelPos;
    return static_cast<int>(std::clamp(static_cast<long long>(A) + B, -Limit, Limit));
}

// Restores a flag when the scope ends (also when drawing raises).
struct TFlagRestore {
    bool& Flag;
    bool Old;
    ~TFlagRestore() { Flag = Old; }
};

// Minor marks every Delta pixels (rounded per mark) from tick pixel From
// outward to the axis end, strictly inside Lo .. Hi. Marks denser than
// pixels fall on every pixel: each is marked once.
void AddMinorRunToEnd(std::vector<int>& Result, int From, double Delta, long long Lo, long long Hi)
{
    if (!(std::abs(Delta) > 0))
        return;
    const long long Direction = Delta > 0 ? 1 : -1;
    const long long Reach = Delta > 0 ? Hi - From : From - Lo;
    if (std::abs(Delta) < 1) {
        for (long long K = 1; K < Reach; ++K)
            if (const long long Pixel = From + Direction * K; Pixel > Lo && Pixel < Hi)
                Result.push_back(static_cast<int>(Pixel));
        return;
    }
    const auto Steps = static_cast<long long>(std::floor(static_cast<double>(Reach) / std::abs(Delta)));
    for (long long K = 1; K <= Steps; ++K) {
        const int Pixel = RoundPixel(From + RoundHalfEven(static_cast<double>(K) * Delta));
        if (Pixel > Lo && Pixel < Hi)
            Result.push_back(Pixel);
    }
}

} // namespace

// --- Measuring ------------------------------------------------------------------------------------

void TChartAxis::SelectFont(TPlotFont& Font) const
{
    if (!FParentChart)
        return;
    TPlotCanvas3D& C = FParentChart->Canvas();
    if (C.ReferenceCanvas())
        C.AssignFont(Font);
}

int TChartAxis::TextWidthOf(const QString& Line) const
{
    if (LabelMeasurer.TextWidth)
        return LabelMeasurer.TextWidth(Line);
    if (!FParentChart || !FParentChart->Canvas().ReferenceCanvas())
        return 0;
    return FParentChart->Canvas().TextWidth(Line);
}

int TChartAxis::FontHeightOf() const
{
    if (LabelMeasurer.FontHeight)
        return LabelMeasurer.FontHeight();
    if (!FParentChart || !FParentChart->Canvas().ReferenceCanvas())
        return 0;
    return FParentChart->Canvas().FontHeight();
}

int TChartAxis::MultiLineWidth(const QString& Text, int& Lines) const
{
    return WidestLineWidth(Text, Lines, [this](const QString& Line) { return TextWidthOf(Line); });
}

int TChartAxis::SizeAcross(int Angle, int Width, int Lines, int FixedSize) const
{
    if (FixedSize != 0)
        return FixedSize;
    const int A = NormalAngle(Angle);
    const bool UseWidth = FHorizontal ? (A != 0 && A != 180) : (A != 90 && A != 270);
    return UseWidth ? Width : FontHeightOf() * std::max(1, Lines);
}

int TChartAxis::CalcTicksSize() const
{
    int Result = 0;
    if (FAxisPen->Visible())
        Result += FAxisPen->Width() + 1;
    if (FTicks->Visible())
        Result += FTickLength;
    if (FMinorTicks->Visible())
        Result = std::max(Result, FMinorTickLength);
    return Result;
}

int TChartAxis::MaxLabelsWidth(int* Lines) const
{
    int Width = 0;
    int MostLines = 1;
    const auto Consider = [&](const QString& Text) {
        int N = 0;
        Width = std::max(Width, MultiLineWidth(Text, N));
        MostLines = std::max(MostLines, N);
    };
    if (FItems->Count() > 0) {
        for (const auto& Item : *FItems) {
            SelectFont(*Item->Font());
            Consider(Item->Text().isEmpty() ? LabelTextWithoutEvent(Item->Value()) : Item->Text());
        }
        SelectFont(*LabelsFont());
    } else if (FParentChart) {
        SelectFont(*LabelsFont());
        switch (EffectiveLabelStyle()) {
        case talMark:
            for (TChartSeries* Series : FParentChart->SeriesList())
                if (Series->Active())
                    for (int I = 0; I < Series->Count(); ++I)
                        Consider(Series->GetMarkText(I));
            break;
        case talText:
            for (TChartSeries* Series : FParentChart->SeriesList()) {
                if (FIsDepthAxis) {
                    if (Series->Active())
                        Consider(SeriesTitleOrName(Series));
                } else {
                    for (int I = 0; I < Series->Labels().Count(); ++I)
                        Consider(Series->Labels().GetLabel(I));
                }
            }
            break;
        case talValue: {
            const double Step = CalcLabelsIncrement();
            double Lo = FCalcMinimum;
            double Hi = FCalcMaximum;
            if (FRoundFirstLabel || (FIsDateTimeAxis && FExactDateTime)) {
                Lo = std::trunc(FCalcMinimum / Step) * Step;
                Hi = std::trunc(FCalcMaximum / Step) * Step;
            }
            Consider(LabelTextWithoutEvent(Lo));
            Consider(LabelTextWithoutEvent(Hi));
            Width += TextWidthOf(QStringLiteral(" "));
            break;
        }
        default:
            break;
        }
    }
    if (Lines)
        *Lines = MostLines;
    return Width;
}

int TChartAxis::CalcLabelsSize() const
{
    int Lines = 1;
    const int Width = MaxLabelsWidth(&Lines);
    long long Size = SizeAcross(FLabelsAngle, Width, Lines, FLabelsSize);
    if (FLabelsAlternate)
        Size *= 2;
    int Result = static_cast<int>(std::clamp<long long>(Size, -PlotMaxPixelPos, PlotMaxPixelPos));
    if (FParentChart && FParentChart->AxesList().OnAxisSize)
        Result = FParentChart->AxesList().OnAxisSize(const_cast<TChartAxis*>(this), Result);
    return Result;
}

int TChartAxis::ZPositionPixels() const
{
    if (!FParentChart)
        return 0;
    const double Depth = FIsDepthAxis ? FParentChart->ChartRectangle().Height() : FParentChart->Depth3D();
    return RoundPixel(FZPosition * 0.01 * Depth);
}

// --- Layout ---------------------------------------------------------------------------------------

TAxisLabelStyle TChartAxis::EffectiveLabelStyle() const
{
    return FLabelStyle == talAuto ? CalcLabelStyle() : FLabelStyle;
}

int TChartAxis::EdgeOf(const TRect& Rect) const
{
    if (FHorizontal)
        return FOtherSide ? Rect.Top : Rect.Bottom;
    return FOtherSide ? Rect.Right : Rect.Left;
}

void TChartAxis::TakeSpace(TRect& Rect, int Size) const
{
    if (FHorizontal) {
        if (FOtherSide)
            Rect.Top = AddPixels(Rect.Top, Size);
        else
            Rect.Bottom = AddPixels(Rect.Bottom, -static_cast<long long>(Size));
    } else if (FOtherSide) {
        Rect.Right = AddPixels(Rect.Right, -static_cast<long long>(Size));
    } else {
        Rect.Left = AddPixels(Rect.Left, Size);
    }
}

int TChartAxis::MoveOutward(int Pixel, int Amount) const
{
    // Outward is down for a bottom axis and right for a right axis.
    const bool Grows = FHorizontal != FOtherSide;
    return AddPixels(Pixel, Grows ? Amount : -static_cast<long long>(Amount));
}

int TChartAxis::PositionOffset(const TRect& Rect) const
{
    if (FPositionPercent == 0 || std::isnan(FPositionPercent))
        return 0;
    double Offset = FPositionPercent;
    if (FPositionUnits == muPercent) {
        const double Size = FHorizontal ? static_cast<double>(Rect.Bottom) - Rect.Top
                                        : static_cast<double>(Rect.Right) - Rect.Left;
        Offset *= 0.01 * Size;
    }
    int Result = RoundPixel(Offset);
    // Positive values move the axis into the chart rectangle.
    if (FOtherSide)
        Result = -Result;
    if (FHorizontal)
        Result = -Result;
    return Result;
}

int TChartAxis::DepthAxisY() const
{
    const TRect R = FParentChart->ChartRectangle();
    return FParentChart->DepthTopAxis() == this ? R.Top : R.Bottom;
}

void TChartAxis::CalcAxisSpace(TRect& Rect, bool CalcSizes)
{
    FIsDateTimeAxis = IsDateTime();
    if (!CalcSizes) {
        FAxisLinePixel = AddPixels(EdgeOf(Rect), PositionOffset(Rect));
        PlaceLabelsAndTitleFromAxisLine();
        return;
    }
    if (!FIsDepthAxis && FTitle->Visible() && !FTitle->Caption().isEmpty()) {
        SelectFont(*FTitle->Font());
        int Lines = 0;
        const int Width = MultiLineWidth(FTitle->Caption(), Lines);
        TakeSpace(Rect, SizeAcross(FTitle->Angle(), Width, Lines, FTitleSize));
    }
    FTitlePixel = EdgeOf(Rect);
    if (FIsDepthAxis)
        FTitlePixel = FOtherSide ? Rect.Right : Rect.Left;
    if (Labels())
        TakeSpace(Rect, CalcLabelsSize());
    FLabelsPixel = EdgeOf(Rect);
    const int Extra = (FParentChart ? FParentChart->CalcWallSize(this) : 0) + CalcTicksSize();
    if (Extra > 0)
        TakeSpace(Rect, Extra);
    const int Offset = PositionOffset(Rect);
    FTitlePixel = AddPixels(FTitlePixel, Offset);
    FLabelsPixel = AddPixels(FLabelsPixel, Offset);
}

void TChartAxis::PlaceLabelsAndTitleFromAxisLine()
{
    FLabelsPixel = MoveOutward(FAxisLinePixel, CalcTicksSize());
    FTitlePixel = MoveOutward(FLabelsPixel, CalcLabelsSize());
}

TRect TChartAxis::CalcRect() const
{
    const int Lo = std::min(FStartPixel, FEndPixel);
    const int Hi = std::max(FStartPixel, FEndPixel);
    int A0;
    int A1;
    if (FAxisLinePixel <= FLabelsPixel) {
        A0 = AddPixels(FAxisLinePixel, -3);
        A1 = FLabelsPixel;
    } else {
        A0 = FLabelsPixel;
        A1 = AddPixels(FAxisLinePixel, 3);
    }
    if (FHorizontal)
        return {Lo, A0, Hi, A1};
    return {A0, Lo, A1, Hi};
}

bool TChartAxis::Clicked(int X, int Y) const
{
    if (!FParentChart || !FParentChart->IsAxisVisible(this))
        return false;
    if (FParentChart->View3D())
        FParentChart->Canvas().Calculate2DPosition(X, Y, FOtherSide ? FParentChart->Depth3D() : 0);
    return PointInRect(CalcRect(), X, Y);
}


namespace {

// Where and how a label or title text is anchored: the alignment for the
// device and the anchor, moved for the placements that centre the text
// block across the axis.
struct TLabelAnchor {
    unsigned Align = TA_LEFT | TA_TOP;
    int X = 0;
    int Y = 0;
    bool CentredBlock = false;
};

struct TLabelAnchorInput {
    bool Horizontal;
    bool OtherSide;
    bool Opposite;  // a label of a vertical axis aligned to the far side
    int OppositeSize;
    int HalfFontHeight;
    int Angle;  // 0 .. 359
    int X;
    int Y;
};

TLabelAnchor PlaceText(const TLabelAnchorInput& In)
{
    // T1: right- or left-aligned; T2: centred at the top or the bottom.
    const auto T1 = [](bool Left) -> unsigned { return Left ? TA_LEFT : TA_RIGHT; };
    const auto T2 = [](bool Bottom) -> unsigned { return TA_CENTER | (Bottom ? TA_BOTTOM : TA_TOP); };
    const int H = In.HalfFontHeight;
    TLabelAnchor P{TA_LEFT | TA_TOP, In.X, In.Y, false};
    switch (In.Angle) {
    case 0:
        if (In.Horizontal) {
            P.Align = TA_CENTER | (In.OtherSide ? TA_BOTTOM : TA_TOP);
        } else {
            if (In.Opposite) {
                P.Align = In.OtherSide ? TA_RIGHT : TA_LEFT;
                P.X = AddPixels(P.X, In.OtherSide ? In.OppositeSize : -static_cast<long long>(In.OppositeSize));
            } else {
                P.Align = T1(In.OtherSide);
            }
            P.Y = AddPixels(P.Y, -H);
            P.CentredBlock = true;
        }
        break;
    case 90:
        if (In.Horizontal) {
            P.Align = T1(In.OtherSide);
            P.X = AddPixels(P.X, -H);
            P.CentredBlock = true;
        } else {
            P.Align = T2(!In.OtherSide);
        }
        break;
    case 180:
        if (In.Horizontal) {
            P.Align = TA_CENTER | (In.OtherSide ? TA_TOP : TA_BOTTOM);
        } else {
            P.Align = T1(!In.OtherSide);
            P.Y = AddPixels(P.Y, H);
            P.CentredBlock = true;
        }
        break;
    case 270:
        if (In.Horizontal) {
            P.Align = T1(!In.OtherSide);
            P.X = AddPixels(P.X, H);
            P.CentredBlock = true;
        } else {
            P.Align = T2(In.OtherSide);
        }
        break;
    default:
        break;
    }
    return P;
}

// Boxes overlap when they share pixels (right and bottom edges exclusive):
// touching boxes do not.
bool BoxesOverlap(const TRect& A, const TRect& B)
{
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

// The screen box of a text block anchored as In says: each line's width
// (Width) and FontH high, lines one font height apart, turned by the angle.
TRect TextBlockBox(const TLabelAnchorInput& In, const QStringList& Lines, int FontH,
                   const std::function<int(const QString&)>& Width)
{
    const TLabelAnchor Place = PlaceText(In);
    const int Count = static_cast<int>(Lines.size());
    const double Radians = In.Angle * std::numbers::pi / 180;
    const double Rx = std::cos(Radians);
    const double Ry = -std::sin(Radians);
    const double Dx = std::sin(Radians);
    const double Dy = std::cos(Radians);
    const unsigned Vert = Place.Align & TA_VERTICAL_MASK;
    const unsigned Horiz = Place.Align & TA_HORIZONTAL_MASK;
    double FirstLine = 0;
    if (Vert == TA_BOTTOM)
        FirstLine = -(Count - 1);
    else if (Place.CentredBlock)
        FirstLine = -(Count - 1) / 2.0;
    double Left = INFINITY, Top = INFINITY, Right = -INFINITY, Bottom = -INFINITY;
    for (int I = 0; I < Count; ++I) {
        const double Offset = (FirstLine + I) * FontH;
        const double OX = Place.X + Offset * Dx;
        const double OY = Place.Y + Offset * Dy;
        const double W = Width(Lines[I]);
        const double U0 = Horiz == TA_LEFT ? 0 : Horiz == TA_RIGHT ? -W : -W / 2;
        const double V0 = Vert == TA_BOTTOM ? -FontH : 0;
        for (const double U : {U0, U0 + W})
            for (const double V : {V0, V0 + FontH}) {
                const double PX = OX + U * Rx + V * Dx;
                const double PY = OY + U * Ry + V * Dy;
                Left = std::min(Left, PX);
                Right = std::max(Right, PX);
                Top = std::min(Top, PY);
                Bottom = std::max(Bottom, PY);
            }
    }
    if (!(Left <= Right && Top <= Bottom))
        return {};
    const auto Pixel = [](double V) { return static_cast<int>(std::clamp(V, -1e9, 1e9)); };
    return {Pixel(std::floor(Left + 1e-9)), Pixel(std::floor(Top + 1e-9)), Pixel(std::ceil(Right - 1e-9)),
            Pixel(std::ceil(Bottom - 1e-9))};
}

// A label's box widened along the axis by half of Separation per cent of
// its size on both sides: the room each label keeps free.
TRect SpacedBox(const TRect& Box, bool Horizontal, int Separation)
{
    const long long Size = Horizontal ? static_cast<long long>(Box.Right) - Box.Left
                                      : static_cast<long long>(Box.Bottom) - Box.Top;
    const long long Half = static_cast<long long>(std::min(std::trunc(Size * 0.02 * Separation), 1e9)) / 2;
    TRect Spaced = Box;
    if (Horizontal) {
        Spaced.Left = AddPixels(Spaced.Left, -Half);
        Spaced.Right = AddPixels(Spaced.Right, Half);
    } else {
        Spaced.Top = AddPixels(Spaced.Top, -Half);
        Spaced.Bottom = AddPixels(Spaced.Bottom, Half);
    }
    return Spaced;
}

// The labels an axis drew in its current drawing, for the rule that a
// label overlapping one drawn before is left out. Kept only while the axis
// draws, or while it shares boxes with other axes.
struct TLabelRoom {
    // The last labels drawn (widened by the separation), one per row of
    // alternating labels.
    std::vector<TRect> Last;
    std::vector<TRect>* Shared = nullptr;
    // Point and custom labels: the caller applied its own rule.
    bool Decided = false;
};

std::unordered_map<const TChartAxis*, TLabelRoom>& LabelRooms()
{
    static std::unordered_map<const TChartAxis*, TLabelRoom> Rooms;
    return Rooms;
}

// Marks the labels drawn while it lives as decided by the caller.
class TDecidedLabels {
public:
    explicit TDecidedLabels(const TChartAxis* Axis) : FRoom(LabelRooms()[Axis]) { FRoom.Decided = true; }
    ~TDecidedLabels() { FRoom.Decided = false; }
    TDecidedLabels(const TDecidedLabels&) = delete;
    TDecidedLabels& operator=(const TDecidedLabels&) = delete;

private:
    TLabelRoom& FRoom;
};

} // namespace

void SetSharedLabelBoxes(const TChartAxis& Axis, std::vector<TRect>* Boxes)
{
    if (Boxes)
        LabelRooms()[&Axis].Shared = Boxes;
    else
        LabelRooms().erase(&Axis);
}

// --- Drawing --------------------------------------------------------------------------------------

void TChartAxis::DrawAxis(bool CalcPosAxis)
{
    if (!FParentChart)
        return;
    TPlotCanvas3D& C = FParentChart->Canvas();
    FIsDateTimeAxis = IsDateTime();
    if (CalcPosAxis) {
        const TRect R = FParentChart->ChartRectangle();
        FAxisLinePixel = AddPixels(EdgeOf(R), PositionOffset(R));
        // A custom axis takes no space of its own: it was placed against the
        // chart rectangle before the other axes shrank it, so its labels and
        // title follow the line to where it is finally drawn.
        if (IsCustomAxis())
            PlaceLabelsAndTitleFromAxisLine();
    }
    C.SetBackMode(TRANSPARENT);
    DrawTitle();

    FTickPositions.clear();
    FLabelValues.clear();
    FDrawnLabels = 0;
    LabelRooms()[this].Last.clear();
    // The room goes with the drawing unless boxes are shared beyond it.
    struct TRoomEnd {
        const TChartAxis* Axis;
        ~TRoomEnd()
        {
            const auto Found = LabelRooms().find(Axis);
            if (Found != LabelRooms().end() && !Found->second.Shared)
                LabelRooms().erase(Found);
        }
    } RoomEnd{this};
    FAlternateShift = 0;
    FOppositeSize = 0;
    if (FLabelsAlternate) {
        SelectFont(*LabelsFont());
        FAlternateShift = FHorizontal ? FontHeightOf() : MaxLabelsWidth();
    }
    if (FLabelsAlign == alOpposite && !FHorizontal)
        FOppositeSize = CalcLabelsSize();

    if (FItems->Count() > 0) {
        DrawCustomLabels();
    } else {
        const TAxisLabelStyle Style = EffectiveLabelStyle();
        if (Style != talNone && !(FCalcMaximum < FCalcMinimum)) {
            SelectFont(*LabelsFont());
            if (Style == talValue) {
                if (FLogarithmic && FIncrement == 0) {
                    DrawLogLabels();
                } else {
                    const double Step = CalcLabelsIncrement();
                    int StepIndex = dtNone;
                    if (FIsDateTimeAxis && FExactDateTime && FIncrement != 0) {
                        StepIndex = FindDateTimeStep(FIncrement);
                        if (StepIndex != dtNone)
                            while (StepIndex < dtOneYear && Step > DateTimeStep(StepIndex))
                                ++StepIndex;
                    }
                    const bool MonthBased = StepIndex >= dtHalfMonth && StepIndex <= dtOneYear;
                    if (Step > 0 || MonthBased) {
                        if (!FParentChart->OnGetNextAxisLabel || !DrawLabelsFromEvent())
                            DrawValueLabels(Step, StepIndex);
                    }
                }
            } else if (Style == talText && FIsDepthAxis) {
                DrawDepthSeriesLabels();
            } else if (Style == talMark || Style == talText) {
                DrawPointLabels(Style);
            }
        }
    }
    DrawTicksLineAndGrid();
}

void TChartAxis::DrawAxisAgain()
{
    if (FParentChart)
        DrawTicksLineAndGrid();
}

void TChartAxis::DrawTitle()
{
    if (!FTitle->Visible() || FTitle->Caption().isEmpty())
        return;
    TPlotCanvas3D& C = FParentChart->Canvas();
    // A title is plain text: an "E" in it is no exponent.
    TFlagRestore Restore{FLabelsExponent, FLabelsExponent};
    FLabelsExponent = false;
    SelectFont(*FTitle->Font());
    C.SetBackMode(TRANSPARENT);
    const int FontH = FontHeightOf();
    const QString& Caption = FTitle->Caption();
    if (FIsDepthAxis) {
        C.SetTextAlign((FOtherSide ? TA_LEFT : TA_RIGHT) | TA_TOP);
        C.TextOut3D(FTitlePixel, DepthAxisY(), FParentChart->Depth3D() / 2, Caption);
        return;
    }
    int X;
    int Y;
    if (FHorizontal) {
        X = FCenterPixel;
        Y = FTitlePixel;
        if (FTitleAtEdge)
            Y = FOtherSide ? FontH : FParentChart->Height() - FontH;
    } else {
        X = FTitlePixel;
        if (FTitleAtEdge)
            X = FOtherSide ? static_cast<int>((static_cast<long long>(FTitlePixel) + FParentChart->Width()) / 2)
                           : FTitlePixel / 2;
        Y = FCenterPixel;
    }
    DrawLabelText(X, Y, ZPositionPixels(), FTitle->Angle(), Caption, nullptr, false);
}

void TChartAxis::DrawCustomLabels()
{
    // Items are placed by the user: all of them show.
    const TDecidedLabels Decided(this);
    for (const auto& Item : *FItems) {
        const double Value = Item->Value();
        if (!(Value >= FMinimum && Value <= FMaximum))
            continue;
        const int Pixel = CalcPosValue(Value);
        if (!FTickOnLabelsOnly)
            FTickPositions.push_back(Pixel);
        FLabelValues.push_back(Value);
        if (Item->Visible())
            DrawThisLabel(Pixel, Item->Text().isEmpty() ? LabelValue(Value) : Item->Text(), Item.get());
    }
}

void TChartAxis::DrawValueLabels(double Step, int StepIndex)
{
    const double Lo = FCalcMinimum;
    const double Hi = FCalcMaximum;
    // More labels than this would take longer than they are worth.
    if (!(std::fabs(FCalcRange / Step) < 10000))
        return;
    // Calendar steps need calendar dates down to a year below the range;
    // beyond the calendar the labels step as numbers and show as numbers.
    const bool ExactDate = FIsDateTimeAxis && FExactDateTime && StepIndex != dtNone &&
                           IsCalendarDateTime(Lo - 366) && IsCalendarDateTime(Hi);
    const bool ByCalendar = ExactDate && StepIndex >= dtHalfMonth;
    const auto StepDown = [&](double V) {
        if (ByCalendar) {
            IncDecDateTime(true, false, V, Step, StepIndex);
            return V;
        }
        return V - Step;
    };
    const auto Draw = [&](double V) {
        FLabelValues.push_back(V);
        const int Pixel = CalcPosValue(V);
        if (!FTickOnLabelsOnly)
            FTickPositions.push_back(Pixel);
        DrawThisLabel(Pixel, Labels() ? LabelValue(V) : QString(), nullptr);
    };

    const auto FirstValue = [&] {
        double First = Hi;
        if (ExactDate && StepIndex >= dtOneDay)
            First = TruncDateToStep(StepIndex, Hi);
        else if (FRoundFirstLabel && LabelTextWithoutEvent(Lo) != LabelTextWithoutEvent(Hi))
            First = std::trunc(Hi / Step) * Step;
        for (int Guard = 0; First > Hi && Guard < 10000; ++Guard)
            First = StepDown(First);
        return First;
    };
    // Whether labels Step apart from First down to Lower would run into
    // each other: along the axis each takes its extent around its pixel
    // and the separation's gap; alternating labels meet every second one.
    const auto LabelsCollide = [&](double First, double Last, double Spacing) {
        if (!(Spacing > 0) || !(std::fabs(FCalcRange / Spacing) < 10000))
            return false;
        const int Angle = NormalAngle(FLabelsAngle);
        const bool Across = FHorizontal ? (Angle == 90 || Angle == 270) : (Angle == 0 || Angle == 180);
        const size_t Back = FLabelsAlternate ? 2 : 1;
        std::vector<std::pair<long long, long long>> Spans;
        double V = First;
        for (int Count = 0; V >= Last && Count <= 10000; ++Count, V -= Spacing) {
            const QString Text = LabelTextWithoutEvent(V);
            if (Text.isEmpty())
                continue;
            int Lines = 0;
            const int Width = MultiLineWidth(Text, Lines);
            const long long Size = Across ? static_cast<long long>(FontHeightOf()) * std::max(Lines, 1) : Width;
            const long long Gap = static_cast<long long>(std::min(std::trunc(Size * 0.02 * FLabelsSeparation), 1e12));
            const long long Half = (Size + Gap) / 2;
            const long long Pixel = CalcPosValue(V);
            Spans.emplace_back(Pixel - Half, Pixel + Half);
            if (Spans.size() > Back) {
                const auto& A = Spans.back();
                const auto& B = Spans[Spans.size() - 1 - Back];
                if (A.first < B.second && B.first < A.second)
                    return true;
            }
        }
        return false;
    };
    double Value = FirstValue();
    const double Lower = FCalcMinimum >= 0 ? (Lo - 1e-12) / (1 + 1e-12) : Lo;
    // The step was chosen from the widths of the range ends; labels between
    // them can be wider ("1.2" between "1" and "9"). A step whose labels
    // would run into each other gives way to the next larger one.
    if (FLabelsSeparation > 0 && Labels() && !FIsDateTimeAxis) {
        for (int Guard = 0; Guard < 64 && LabelsCollide(Value, Lower, Step); ++Guard) {
            const double Next = NextLabelStep(Step);
            if (!(Next > Step) || !std::isfinite(Next))
                break;
            Step = Next;
            Value = FirstValue();
        }
    }

    const auto Shortest = [](double V) { return QString::number(V, 'g', QLocale::FloatingPointShortest); };
    if (FRangeIsZero || std::fabs(Hi - Lo) <= 1e-10 || Shortest(Value) == Shortest(StepDown(Value))) {
        // No room for a second label, or a step the values cannot resolve.
        Draw(Value);
        return;
    }
    for (int Count = 0; Value >= Lower && Count <= 10000; ++Count) {
        Draw(Value);
        Value = StepDown(Value);
    }
}

bool TChartAxis::DrawLabelsFromEvent()
{
    // The chart's event places these labels, as items are placed: all show.
    const TDecidedLabels Decided(this);
    double Value = FCalcMinimum;
    bool Stop = true;
    for (int Index = 0;; ++Index) {
        FParentChart->OnGetNextAxisLabel(this, Index, Value, Stop);
        if (Stop || !(Value >= FCalcMinimum - 1e-7 && Value <= FCalcMaximum + 1e-7))
            return Index > 0;
        FLabelValues.push_back(Value);
        const int Pixel = CalcPosValue(Value);
        if (!FTickOnLabelsOnly)
            FTickPositions.push_back(Pixel);
        DrawThisLabel(Pixel, Labels() ? LabelValue(Value) : QString(), nullptr);
        if (Index >= 2000)
            return true;
    }
}

void TChartAxis::DrawLogLabels()
{
    if (FCalcMinimum == FCalcMaximum)
        return;
    const bool LinLog = IsLinLog();
    // Powers of a base not above 1 never grow: nothing to label.
    if (!LinLog && !(FLogarithmicBase > 1))
        return;
    const auto Next = [&](double V) { return LinLog ? LinLogShift(V, 1) : V * FLogarithmicBase; };
    const auto Prev = [&](double V) { return LinLog ? LinLogShift(V, -1) : V / FLogarithmicBase; };
    double Lo = FCalcMinimum;
    if (!LinLog && Lo <= 0)
        Lo = Lo == 0 ? 0.1 : LogRound(1e-10);
    double Value = LogRound(Lo);
    if (FMinorGrid->Visible()) {
        const double Below = Prev(Value);
        if (Below < FCalcMinimum)
            FTickPositions.push_back(CalcPosValue(Below));
    }
    double Last = Value;
    bool Any = false;
    for (int Guard = 0; Value <= FCalcMaximum && Guard < 10000; ++Guard) {
        if (Value >= FCalcMinimum) {
            FLabelValues.push_back(Value);
            const int Pixel = CalcPosValue(Value);
            if (!FTickOnLabelsOnly)
                FTickPositions.push_back(Pixel);
            DrawThisLabel(Pixel, Labels() ? LabelValue(Value) : QString(), nullptr);
            Last = Value;
            Any = true;
        }
        const double N = Next(Value);
        if (!(N > Value))
            break;
        Value = N;
    }
    if (Any && FMinorGrid->Visible()) {
        const double Above = Next(Last);
        if (Above > FCalcMaximum)
            FTickPositions.push_back(CalcPosValue(Above));
    }
}

void TChartAxis::DrawPointLabels(TAxisLabelStyle Style)
{
    std::vector<TChartSeries*> Sources;
    int First = -1;
    int Last = -1;
    for (TChartSeries* Series : FParentChart->SeriesList()) {
        if (!Series->Active() || !Series->AssociatedToAxis(this))
            continue;
        Sources.push_back(Series);
        if (Series->FirstVisibleIndex() >= 0) {
            First = First < 0 ? Series->FirstVisibleIndex() : std::min(First, Series->FirstVisibleIndex());
            Last = std::max(Last, Series->LastVisibleIndex());
        }
    }
    if (First < 0)
        return;
    // These labels follow their own overlap rule below.
    const TDecidedLabels Decided(this);
    const int Angle = NormalAngle(FLabelsAngle);
    bool MeasureHeight = !FHorizontal;
    if (Angle == 90 || Angle == 270)
        MeasureHeight = !MeasureHeight;
    bool HaveLast = false;
    long long LastPixel = 0;
    long long LastHalf = 0;
    for (int Index = First; Index <= Last; ++Index) {
        TChartSeries* Source = nullptr;
        QString Text;
        for (TChartSeries* Series : Sources) {
            if (Index < Series->FirstVisibleIndex() || Index > Series->LastVisibleIndex() || Index >= Series->Count())
                continue;
            if (!Source)
                Source = Series;
            QString Candidate = Style == talMark ? Series->GetMarkText(Index) : Series->Labels().GetLabel(Index);
            if (FParentChart->OnGetAxisLabel)
                FParentChart->OnGetAxisLabel(this, Series, Index, Candidate);
            if (!Candidate.isEmpty()) {
                Source = Series;
                Text = Candidate;
                break;
            }
        }
        if (!Source)
            continue;
        const double Value = FHorizontal ? Source->GetXValue(Index) : Source->GetYValue(Index);
        if (!(Value >= FCalcMinimum && Value <= FCalcMaximum))
            continue;
        const int Pixel = CalcPosValue(Value);
        if (!FTickOnLabelsOnly)
            FTickPositions.push_back(Pixel);
        FLabelValues.push_back(Value);
        if (!Labels() || Text.isEmpty())
            continue;
        SelectFont(*LabelsFont());
        int Lines = 0;
        const int Width = MultiLineWidth(Text, Lines);
        const long long Size = MeasureHeight ? static_cast<long long>(FontHeightOf()) * Lines : Width;
        long long Half = Size / 2;
        if (FLabelsSeparation != 0 && HaveLast) {
            const double Gap = std::min(std::trunc(Size * 0.02 * FLabelsSeparation), 1e12);
            Half = (Size + static_cast<long long>(Gap)) / 2;
            const bool Clears = Pixel >= LastPixel ? Pixel - Half >= LastPixel + LastHalf
                                                   : Pixel + Half <= LastPixel - LastHalf;
            if (!Clears)
                continue;
        }
        DrawThisLabel(Pixel, Text, nullptr);
        HaveLast = true;
        LastPixel = Pixel;
        LastHalf = Half;
    }
}

void TChartAxis::DrawDepthSeriesLabels()
{
    std::vector<TChartSeries*> Active;
    for (TChartSeries* Series : FParentChart->SeriesList())
        if (Series->Active())
            Active.push_back(Series);
    const double Lo = std::max(std::trunc(FCalcMinimum), 0.0);
    const double Hi = std::min(std::trunc(FCalcMaximum), static_cast<double>(Active.size()) - 1);
    if (!(Lo <= Hi))
        return;
    // Label i names the i-th active series, the series of Z order i.
    for (int I = static_cast<int>(Lo); I <= static_cast<int>(Hi); ++I) {
        TChartSeries* Series = Active[static_cast<size_t>(I)];
        QString Text = SeriesTitleOrName(Series);
        if (FParentChart->OnGetAxisLabel)
            FParentChart->OnGetAxisLabel(this, Series, I, Text);
        const double Value = FCalcMaximum - I - 0.5;
        FLabelValues.push_back(Value);
        const int Pixel = CalcPosValue(Value);
        if (!FTickOnLabelsOnly)
            FTickPositions.push_back(Pixel);
        DrawThisLabel(Pixel, Text, nullptr);
    }
}

void TChartAxis::DrawThisLabel(int Pixel, const QString& Text, TAxisItem* Item)
{
    if (!Labels()) {
        if (FTickOnLabelsOnly)
            FTickPositions.push_back(Pixel);
        return;
    }
    TPlotCanvas3D& C = FParentChart->Canvas();
    SelectFont(Item ? *Item->Font() : *LabelsFont());
    C.SetBackMode(TRANSPARENT);
    int X;
    int Y;
    int Z;
    if (FIsDepthAxis) {
        X = FLabelsPixel;
        if (!FOtherSide)
            X = AddPixels(X, -(2 + TextWidthOf(QStringLiteral("W")) / 2));
        Y = DepthAxisY();
        const TView3DOptions* View = FParentChart->View3DOptions();
        const bool Rotated = FParentChart->View3D() && View && !View->Orthogonal();
        Z = Rotated ? Pixel : AddPixels(Pixel, FontHeightOf() / 2);
    } else {
        int Across = FLabelsPixel;
        if (FLabelsAlternate && FDrawnLabels % 2 == 1)
            Across = MoveOutward(Across, FAlternateShift);
        X = FHorizontal ? Pixel : Across;
        Y = FHorizontal ? Across : Pixel;
        Z = ZPositionPixels();
    }
    // A label that would overlap one drawn before is left out, with its
    // tick when ticks go only with labels.
    const auto Room = LabelRooms().find(this);
    if (!FIsDepthAxis && !Text.isEmpty() && Room != LabelRooms().end()) {
        const int FontH = FontHeightOf();
        const TRect Box = TextBlockBox({FHorizontal, FOtherSide, FLabelsAlign == alOpposite, FOppositeSize, FontH / 2,
                                        NormalAngle(FLabelsAngle), X, Y},
                                       Text.split(PlotLineSeparator), FontH,
                                       [this](const QString& Line) { return TextWidthOf(Line); });
        const TLabelRoom& R = Room->second;
        const auto Hits = [&](const TRect& Other) { return BoxesOverlap(Box, Other); };
        if (R.Shared && std::any_of(R.Shared->begin(), R.Shared->end(), Hits))
            return;
        // LabelsSeparation 0 lets the axis' own labels overlap.
        const TRect Spaced = SpacedBox(Box, FHorizontal, FLabelsSeparation);
        if (!R.Decided && FLabelsSeparation != 0 &&
            std::any_of(R.Last.begin(), R.Last.end(), [&](const TRect& L) { return BoxesOverlap(Spaced, L); }))
            return;
        if (Room->second.Shared)
            Room->second.Shared->push_back(Box);
        // The last two: with alternating labels, the last of each row.
        std::vector<TRect>& Last = Room->second.Last;
        Last.push_back(Spaced);
        if (Last.size() > 2)
            Last.erase(Last.begin());
    }
    if (FTickOnLabelsOnly)
        FTickPositions.push_back(Pixel);
    ++FDrawnLabels;
    QString Shown = Text;
    bool Draw = true;
    if (OnDrawLabel)
        OnDrawLabel(this, X, Y, Z, Shown, Draw);
    if (Draw)
        DrawLabelText(X, Y, Z, FLabelsAngle, Shown, Item, true);
}

void TChartAxis::DrawLabelText(int X, int Y, int Z, int Angle, const QString& Text, TAxisItem* Item, bool IsLabel)
{
    if (Text.isEmpty())
        return;
    TPlotCanvas3D& C = FParentChart->Canvas();
    const int FontH = FontHeightOf();
    const int A = NormalAngle(Angle);
    const TLabelAnchor Place = PlaceText({FHorizontal, FOtherSide, IsLabel && FLabelsAlign == alOpposite,
                                            FOppositeSize, FontH / 2, A, X, Y});
    const unsigned Align = Place.Align;
    X = Place.X;
    Y = Place.Y;
    const bool CentredBlock = Place.CentredBlock;

    const QStringList Lines = Text.split(PlotLineSeparator);
    const int Count = static_cast<int>(Lines.size());
    // The text's own directions on the screen: reading and downwards.
    const double Radians = A * std::numbers::pi / 180;
    const double Rx = std::cos(Radians);
    const double Ry = -std::sin(Radians);
    const double Dx = std::sin(Radians);
    const double Dy = std::cos(Radians);
    const bool BottomAnchored = (Align & TA_VERTICAL_MASK) == TA_BOTTOM;
    // Offset of the first line, in lines: bottom-anchored blocks grow
    // upward, centred blocks around the anchor.
    double FirstLine = 0;
    if (BottomAnchored)
        FirstLine = -(Count - 1);
    else if (CentredBlock)
        FirstLine = -(Count - 1) / 2.0;

    if (Item && !Item->Transparent()) {
        // The item's frame around the whole text block, turned by the angle.
        int Width = 0;
        for (const QString& Line : Lines)
            Width = std::max(Width, TextWidthOf(Line));
        const double BlockH = static_cast<double>(FontH) * Count;
        const unsigned Horiz = Align & TA_HORIZONTAL_MASK;
        const double U0 = Horiz == TA_LEFT ? 0 : Horiz == TA_RIGHT ? -Width : -Width / 2.0;
        const double V0 = BottomAnchored ? -BlockH : FirstLine * FontH;
        const double Cu = U0 + Width / 2.0;
        const double Cv = V0 + BlockH / 2.0;
        const int Cx = RoundPixel(X + Cu * Rx + Cv * Dx);
        const int Cy = RoundPixel(Y + Cu * Ry + Cv * Dy);
        const int HalfW = Width / 2 + 2;
        const int HalfH = static_cast<int>(BlockH / 2) + 1;
        Item->DrawRectRotated({AddPixels(Cx, -HalfW), AddPixels(Cy, -HalfH), AddPixels(Cx, HalfW),
                               AddPixels(Cy, HalfH)},
                              A, Z);
        SelectFont(*Item->Font());
        C.SetBackMode(TRANSPARENT);
    }

    for (int I = 0; I < Count; ++I) {
        const double Offset = (FirstLine + I) * FontH;
        DrawTextLine(RoundPixel(X + Offset * Dx), RoundPixel(Y + Offset * Dy), Z, A, Align, Lines[I]);
    }
}

void TChartAxis::DrawTextLine(int X, int Y, int Z, int Angle, unsigned Align, const QString& Line)
{
    TPlotCanvas3D& C = FParentChart->Canvas();
    QString Text = Line;
    // A short text with a digit 1 to 9 and no exponent is no zero (most
    // labels): it is not read as a number.
    const bool NonZero = Text.size() < 300 &&
                         std::any_of(Text.begin(), Text.end(), [](QChar c) { return c >= u'1' && c <= u'9'; }) &&
                         !Text.contains(QLatin1Char('e'), Qt::CaseInsensitive);
    if (!NonZero) {
        // "-0", "0.00" or "0,0" read as zero: shown as "0".
        QString Number = Text.trimmed();
        Number.replace(QLatin1Char(','), QLatin1Char('.'));
        bool Ok = false;
        const double V = Number.toDouble(&Ok);
        if (Ok && V == 0)
            Text = QStringLiteral("0");
    }
    const auto Out = [&](int PX, int PY, unsigned PAlign, const QString& S) {
        C.SetTextAlign(PAlign);
        if (Angle == 0)
            C.TextOut3D(PX, PY, Z, S);
        else
            C.RotateLabel3D(PX, PY, Z, S, Angle);
    };
    const int E = FLabelsExponent ? static_cast<int>(Text.indexOf(QLatin1Char('E'), 0, Qt::CaseInsensitive)) : -1;
    if (E < 0) {
        Out(X, Y, Align, Text);
        return;
    }
    // Mantissa and a raised exponent in a font a quarter smaller.
    const QString Mantissa = Text.left(E);
    const QString Exponent = Text.mid(E + 1);
    const double Radians = Angle * std::numbers::pi / 180;
    const double Rx = std::cos(Radians);
    const double Ry = -std::sin(Radians);
    const double Ux = -std::sin(Radians);
    const double Uy = -std::cos(Radians);
    const int Raise = (FontHeightOf() - 1) / 2 - 2;
    TPlotFont* MainFont = C.ReferenceCanvas() ? C.FontAssigned() : nullptr;
    TPlotFont Small;
    if (MainFont) {
        Small.Assign(MainFont);
        Small.SetSize(MainFont->Size() - MainFont->Size() / 4);
    }
    const int MantissaWidth = TextWidthOf(Mantissa);
    if (MainFont)
        SelectFont(Small);
    const int ExponentWidth = TextWidthOf(Exponent);
    if (MainFont)
        SelectFont(*MainFont);
    const unsigned Vert = Align & TA_VERTICAL_MASK;
    unsigned Horiz = Align & TA_HORIZONTAL_MASK;
    double StartX = X;
    double StartY = Y;
    if (Horiz == TA_CENTER) {
        // Centred: the whole "mantissa exponent" pair around the anchor.
        const double Half = (MantissaWidth + 1 + ExponentWidth) / 2.0;
        StartX -= Half * Rx;
        StartY -= Half * Ry;
        Horiz = TA_LEFT;
    }
    const auto DrawExponent = [&](double PX, double PY) {
        if (MainFont)
            SelectFont(Small);
        Out(RoundPixel(PX + Raise * Ux), RoundPixel(PY + Raise * Uy), Horiz | Vert, Exponent);
        if (MainFont)
            SelectFont(*MainFont);
    };
    if (Horiz == TA_LEFT) {
        Out(RoundPixel(StartX), RoundPixel(StartY), TA_LEFT | Vert, Mantissa);
        DrawExponent(StartX + (MantissaWidth + 1) * Rx, StartY + (MantissaWidth + 1) * Ry);
    } else {
        DrawExponent(StartX, StartY);
        Out(RoundPixel(StartX - (ExponentWidth + 1) * Rx), RoundPixel(StartY - (ExponentWidth + 1) * Ry),
            TA_RIGHT | Vert, Mantissa);
    }
}

// --- Line, ticks and grid -----------------------------------------------------------------------

void TChartAxis::DrawTick(int Pixel, int Offset, int Length)
{
    TPlotCanvas3D& C = FParentChart->Canvas();
    const int A = FAxisLinePixel;
    if (FIsDepthAxis) {
        const long long Sign = FOtherSide ? 1 : -1;
        const int X0 = AddPixels(A, Sign * Offset);
        C.HorizLine3D(X0, AddPixels(X0, Sign * Length), DepthAxisY(), Pixel);
    } else if (FHorizontal) {
        const long long Sign = FOtherSide ? -1 : 1;
        const int Y0 = AddPixels(A, Sign * Offset);
        C.VertLine3D(Pixel, Y0, AddPixels(Y0, Sign * Length), ZPositionPixels());
    } else {
        const long long Sign = FOtherSide ? 1 : -1;
        const int X0 = AddPixels(A, Sign * Offset);
        C.HorizLine3D(X0, AddPixels(X0, Sign * Length), Pixel, ZPositionPixels());
    }
}

void TChartAxis::DrawGridLine(int Pixel)
{
    TPlotCanvas3D& C = FParentChart->Canvas();
    const TRect R = FParentChart->ChartRectangle();
    if (FIsDepthAxis) {
        // Left wall and floor at depth Pixel.
        C.VertLine3D(R.Left, R.Top, R.Bottom, Pixel);
        C.HorizLine3D(R.Left, R.Right, R.Bottom, Pixel);
        return;
    }
    if (!FParentChart->View3D()) {
        if (FHorizontal)
            C.VertLine(Pixel, R.Top, AddPixels(R.Bottom, 1));
        else
            C.HorizLine(AddPixels(R.Left, 1), R.Right, Pixel);
        return;
    }
    // On the back wall, and along the depth from the grid's start depth.
    const int Depth = FParentChart->Depth3D();
    const int Front = RoundPixel(Depth * FGrid->ZPosition() * 0.01);
    if (FHorizontal) {
        C.VertLine3D(Pixel, R.Top, R.Bottom, Depth);
        if (Front != Depth)
            C.ZLine3D(Pixel, FAxisLinePixel, Front, Depth);
    } else {
        C.HorizLine3D(R.Left, R.Right, Pixel, Depth);
        if (Front != Depth)
            C.ZLine3D(FAxisLinePixel, Pixel, Front, Depth);
    }
}

void TChartAxis::DrawAxisLine()
{
    TPlotCanvas3D& C = FParentChart->Canvas();
    const int A = FAxisLinePixel;
    const int Z = ZPositionPixels();
    if (FAxisPen->LineMode() == lmLine) {
        C.AssignVisiblePen(*FAxisPen);
        if (FIsDepthAxis)
            C.ZLine3D(A, DepthAxisY(), FStartPixel, FEndPixel);
        else if (FHorizontal)
            C.HorizLine3D(FStartPixel, FEndPixel, A, Z);
        else
            C.VertLine3D(A, FStartPixel, FEndPixel, Z);
        return;
    }
    // A solid body in the pen's colour, the pen's width thick.
    C.Pen()->SetStyle(TPen::psClear);
    C.Brush()->SetStyle(TBrush::bsSolid);
    C.Brush()->SetColor(FAxisPen->Color());
    const int Width = std::max(1, FAxisPen->Width());
    const int Half = Width / 2;
    const int Lo = std::min(FStartPixel, FEndPixel);
    const int Hi = std::max(FStartPixel, FEndPixel);
    const int A0 = AddPixels(A, -Half);
    const int A1 = AddPixels(A0, Width);
    if (FIsDepthAxis) {
        const int Y0 = AddPixels(DepthAxisY(), -Half);
        C.Cube(A0, A1, Y0, AddPixels(Y0, Width), Lo, Hi, true);
    } else {
        const TRect Body = FHorizontal ? TRect{Lo, A0, Hi, A1} : TRect{A0, Lo, A1, Hi};
        if (FAxisPen->LineMode() == lmRectangle)
            C.RectangleWithZ(Body, Z);
        else
            C.Cylinder(!FHorizontal, Body.Left, Body.Top, Body.Right, Body.Bottom, AddPixels(Z, -Half),
                       AddPixels(Z, Width - Half), true);
    }
    C.Brush()->SetStyle(TBrush::bsClear);
}

std::vector<int> TChartAxis::MinorPixels() const
{
    std::vector<int> Result;
    const long long Lo = std::min(FStartPixel, FEndPixel);
    const long long Hi = std::max(FStartPixel, FEndPixel);
    // More marks than pixels would only overdraw.
    const int Count = static_cast<int>(std::min<long long>(FMinorTickCount, std::max(Hi - Lo, 1LL)));
    if (Count <= 0)
        return Result;
    const auto Add = [&](int Pixel) {
        if (Pixel > Lo && Pixel < Hi)
            Result.push_back(Pixel);
    };
    if (FLogarithmic) {
        std::vector<double> Values = FLabelValues;
        std::sort(Values.begin(), Values.end());
        Values.erase(std::unique(Values.begin(), Values.end()), Values.end());
        if (Values.empty())
            return Result;
        const bool LinLog = IsLinLog();
        const auto Next = [&](double V) { return LinLog ? LinLogShift(V, 1) : V * FLogarithmicBase; };
        // The part of the axis below the first label has its marks too.
        const double Before = LinLog ? LinLogShift(Values.front(), -1) : Values.front() / FLogarithmicBase;
        if (Before < Values.front())
            Values.insert(Values.begin(), Before);
        for (const double V : Values) {
            const double N = Next(V);
            if (!(N > V) || std::isinf(N))
                continue;
            for (int K = 1; K <= Count; ++K) {
                const double M = V + K * (N - V) / (Count + 1);
                if (M >= FCalcMinimum && M <= FCalcMaximum)
                    Add(CalcPosValue(M));
            }
        }
        return Result;
    }
    std::vector<int> Ticks = FTickPositions;
    std::sort(Ticks.begin(), Ticks.end());
    Ticks.erase(std::unique(Ticks.begin(), Ticks.end()), Ticks.end());
    const size_t N = Ticks.size();
    if (N < 2)
        return Result;
    for (size_t I = 0; I + 1 < N; ++I) {
        const double Delta = (static_cast<double>(Ticks[I + 1]) - Ticks[I]) / (Count + 1);
        for (int K = 1; K <= Count; ++K)
            Add(RoundPixel(Ticks[I] + RoundHalfEven(K * Delta)));
    }
    // The spacing of the outer intervals continues to the axis ends, where
    // custom or skipped labels may leave wide gaps.
    AddMinorRunToEnd(Result, Ticks[0], -(static_cast<double>(Ticks[1]) - Ticks[0]) / (Count + 1), Lo, Hi);
    AddMinorRunToEnd(Result, Ticks[N - 1], (static_cast<double>(Ticks[N - 1]) - Ticks[N - 2]) / (Count + 1), Lo, Hi);
    return Result;
}

void TChartAxis::DrawTicksLineAndGrid()
{
    TPlotCanvas3D& C = FParentChart->Canvas();
    C.Brush()->SetStyle(TBrush::bsClear);
    C.SetBackMode(TRANSPARENT);
    if (FAxisPen->Visible())
        DrawAxisLine();
    const long long Lo = static_cast<long long>(std::min(FStartPixel, FEndPixel)) - 2;
    const long long Hi = static_cast<long long>(std::max(FStartPixel, FEndPixel)) + 2;
    const auto InRange = [&](long long P) { return P >= Lo && P <= Hi; };
    if (FTicks->Visible() && FTickLength != 0) {
        C.AssignVisiblePen(*FTicks);
        for (const int P : FTickPositions)
            if (InRange(P))
                DrawTick(P, 0, FTickLength);
    }
    if (OnDrawGrid)
        OnDrawGrid(this);
    if (FGrid->Visible()) {
        C.AssignVisiblePenColor(*FGrid, FGrid->Color() == clPlotColor ? clGray : FGrid->Color());
        if (FGrid->Centered()) {
            for (size_t I = 1; I < FTickPositions.size(); ++I) {
                const long long P = (static_cast<long long>(FTickPositions[I - 1]) + FTickPositions[I]) / 2;
                if (InRange(P))
                    DrawGridLine(static_cast<int>(P));
            }
        } else {
            for (const int P : FTickPositions)
                if (InRange(P))
                    DrawGridLine(P);
        }
    }
    if (FTicksInner->Visible() && FTickInnerLength != 0) {
        C.AssignVisiblePen(*FTicksInner);
        for (const int P : FTickPositions)
            if (InRange(P))
                DrawTick(P, 0, -FTickInnerLength);
    }
    const bool MinorTicksShown = FMinorTicks->Visible() && FMinorTickLength != 0;
    if (!FTickPositions.empty() && (MinorTicksShown || FMinorGrid->Visible())) {
        const std::vector<int> Minor = MinorPixels();
        if (MinorTicksShown) {
            C.AssignVisiblePen(*FMinorTicks);
            for (const int P : Minor)
                DrawTick(P, 0, FMinorTickLength);
        }
        if (FMinorGrid->Visible()) {
            C.AssignVisiblePenColor(*FMinorGrid, FMinorGrid->Color() == clPlotColor ? clGray : FMinorGrid->Color());
            for (const int P : Minor)
                DrawGridLine(P);
        }
    }
    C.SetBackMode(OPAQUE);
}

void TChartAxis::CustomDrawMinMax(int ALabelsPixel, int ATitlePixel, int AAxisLinePixel, bool GridVisible,
                                  double AMinimum, double AMaximum, double AIncrement, int AStartPixel, int AEndPixel)
{
    struct TSaved {
        TChartAxis& Axis;
        double Minimum, Maximum, Increment, CalcMinimum, CalcMaximum;
        bool Automatic, AutomaticMinimum, AutomaticMaximum, GridVisible;
        int StartPixel, EndPixel;
        ~TSaved()
        {
            Axis.FMinimum = Minimum;
            Axis.FMaximum = Maximum;
            Axis.FIncrement = Increment;
            Axis.FAutomatic = Automatic;
            Axis.FAutomaticMinimum = AutomaticMinimum;
            Axis.FAutomaticMaximum = AutomaticMaximum;
            auto OnChange = std::move(Axis.FGrid->OnChange);
            Axis.FGrid->OnChange = {};
            Axis.FGrid->SetVisible(GridVisible);
            Axis.FGrid->OnChange = std::move(OnChange);
            Axis.FCalcMinimum = CalcMinimum;
            Axis.FCalcMaximum = CalcMaximum;
            Axis.SetPixelSpan(StartPixel, EndPixel);
        }
    } Saved{*this,      FMinimum,         FMaximum,          FIncrement,        FCalcMinimum, FCalcMaximum,
            FAutomatic, FAutomaticMinimum, FAutomaticMaximum, FGrid->Visible(), FStartPixel,  FEndPixel};
    FAutomatic = false;
    FAutomaticMinimum = false;
    FAutomaticMaximum = false;
    FMinimum = AMinimum;
    FMaximum = AMaximum;
    FIncrement = AIncrement;
    {
        // Shown or hidden for this drawing only: no repaint request.
        auto OnChange = std::move(FGrid->OnChange);
        FGrid->OnChange = {};
        FGrid->SetVisible(GridVisible);
        FGrid->OnChange = std::move(OnChange);
    }
    FLabelsPixel = ALabelsPixel;
    FTitlePixel = ATitlePixel;
    FAxisLinePixel = AAxisLinePixel;
    FCalcMinimum = AMinimum;
    FCalcMaximum = AMaximum;
    SetPixelSpan(AStartPixel, AEndPixel);
    DrawAxis(false);
}

} // namespace lp
