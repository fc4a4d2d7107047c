#include "section/survey/DataRemovals.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace lp {
namespace {

size_t Marked(const std::vector<bool>& Marks)
{
    return static_cast<size_t>(std::count(Marks.begin(), Marks.end(), true));
}

std::string Plural(size_t Count, const char* One, const char* Many)
{
    return std::to_string(Count) + " " + (Count == 1 ? One : Many);
}

} // namespace

TDataRemovals::TDataRemovals(std::shared_ptr<const TMeasuredData> File) : FFile(std::move(File))
{
    if (!FFile)
        return;
    FRemoved.assign(FFile->Size(), false);
    FNonPositive = NonPositiveData(*FFile);
    Rebuild();
}

size_t TDataRemovals::RemovedCount() const
{
    return Marked(FRemoved);
}

size_t TDataRemovals::UnusableCount() const
{
    size_t count = 0;
    for (size_t i = 0; i < FRemoved.size(); ++i)
        count += FNonPositive[i] && !FRemoved[i];
    return count;
}

// One undo step when the marks change; none when they stay.
void TDataRemovals::Step(std::vector<bool> Removed)
{
    if (Removed == FRemoved)
        return;
    FUndo.push_back(std::move(FRemoved));
    FRemoved = std::move(Removed);
    Rebuild();
}

void TDataRemovals::Rebuild()
{
    FKeptIndexes.clear();
    if (!FFile) {
        FKept.reset();
        return;
    }
    std::vector<bool> leftOut(FRemoved.size());
    for (size_t i = 0; i < FRemoved.size(); ++i) {
        leftOut[i] = FRemoved[i] || FNonPositive[i];
        if (!leftOut[i])
            FKeptIndexes.push_back(i);
    }
    auto kept = std::make_shared<TMeasuredData>(KeepData(FTurned ? *FTurned : *FFile, leftOut));
    FModel.reset();
    if (FReciprocalErrors) {
        const std::vector<TReciprocalPair> pairs = ReciprocalPairs(*kept);
        if (pairs.empty()) {
            FReciprocalErrors = false;
        } else {
            FModel = FitReciprocalErrorModel(pairs);
            UseReciprocalErrorModel(*kept, pairs, *FModel);
        }
    }
    FKept = std::move(kept);
}

size_t TDataRemovals::Remove(const std::vector<size_t>& Data)
{
    std::vector<bool> removed = FRemoved;
    for (size_t d : Data)
        removed.at(d) = true;
    const size_t changed = Marked(removed) - RemovedCount();
    Step(std::move(removed));
    return changed;
}

size_t TDataRemovals::Restore(const std::vector<size_t>& Data)
{
    std::vector<bool> removed = FRemoved;
    for (size_t d : Data)
        removed.at(d) = false;
    const size_t changed = RemovedCount() - Marked(removed);
    Step(std::move(removed));
    return changed;
}

size_t TDataRemovals::RemoveNonPositive()
{
    std::vector<size_t> data;
    for (size_t i = 0; i < FNonPositive.size(); ++i)
        if (FNonPositive[i])
            data.push_back(i);
    return Remove(data);
}

size_t TDataRemovals::RemoveOutliers(double K)
{
    if (!FKept)
        return 0;
    const std::vector<bool> outlying = OutlyingData(*FKept, K);
    std::vector<size_t> data;
    for (size_t k = 0; k < outlying.size(); ++k)
        if (outlying[k])
            data.push_back(FKeptIndexes.at(k));
    return Remove(data);
}

std::vector<TReciprocalPair> TDataRemovals::KeptPairs() const
{
    return FKept ? ReciprocalPairs(*FKept) : std::vector<TReciprocalPair>{};
}

size_t TDataRemovals::RemoveReciprocalBeyond(double Percent)
{
    if (!(std::isfinite(Percent) && Percent > 0.0))
        throw EDataFileError("The reciprocal error limit must be a number above 0 per cent.");
    if (!FKept)
        return 0;
    const std::vector<bool> beyond = ReciprocalDataBeyond(KeptPairs(), FKept->Size(), Percent);
    std::vector<size_t> data;
    for (size_t k = 0; k < beyond.size(); ++k)
        if (beyond[k])
            data.push_back(FKeptIndexes.at(k));
    return Remove(data);
}

size_t TDataRemovals::RemoveMisfitBeyond(const std::vector<double>& Misfits, double Percent)
{
    if (!(std::isfinite(Percent) && Percent > 0.0))
        throw EDataFileError("The misfit limit must be a number above 0 per cent.");
    if (Misfits.size() != FKeptIndexes.size())
        throw EDataFileError("The misfits are of other data than those kept: compute them anew.");
    std::vector<size_t> data;
    for (size_t k = 0; k < Misfits.size(); ++k)
        if (std::fabs(Misfits[k]) > Percent) // a nan compares false: it stays
            data.push_back(FKeptIndexes[k]);
    return Remove(data);
}

bool TDataRemovals::Undo()
{
    if (FUndo.empty())
        return false;
    FRemoved = std::move(FUndo.back());
    FUndo.pop_back();
    Rebuild();
    return true;
}

size_t TDataRemovals::TurnPolarity(bool On)
{
    if (!FFile)
        return 0;
    FTurned.reset();
    FTurnedCount = 0;
    if (On) {
        auto turned = std::make_shared<TMeasuredData>(*FFile);
        FTurnedCount = TurnReversedPolarity(*turned);
        FTurned = std::move(turned);
    }
    FNonPositive = NonPositiveData(FTurned ? *FTurned : *FFile);
    Rebuild();
    return FTurnedCount;
}

bool TDataRemovals::UseReciprocalErrors(bool On)
{
    FReciprocalErrors = On;
    Rebuild();
    return FReciprocalErrors;
}

std::string TDataRemovals::CountText() const
{
    std::string text = Plural(Size(), "datum", "data") + ", " + std::to_string(RemovedCount()) + " removed";
    if (const size_t unusable = UnusableCount(); unusable > 0)
        text += ", " + std::to_string(unusable) + " with ρa ≤ 0 left out";
    if (FTurned)
        text += ", " + std::to_string(FTurnedCount) + " turned";
    return text;
}

std::string TDataRemovals::RemovedText() const
{
    std::string text;
    for (size_t i = 0; i < FRemoved.size();) {
        if (!FRemoved[i]) {
            ++i;
            continue;
        }
        size_t last = i;
        while (last + 1 < FRemoved.size() && FRemoved[last + 1])
            ++last;
        if (!text.empty())
            text += ' ';
        text += std::to_string(i);
        if (last > i)
            text += '-' + std::to_string(last);
        i = last + 1;
    }
    return text;
}

bool TDataRemovals::SetRemovedText(std::string_view Text)
{
    std::vector<bool> removed(FRemoved.size(), false);
    const auto number = [&](std::string_view Word, size_t& Value) {
        const auto [end, error] = std::from_chars(Word.data(), Word.data() + Word.size(), Value);
        return error == std::errc() && end == Word.data() + Word.size() && Value < removed.size();
    };
    size_t start = 0;
    bool any = false;
    while (start < Text.size()) {
        const size_t end = std::min(Text.find(' ', start), Text.size());
        const std::string_view word = Text.substr(start, end - start);
        start = end + 1;
        if (word.empty())
            continue;
        const size_t dash = word.find('-');
        size_t first = 0, last = 0;
        if (!number(word.substr(0, dash), first))
            return false;
        last = first;
        if (dash != std::string_view::npos && !(number(word.substr(dash + 1), last) && last >= first))
            return false;
        for (size_t i = first; i <= last; ++i)
            removed[i] = true;
        any = true;
    }
    if (!any)
        return false;
    Step(std::move(removed));
    return true;
}

} // namespace lp
