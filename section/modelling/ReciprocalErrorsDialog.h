#pragma once
// "Reciprocal errors": the measured data's reciprocal pairs (current and
// potential dipoles exchanged) as a histogram of their errors, the error
// model fitted to them, and what the user may do with both: remove the
// pairs beyond a typed per cent, or take the model as the paired data's
// error for the misfit, the fit and the inversion.
//
//   TForwardResponseWindow ──owns──> TReciprocalErrorsDialog (not modal)
//     ├─ SummaryLabel   "38 pairs, median 1.2 %; |ΔR| = 0.0012 ohm + 1.8 % of |R|"
//     ├─ Histogram      pairs per band of reciprocal error (per cent)
//     ├─ LimitEdit, RemoveButton   the pairs beyond the limit removed (one step)
//     └─ UseModelBox    the model as the paired data's error
//
// The dialog holds no data: its owner shows it the kept data's pairs after
// every change, and does what its controls ask through the two callbacks.

#include "section/survey/DataCleaning.h"

#include <QtWidgets/QDialog>

#include <functional>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace lp {

class TBarSeries;
class TChart;

// The histogram's bands: Count bands of Width per cent from 0, the last
// open-ended; Width a 1, 2 or 5 times a power of ten so that about ten
// bands hold the pairs' largest error (at least 0.1 %).
struct TErrorBands {
    double Width = 1.0;
    std::vector<int> Counts;
};
TErrorBands ReciprocalErrorBands(const std::vector<TReciprocalPair>& Pairs);

class TReciprocalErrorsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TReciprocalErrorsDialog(QWidget* Parent);
    ~TReciprocalErrorsDialog() override;

    // The pairs of the kept data, and whether their model is the error now.
    void ShowPairs(const std::vector<TReciprocalPair>& Pairs, bool ModelUsed);

    // Remove: the limit typed (a number above 0).
    std::function<void(double Percent)> OnRemoveBeyond;
    // The box toggled.
    std::function<void(bool On)> OnUseModel;

    QLabel* SummaryLabel = nullptr;
    TChart* Histogram = nullptr;
    TBarSeries* Bars = nullptr;
    QLineEdit* LimitEdit = nullptr;
    QPushButton* RemoveButton = nullptr;
    QCheckBox* UseModelBox = nullptr;
    QPushButton* CloseButton = nullptr;

private:
    bool FShowing = false; // ShowPairs sets the box: no callback then
};

} // namespace lp
