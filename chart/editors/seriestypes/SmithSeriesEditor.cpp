#include "chart/editors/seriestypes/SmithSeriesEditor.h"

#include "chart/canvas/PlotConst.h"
#include "chart/canvas/PlotEffects.h"
#include "chart/editors/EditorPageBuilder.h"
#include "chart/editors/PlotEditorButtons.h"
#include "chart/editors/PlotPenBrushDialogs.h"
#include "chart/editors/series/SeriesEditorTabs.h"
#include "chart/editors/seriestypes/CircledSeriesEditor.h"
#include "chart/editors/seriestypes/SeriesTypeEdits.h"
#include "chart/extensions/circular/PlotSmithSeries.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

namespace lp {

TSmithSeriesEdit::TSmithSeriesEdit(QWidget* Parent) : TTabAddingSeriesPage(Parent)
{
    setWindowTitle(QStringLiteral("Format"));
    TPageBuilder build(*this);
    CBC = build.CheckBox("CBC", QStringLiteral("&C Labels"));
    CBR = build.CheckBox("CBR", QStringLiteral("&R Labels"));
    BCPen = MakePenButton(*this, QStringLiteral("C &Pen..."), "BCPen");
    BRPen = MakePenButton(*this, QStringLiteral("R P&en..."), "BRPen");
    BCircle = MakePenButton(*this, QStringLiteral("&Circle..."), "BCircle");
    CBColorEach = build.CheckBox("CBColorEach", QStringLiteral("C&olor Each"));
    BBorder = MakePenButton(*this, QStringLiteral("&Border..."), "BBorder");
    BCFont = build.Button("BCFont", QStringLiteral("&Font..."));
    BRFont = build.Button("BRFont", QStringLiteral("Fo&nt..."));
    EImag = TPageBuilder::Named(new QLineEdit(this), "EImag");
    EImag->setMaximumWidth(EImag->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));
    // Each kind of grid line: its labels, pen and font on one line.
    build.Line({CBC, BCPen, BCFont});
    build.Line({CBR, BRPen, BRFont});
    build.Line({BCircle, BBorder, CBColorEach});
    Label1 = build.Row(QStringLiteral("&Imag. Symbol:"), EImag, "Label1");
    build.Stretch();
    SetReadingTabOrder(*this);

    BindSeriesSetting<TSmithSeries, bool>(*this, CBC, &TSmithSeries::CLabels, &TSmithSeries::SetCLabels);
    BindSeriesSetting<TSmithSeries, bool>(*this, CBR, &TSmithSeries::RLabels, &TSmithSeries::SetRLabels);
    BindSeriesSetting<TSmithSeries, bool>(*this, CBColorEach, &TChartSeries::ColorEachPoint,
                                          &TChartSeries::SetColorEachPoint);
    // The text as typed: empty leaves the reactance labels bare numbers.
    BindSeriesSetting<TSmithSeries, QString>(*this, EImag, &TSmithSeries::ImagSymbol, &TSmithSeries::SetImagSymbol);
    connect(BCFont, &QPushButton::clicked, this, [this] { FontClick(BCFont, true); });
    connect(BRFont, &QPushButton::clicked, this, [this] { FontClick(BRFont, false); });
}

TSmithSeries* TSmithSeriesEdit::Series() const
{
    return TargetAs<TSmithSeries>();
}

void TSmithSeriesEdit::FillControls()
{
    if (TSmithSeries* series = Series()) {
        // The grid's pens live on the axes; without them the series
        // answers with pens of its own, which these buttons must not edit.
        BCPen->LinkPen(series->GetVertAxis() ? series->CCirclePen() : nullptr);
        BRPen->LinkPen(series->GetHorizAxis() ? series->RCirclePen() : nullptr);
        BCircle->LinkPen(series->CirclePen());
        BBorder->LinkPen(series->Pen());
    }
    TTabAddingSeriesPage::FillControls();
}

void TSmithSeriesEdit::AddTabs()
{
    if (!Series())
        return;
    CircledEditor = AddCircledPage(this, Series());
}

void TSmithSeriesEdit::FontClick(QPushButton* Button, bool Reactance)
{
    TSmithSeries* series = Series();
    // The fonts live on the axes too (see FillControls).
    if (!CanWrite() || !series || !(Reactance ? series->GetVertAxis() : series->GetHorizAxis()))
        return;
    TPlotFont* font = Reactance ? series->CLabelsFont() : series->RLabelsFont();
    if (!EditPlotFont(this, *font))
        return;
    series->Repaint();
    AfterUserChange(Button);
}

} // namespace lp
