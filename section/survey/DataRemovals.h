#pragma once
// The data a user has removed from a measured file, step by step, and the
// data that are left for every comparison, fit and inversion.
//
//   the file's data ──Removed (each step one undo step)──> Kept()
//                    └─ρa ≤ 0 never kept, removed or not
//                    └─when asked, the data whose sign disagrees with their
//                      geometric factor turned first (TurnPolarity)
//                    └─the reciprocal error model, when used, the error of
//                      the paired data whose file gives none
//
// The file's data never change: a step only marks data removed or kept,
// so any step can be taken back and the file's text is never touched. The
// data a file gives with an apparent resistivity of 0 or below cannot be
// computed with (ln ρa): they are left out of Kept() whether the user has
// removed them or not, and counted apart until RemoveNonPositive removes
// them. Kept() is a new object after every change, so those who hold the
// kept data know them again by their address.

#include "section/survey/DataCleaning.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lp {

class TDataRemovals {
public:
    // No file: every count 0, Kept() null.
    TDataRemovals() = default;
    explicit TDataRemovals(std::shared_ptr<const TMeasuredData> File);

    const std::shared_ptr<const TMeasuredData>& File() const { return FFile; }
    // The file's data count.
    size_t Size() const { return FRemoved.size(); }
    bool IsRemoved(size_t Datum) const { return FRemoved.at(Datum); }
    const std::vector<bool>& Removed() const { return FRemoved; }
    size_t RemovedCount() const;
    // The data with ρa ≤ 0 the user has not removed (left out all the same).
    size_t UnusableCount() const;
    // Whether a datum has ρa ≤ 0 as the data stand (turned or not).
    bool IsUnusable(size_t Datum) const { return FNonPositive.at(Datum); }
    // The data that are compared, fitted and inverted; null without a file.
    const std::shared_ptr<const TMeasuredData>& Kept() const { return FKept; }
    // The file's index of each kept datum.
    const std::vector<size_t>& KeptIndexes() const { return FKeptIndexes; }

    // --- Steps: each returns how many data it changed; a step that changes
    // nothing is no undo step. Indexes are the file's; one beyond the file
    // raises std::out_of_range and changes nothing.
    size_t Remove(const std::vector<size_t>& Data);
    size_t Restore(const std::vector<size_t>& Data);
    // The data whose apparent resistivity (k·R where the file gives a
    // resistance) is 0 or below.
    size_t RemoveNonPositive();
    // The kept data standing beyond K scaled median absolute deviations from
    // their pseudo-section neighbours (OutlyingData).
    size_t RemoveOutliers(double K);
    // Both data of every pair among the kept data whose reciprocal error is
    // beyond Percent (above 0).
    size_t RemoveReciprocalBeyond(double Percent);
    // The kept data whose misfit (per cent, one per kept datum, in the order
    // of Kept()) is beyond Percent in size (above 0); nan misfits stay.
    size_t RemoveMisfitBeyond(const std::vector<double>& Misfits, double Percent);
    // Takes back the last step; false when there is none.
    bool Undo();
    bool CanUndo() const { return !FUndo.empty(); }

    // --- Reciprocal pairs among the kept data, and their error model.
    std::vector<TReciprocalPair> KeptPairs() const;
    // Whether the model fitted to the kept pairs sets the error of the
    // paired data whose file gives none; false when there is no pair.
    bool UseReciprocalErrors(bool On);
    bool ReciprocalErrorsUsed() const { return FReciprocalErrors; }
    // The model in use (empty when not used).
    const std::optional<TReciprocalErrorModel>& ReciprocalErrorModel() const { return FModel; }

    // --- Polarity: whether the data whose ρa is below 0 (their sign
    // disagreeing with their geometric factor) are turned to its sign
    // before anything is kept (TurnReversedPolarity, DataCleaning.h); the
    // file stays as read. Returns how many are turned (0 when off).
    size_t TurnPolarity(bool On);
    bool PolarityTurned() const { return FTurned != nullptr; }
    size_t TurnedCount() const { return FTurnedCount; }

    // "222 data, 9 removed", with ", 3 with ρa ≤ 0 left out" while such
    // data are not removed, and ", 75 turned" while the polarity is.
    std::string CountText() const;
    // The removed set as the file's datum indexes, ascending runs written as
    // "3 17 40-45"; empty when none is removed.
    std::string RemovedText() const;
    // The set RemovedText wrote, as one undo step; false (nothing changed)
    // when the text does not fit the file (a number beyond it, or no set).
    bool SetRemovedText(std::string_view Text);

private:
    void Step(std::vector<bool> Removed);
    void Rebuild();

    std::shared_ptr<const TMeasuredData> FFile;
    std::shared_ptr<const TMeasuredData> FTurned; // the file's data turned; null while not
    size_t FTurnedCount = 0;
    std::vector<bool> FRemoved;
    std::vector<bool> FNonPositive;
    std::vector<std::vector<bool>> FUndo;
    bool FReciprocalErrors = false;
    std::optional<TReciprocalErrorModel> FModel;
    std::shared_ptr<const TMeasuredData> FKept;
    std::vector<size_t> FKeptIndexes;
};

} // namespace lp
