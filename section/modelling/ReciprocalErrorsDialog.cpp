#include "section/modelling/ReciprocalErrorsDialog.h"

#include "chart/engine/PlotAxis.h"
#include "chart/engine/PlotBarSeries.h"
#include "chart/engine/PlotChart.h"
#include "chart/engine/PlotLegend.h"
#include "section/modelling/ModellingWindowCommands.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace lp {
namespace {

constexpr int AboutBands = 10;

} // namespace

TErrorBands ReciprocalErrorBands(const std::vector<TReciprocalPair>& Pairs)
{
    double largest = 0.1;
    for (const TReciprocalPair& pair : Pairs)
        if (std::isfinite(pair.ErrorPercent))
            largest = std::max(largest, pair.ErrorPercent);
    // The smallest 1-2-5 width that spans the largest error in AboutBands bands.
    const double rough = largest / AboutBands;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    TErrorBands bands;
    bands.Width = 10.0 * power;
    for (double step : {1.0, 2.0, 5.0})
        if (step * power >= rough) {
            bands.Width = step * power;
            break;
        }
    const int count = std::max(1, static_cast<int>(std::ceil(largest / bands.Width)));
    bands.Counts.assign(static_cast<size_t>(std::min(count, 2 * AboutBands)), 0);
    for (const TReciprocalPair& pair : Pairs) {
        const double band = std::isfinite(pair.ErrorPercent) ? std::floor(pair.ErrorPercent / bands.Width) : 0.0;
        const size_t at = static_cast<size_t>(std::clamp(band, 0.0, static_cast<double>(bands.Counts.size() - 1)));
        ++bands.Counts[at];
    }
    return bands;
}

TReciprocalErrorsDialog::TReciprocalErrorsDialog(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("ReciprocalErrorsDialog"));
    setWindowTitle(QStringLiteral("Reciprocal errors"));
    auto* layout = new QVBoxLayout(this);
    SummaryLabel = new QLabel(this);
    SummaryLabel->setObjectName(QStringLiteral("SummaryLabel"));
    SummaryLabel->setWordWrap(true);
    layout->addWidget(SummaryLabel);

    Histogram = new TChart;
    Histogram->SetView3D(false);
    Histogram->Legend()->SetVisible(false);
    Histogram->Title()->Text()->Add(QStringLiteral("Pairs by reciprocal error"));
    Histogram->BottomAxis()->Title()->SetCaption(QStringLiteral("Reciprocal error (%)"));
    Histogram->LeftAxis()->Title()->SetCaption(QStringLiteral("Pairs"));
    Bars = new TBarSeries(Histogram);
    Bars->SetParentChart(Histogram);
    Bars->Marks()->SetVisible(false);
    Bars->SetSeriesColor(0xB06020);
    QWidget* host = Histogram->Widget(this);
    host->setMinimumSize(360, 200);
    layout->addWidget(host, 1);

    auto* limitRow = new QHBoxLayout;
    auto* limitLabel = new QLabel(QStringLiteral("Remove pairs &beyond (%):"), this);
    LimitEdit = new QLineEdit(QStringLiteral("5"), this);
    LimitEdit->setObjectName(QStringLiteral("LimitEdit"));
    limitLabel->setBuddy(LimitEdit);
    RemoveButton = new QPushButton(QStringLiteral("&Remove"), this);
    RemoveButton->setObjectName(QStringLiteral("RemoveButton"));
    RemoveButton->setAutoDefault(false);
    limitRow->addWidget(limitLabel);
    limitRow->addWidget(LimitEdit);
    limitRow->addWidget(RemoveButton);
    layout->addLayout(limitRow);
    UseModelBox = new QCheckBox(QStringLiteral("&Use the fitted model as the paired data's error"), this);
    UseModelBox->setObjectName(QStringLiteral("UseModelBox"));
    layout->addWidget(UseModelBox);
    CloseButton = new QPushButton(QStringLiteral("&Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(CloseButton);
    layout->addLayout(closeRow);
    resize(440, 380);

    connect(RemoveButton, &QPushButton::clicked, this, [this] {
        bool valid = true;
        const std::optional<double> limit = TypedNumber(LimitEdit->text(), true, valid);
        LimitEdit->setStyleSheet(valid && limit ? QString() : QStringLiteral("QLineEdit { background: #ffd0d0; }"));
        if (valid && limit && OnRemoveBeyond)
            OnRemoveBeyond(*limit);
    });
    connect(UseModelBox, &QCheckBox::toggled, this, [this](bool On) {
        if (!FShowing && OnUseModel)
            OnUseModel(On);
    });
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::close);
}

TReciprocalErrorsDialog::~TReciprocalErrorsDialog()
{
    // The chart's window lives inside ours: let the chart go first.
    delete Histogram;
}

void TReciprocalErrorsDialog::ShowPairs(const std::vector<TReciprocalPair>& Pairs, bool ModelUsed)
{
    FShowing = true;
    Bars->Clear();
    if (Pairs.empty()) {
        SummaryLabel->setText(QStringLiteral("The data kept hold no reciprocal pair (A,B and M,N exchanged)."));
    } else {
        std::vector<double> errors;
        for (const TReciprocalPair& pair : Pairs)
            errors.push_back(pair.ErrorPercent);
        std::nth_element(errors.begin(), errors.begin() + static_cast<std::ptrdiff_t>(errors.size() / 2), errors.end());
        const TReciprocalErrorModel model = FitReciprocalErrorModel(Pairs);
        SummaryLabel->setText(QStringLiteral("%1, median error %2 %; fitted |ΔR| = %3 ohm + %4 % of |R|.")
                                  .arg(CountText(static_cast<long long>(Pairs.size()), QStringLiteral("pair"),
                                                 QStringLiteral("pairs")),
                                       ShortNumber(errors[errors.size() / 2]), ShortNumber(model.Absolute),
                                       ShortNumber(100.0 * model.Relative)));
        const TErrorBands bands = ReciprocalErrorBands(Pairs);
        for (size_t b = 0; b < bands.Counts.size(); ++b) {
            const bool last = b + 1 == bands.Counts.size();
            const QString low = ShortNumber(b * bands.Width), high = ShortNumber((b + 1) * bands.Width);
            const QString label = last ? QStringLiteral("≥%1").arg(low) : QStringLiteral("%1–%2").arg(low, high);
            Bars->Add(bands.Counts[b], label);
        }
    }
    UseModelBox->setEnabled(!Pairs.empty());
    RemoveButton->setEnabled(!Pairs.empty());
    UseModelBox->setChecked(ModelUsed);
    Histogram->Invalidate();
    FShowing = false;
}

} // namespace lp
