#pragma once
// "Fit regions": the drawn regions' resistivities (and polarizabilities)
// fitted to the measured data of the forward response window, shown before
// they go into the section.
//
//   TForwardResponseWindow ──owns──> TRegionFitDialog (not modal)
//     ├─ the state line, progress and Cancel
//     ├─ IterationList   χ² and rrms of the start and every iteration, as the
//     │                  fit goes (posted by the run)
//     ├─ ResultTable     per region: name, start, fitted, uncertainty (×/÷,
//     │                  "at its bound" for a region the fit holds at one)
//     │                  or "not determined" / "fixed"; the polarizabilities
//     │                  when they were fitted
//     └─ Apply, Discard
//
// The fit runs through a TBackgroundRun of its own (BackgroundRun.h) on a
// copy of the section taken at Start, with the regions' Fit, Lowest and
// Highest as the section keeps them; the forward window's own run goes on
// undisturbed. Apply writes the fitted values into the section as one undo
// step; Discard (and the close box) closes the dialog and leaves the
// section as it is, and ends a fit under way at once. Only a
// fit that ended (not cancelled, not failed) offers anything to apply, and
// only while the section is as the fit took it: an edit of the section
// during or after the fit marks its result out of date and Apply is then
// refused (disabled, with the reason) — values fitted to other geometry
// or other start values would be applied to regions they do not describe.
// Escape cancels a fit under way, else discards; Ctrl+Z is the section's undo.

#include "section/survey/MeasuredData.h"
#include "section/inversion/RegionFit.h"
#include "section/modelling/BackgroundRun.h"
#include "section/model/Polygons.h"

#include <QtWidgets/QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace lp {

class TPolygonChart;

class TRegionFitDialog : public QDialog {
    Q_OBJECT
public:
    TRegionFitDialog(TPolygonChart& Section, QWidget* Parent);
    ~TRegionFitDialog() override;

    // What a fit is given besides the section: the host medium's
    // resistivity where the section sets none, the data and their errors.
    struct TInput {
        std::optional<double> Host;
        std::shared_ptr<const TMeasuredData> Measured;
        TErrorModel Errors;
    };
    // Starts a fit of the section as it is now; a fit before it is
    // dropped, and so is a shown result. False (with the reason shown)
    // when no fit could start.
    bool Start(const TInput& Input);
    // Asks the fit under way to stop; it offers nothing to apply.
    void Cancel();
    // The section changed: the shown fit, and the one under way, are out of date.
    void SectionChanged();
    // Writes the fitted values into the section as one undo step. False,
    // with the section unchanged, when there is nothing to apply (no
    // finished fit, or one out of date, or applied already).
    bool Apply();
    // Closes the dialog; the section stays as it is. A fit under way is
    // dropped: it is not busy from now on and delivers nothing.
    void Discard();

    bool Busy() const { return FRun.Busy(); }
    bool CanApply() const;
    // The last finished fit; empty while none is shown.
    const std::optional<TRegionFitResult>& Result() const { return FResult; }
    // The reason the last fit failed; empty otherwise.
    QString ErrorText() const { return FError; }
    // After a start, a run's end and an Apply (the owner's buttons follow).
    std::function<void()> OnStateChanged;
    // After Apply has changed the section.
    std::function<void()> OnApplied;
    // Ctrl+Z in this dialog: the section's undo (an Apply taken back, say).
    std::function<void()> OnUndo;
    // Runs longer than this (ms) show the progress bar and Cancel.
    int ProgressDelay = 400;
    // Runs on each fit's own thread before it begins; a copy goes with the
    // run, so it must hold nothing of the dialog (tests hold a run there).
    std::function<void()> OnRunStart;

    QLabel* StateLabel = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* CancelButton = nullptr;
    QListWidget* IterationList = nullptr;
    QTableWidget* ResultTable = nullptr;
    QPushButton* ApplyButton = nullptr;
    QPushButton* DiscardButton = nullptr;

protected:
    void reject() override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    struct TJob;
    struct TOutcome;
    static TOutcome Run(const TJob& Job, TRunControl& Control);
    void ShowStep(const TRegionFitStep& Step);
    void RunEnded(const TRunEnd& End);
    void ShowResult();
    void ShowState();

    TPolygonChart& FSection;
    TBackgroundRun FRun;
    std::optional<TRegionFitResult> FResult;
    std::shared_ptr<const TForwardModel> FGround; // the regions FResult belongs to
    std::vector<TRegionFitSetting> FSettings;     // their bounds, as the fit took them
    bool FCancelled = false;
    bool FApplied = false;
    QString FError;
};

} // namespace lp
