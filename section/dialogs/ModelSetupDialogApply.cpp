// The model set-up command: the area texts in and out of the dialog. Kept
// apart from the dialog's controls, whose super labels come from the
// components layer.
#include "section/dialogs/ModelSetupDialog.h"

#include "chart/editors/PlotPenBrushDialogs.h"
#include "section/editor/PolygonChart.h"

#include <QtWidgets/QLineEdit>

#include <array>
#include <optional>

namespace lp {

namespace {

QString AreaText(double Value)
{
    return QString::fromStdString(RealToText(1, true, Value));
}

// The field's number; empty (with Problem set) when its text is none.
std::optional<double> AreaValue(const QString& Field, const QString& Text, QString& Problem)
{
    const double value = TextToReal(Text.toStdString(), false, 0.0, 0.0);
    if (value != MissingValue)
        return value;
    if (Problem.isEmpty())
        Problem = Text.trimmed().isEmpty() ? QStringLiteral("%1: the field is empty.").arg(Field)
                                           : QStringLiteral("%1: \"%2\" is not a number.").arg(Field, Text.trimmed());
    return std::nullopt;
}

// The limit a border keeps to, with what it says when the border passes it.
struct TBorderLimit {
    double Value;
    bool Strict; // the border must not reach the limit itself
    const char* Text;
};

// The side's problem against its two limits (the bodies' extent and the
// nodes added on the frame's edges), the tighter named first, so a value
// that satisfies the message given is not refused for the other limit.
// Lower: the border must stay below its limits (Left), else above them.
QString SideProblem(double Border, bool Lower, TBorderLimit Bodies, TBorderLimit Frame)
{
    const bool frameTighter = Lower ? Frame.Value <= Bodies.Value : Frame.Value >= Bodies.Value;
    for (const TBorderLimit& limit : frameTighter ? std::array{Frame, Bodies} : std::array{Bodies, Frame}) {
        const bool passes = Lower ? (limit.Strict ? Border >= limit.Value : Border > limit.Value)
                                  : (limit.Strict ? Border <= limit.Value : Border < limit.Value);
        if (passes)
            return QString::fromLatin1(limit.Text).arg(AreaText(limit.Value));
    }
    return {};
}

// Why the area cannot be set to these borders, empty when it can. The
// borders never reach inside the bodies (the frame holds them), nor past a
// node added on the frame's edges, which keeps its place while the corners
// move.
QString AreaProblem(const TPolygonChart& Chart, double Left, double Right, double Bottom)
{
    if (!(Left < Right))
        return QStringLiteral("Left, m must be less than Right, m.");
    // The bottom is a depth below the area's top, which a section made
    // from data sets at minus the highest ground's elevation: a negative
    // bottom is a section above sea level, refused only above the top.
    const double top = Chart.ModelArea.top;
    if (!(Bottom > top))
        return QStringLiteral("Bottom, m must lie below the top of the model (%1).").arg(AreaText(top));
    double minX = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;
    GetNodeExtent(minX, maxX, Chart.Nodes, maxY);
    double edgeMinX = 0.0;
    double edgeMaxX = 0.0;
    double edgeMaxY = 0.0;
    GetFrameEdgeNodeExtent(edgeMinX, edgeMaxX, Chart.Nodes, Chart.FrameNodes(), edgeMaxY);
    QString problem =
        SideProblem(Left, true, {minX, false, "Left, m must be at most %1: the bodies reach that far."},
                    {edgeMinX, true, "Left, m must be less than %1: a node of the frame lies that far."});
    if (problem.isEmpty())
        problem = SideProblem(Right, false, {maxX, false, "Right, m must be at least %1: the bodies reach that far."},
                              {edgeMaxX, true, "Right, m must be more than %1: a node of the frame lies that far."});
    if (problem.isEmpty())
        problem = SideProblem(Bottom, false, {maxY, false, "Bottom, m must be at least %1: the bodies reach that deep."},
                              {edgeMaxY, true, "Bottom, m must be more than %1: a node of the frame lies that deep."});
    return problem;
}

const QString Unchanged = QStringLiteral("\nThe model area is unchanged.");

} // namespace

TModelSetupResult ApplyModelSetup(TPolygonChart& Chart, bool KeepModel, const QString& Left, const QString& Right,
                                  const QString& Bottom)
{
    TModelSetupResult result;
    const std::optional<double> left = AreaValue(QStringLiteral("Left, m"), Left, result.Problem);
    const std::optional<double> right = AreaValue(QStringLiteral("Right, m"), Right, result.Problem);
    const std::optional<double> bottom = AreaValue(QStringLiteral("Bottom, m"), Bottom, result.Problem);
    if (result.Problem.isEmpty())
        result.Problem = AreaProblem(Chart, *left, *right, *bottom);
    if (result.Problem.isEmpty()) {
        const TModelArea before = Chart.ModelArea;
        Chart.UpdateAxisScales();
        const bool set = Chart.SetModelArea(KeepModel, *left, *right, before.top, *bottom);
        const bool asked = *left != before.left || *right != before.right || *bottom != before.bottom;
        if (asked && !set)
            result.Problem = QStringLiteral("The bodies cannot be fitted into this area: a body would be cut apart.");
        Chart.UpdateAxisScales();
        result.Changed = Chart.FinishAreaEdit(before);
    }
    Chart.UpdateAxisScales();
    if (!result.Problem.isEmpty())
        result.Problem += Unchanged;
    return result;
}

bool ModelSetup(TPolygonChart& Chart, bool KeepModel, QWidget* Owner)
{
    // The fields are checked against the section as last finished: a body
    // or node still in hand goes back where it was picked up.
    Chart.ResetEditMode();
    auto dialog = CreateDialogForm<Tboxsetup>(Owner);
    dialog->Edit1->setText(AreaText(Chart.ModelArea.left));
    dialog->Edit2->setText(AreaText(Chart.ModelArea.right));
    dialog->Edit3->setText(AreaText(Chart.ModelArea.bottom));
    bool changed = false;
    Tboxsetup& form = *dialog;
    dialog->OnApply = [&] {
        const TModelSetupResult result =
            ApplyModelSetup(Chart, KeepModel, form.Edit1->text(), form.Edit2->text(), form.Edit3->text());
        changed = changed || result.Changed;
        return result.Problem;
    };
    dialog->exec();
    return changed;
}

} // namespace lp
