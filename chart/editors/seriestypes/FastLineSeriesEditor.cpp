#include "chart/editors/seriestypes/FastLineSeriesEditor.h"

#include "chart/editors/EditorPageBuilder.h"
#include "chart/engine/PlotFastLine.h"

#include <QtWidgets/QCheckBox>

namespace lp {

TFastLineSeriesEditor::TFastLineSeriesEditor(QWidget* Parent) : TLinePenSeriesEditor(Parent)
{
    TPageBuilder build(*Options);
    CBDrawAll = build.CheckBox("CBDrawAll", QStringLiteral("Draw &All"));
    CBStairs = build.CheckBox("CBStairs", QStringLiteral("&Stairs"));
    CBInvStairs = build.CheckBox("CBInvStairs", QStringLiteral("&Inverted"));
    CBNulls = build.CheckBox("CBNulls", QStringLiteral("&Ignore Nulls"));
    build.Line({CBDrawAll, CBNulls});
    build.Line({CBStairs, CBInvStairs});
    SetReadingTabOrder(*Options);

    Binder().Bind(CBDrawAll, QStringLiteral("DrawAllPoints"));
    Binder().Bind(CBStairs, QStringLiteral("Stairs"));
    Binder().Bind(CBInvStairs, QStringLiteral("InvertedStairs"));
    Binder().Bind(CBNulls, QStringLiteral("IgnoreNulls"));
}

TFastLineSeries* TFastLineSeriesEditor::Series() const
{
    return TargetAs<TFastLineSeries>();
}

TChartPen* TFastLineSeriesEditor::LinePen() const
{
    return Series() ? Series()->LinePen() : nullptr;
}

void TFastLineSeriesEditor::UpdateEnabled()
{
    CBInvStairs->setEnabled(CBStairs->isChecked());
}

} // namespace lp
