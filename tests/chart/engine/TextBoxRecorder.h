#pragma once
// A recording device that also measures every text it is asked to draw:
// the box the text takes on the device (its extent placed by the current
// text alignment, turned by the font's escapement), for tests that check
// that texts do not overlap.

#include "platform/graphics/RecordingDC.h"

#include <QtCore/QString>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace lp::test {

struct TTextBox {
    QString Text;
    double Left, Top, Right, Bottom;
};

// Boxes that share more than a sliver of area (half a pixel each way):
// rounding of turned texts is not an overlap. With Margin, boxes closer
// than that many pixels count as overlapping too.
inline bool TextBoxesOverlap(const TTextBox& A, const TTextBox& B, double Margin = 0)
{
    return std::min(A.Right, B.Right) - std::max(A.Left, B.Left) + Margin > 0.5 &&
           std::min(A.Bottom, B.Bottom) - std::max(A.Top, B.Top) + Margin > 0.5;
}

// The first pair of overlapping boxes as a message, empty when none.
inline QString FirstOverlap(const std::vector<TTextBox>& Boxes, double Margin = 0)
{
    for (size_t I = 0; I < Boxes.size(); ++I)
        for (size_t J = I + 1; J < Boxes.size(); ++J)
            if (TextBoxesOverlap(Boxes[I], Boxes[J], Margin))
                return QStringLiteral("\"%1\" at %2,%3 and \"%4\" at %5,%6")
                    .arg(Boxes[I].Text)
                    .arg(Boxes[I].Left)
                    .arg(Boxes[I].Top)
                    .arg(Boxes[J].Text)
                    .arg(Boxes[J].Left)
                    .arg(Boxes[J].Top);
    return {};
}

class TTextBoxDC : public TRecordingDC {
public:
    using TRecordingDC::TRecordingDC;

    std::vector<TTextBox> Boxes;

    void TextOut(int x, int y, const QString& text) override
    {
        if (!text.trimmed().isEmpty())
            Boxes.push_back(Measure(x, y, text));
        TRecordingDC::TextOut(x, y, text);
    }

private:
    TTextBox Measure(int x, int y, const QString& text) const
    {
        const TSize Size = GetTextExtent(text);
        const double W = Size.cx;
        const double H = Size.cy;
        const unsigned Align = TextAlign();
        const unsigned Horiz = Align & TA_HORIZONTAL_MASK;
        const unsigned Vert = Align & TA_VERTICAL_MASK;
        const double U0 = Horiz == TA_RIGHT ? -W : Horiz == TA_CENTER ? -W / 2 : 0;
        double V0 = 0;
        if (Vert == TA_BOTTOM)
            V0 = -H;
        else if (Vert == TA_BASELINE)
            V0 = -GetTextMetrics().Ascent;
        const double Radians = Font().Escapement / 10.0 * std::numbers::pi / 180;
        const double Rx = std::cos(Radians), Ry = -std::sin(Radians);
        const double Dx = std::sin(Radians), Dy = std::cos(Radians);
        TTextBox Box{text, 1e9, 1e9, -1e9, -1e9};
        for (const double U : {U0, U0 + W})
            for (const double V : {V0, V0 + H}) {
                const double X = x + U * Rx + V * Dx;
                const double Y = y + U * Ry + V * Dy;
                Box.Left = std::min(Box.Left, X);
                Box.Right = std::max(Box.Right, X);
                Box.Top = std::min(Box.Top, Y);
                Box.Bottom = std::max(Box.Bottom, Y);
            }
        return Box;
    }
};

} // namespace lp::test

#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"

namespace lp::test {

// An 800 x 600 chart with one series of TSeries filled with its samples.
template <class TSeries> struct TSampleChart {
    explicit TSampleChart(bool View3D)
    {
        Chart.SetBounds(0, 0, 800, 600);
        Chart.SetView3D(View3D);
        Series = new TSeries(&Chart);
        Chart.AddSeries(Series);
        Series->FillSampleValues();
    }
    TChart Chart;
    TSeries* Series = nullptr;
};

// Chart painted whole at its own size (unbuffered, no legend) onto a
// measuring device: the boxes of the texts that read as numbers, which on
// these charts are the axis labels.
inline std::vector<TTextBox> NumberLabelBoxes(TChart& Chart)
{
    Chart.SetBufferedDisplay(false);
    Chart.Legend()->SetVisible(false);
    TTextBoxDC DC(Chart.Width(), Chart.Height());
    TCanvas Target(&DC);
    Chart.DrawToCanvas(&Target, Chart.GetRectangle());
    std::vector<TTextBox> Numbers;
    for (const TTextBox& Box : DC.Boxes) {
        bool IsNumber = false;
        Box.Text.trimmed().toDouble(&IsNumber);
        if (IsNumber)
            Numbers.push_back(Box);
    }
    return Numbers;
}

} // namespace lp::test
