// The model set-up command: the area texts in and out of the dialog. Kept
// apart from the dialog's controls, whose super labels come from the
// components layer.
#include "section/dialogs/ModelSetupDialog.h"

#include "chart/editors/PlotPenBrushDialogs.h"
#include "section/editor/PolygonChart.h"

#include <QtWidgets/QLineEdit>

namespace lp {

namespace {

QString AreaText(double Value)
{
    return QString::fromStdString(RealToText(1, true, Value));
}

double AreaValue(const QString& Text)
{
    return TextToReal(Text.toStdString(), false, 0.0, 0.0);
}

} // namespace

bool ApplyModelSetup(TPolygonChart& Chart, bool KeepModel, const QString& Left, const QString& Right,
                     const QString& Bottom)
{
    const double left = AreaValue(Left);
    const double right = AreaValue(Right);
    const double bottom = AreaValue(Bottom);
    bool set = false;
    const bool sound = left != MissingValue && right != MissingValue && bottom != MissingValue && left < right &&
                       bottom >= 0.0;
    if (sound) {
        Chart.UpdateAxisScales();
        set = Chart.SetModelArea(KeepModel, left, right, Chart.ModelArea.top, bottom);
    }
    Chart.UpdateAxisScales();
    return set;
}

bool ModelSetup(TPolygonChart& Chart, bool KeepModel, QWidget* Owner)
{
    auto dialog = CreateDialogForm<Tboxsetup>(Owner);
    dialog->Edit1->setText(AreaText(Chart.ModelArea.left));
    dialog->Edit2->setText(AreaText(Chart.ModelArea.right));
    dialog->Edit3->setText(AreaText(Chart.ModelArea.bottom));
    dialog->exec();
    return ApplyModelSetup(Chart, KeepModel, dialog->Edit1->text(), dialog->Edit2->text(), dialog->Edit3->text());
}

} // namespace lp
