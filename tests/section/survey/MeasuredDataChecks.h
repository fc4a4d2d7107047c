#pragma once
// What every measured data set a reader accepts must be: usable values
// only (a ρa finite, of at most MaxResistivity in size, and either 0 or
// below, a datum the computations refuse until removed, or from
// MinResistivity up), configurations naming its electrodes, per-datum lists
// of one length, and a data set that the unified data file writes and reads
// back the same.

#include "section/forward/ForwardModel.h"
#include "section/survey/DataCleaning.h"
#include "section/survey/MeasuredData.h"
#include "section/survey/Misfit.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace lp::test {

// A refusal as a message shows it: naming its line, short, without control
// characters.
inline bool PlainRefusal(const std::string& Message)
{
    // A binary file's refusals name a record or the header and its byte.
    return (Message.starts_with("Line ") || Message.starts_with("Record ") || Message.starts_with("Header at byte ")) &&
           Message.size() < 400 &&
           std::none_of(Message.begin(), Message.end(), [](char c) {
               const auto byte = static_cast<unsigned char>(c);
               return byte < 0x20 || byte == 0x7F;
           });
}

// Empty when the data set is sound, else what is wrong.
inline std::string UnsoundMeasuredData(const TMeasuredData& Data)
{
    const size_t size = Data.Size();
    const int electrodes = static_cast<int>(Data.Electrodes.size());
    for (const TElectrode& e : Data.Electrodes)
        if (!std::isfinite(e.x) || !std::isfinite(e.z))
            return "an electrode at no finite place";
    for (const std::vector<double>* values : {&Data.Errors, &Data.Chargeabilities, &Data.ChargeabilityErrors, &Data.Phases})
        if (!values->empty() && values->size() != size)
            return "a per-datum list of another length";
    if (Data.Resistivities.size() != size || Data.GeometricFactors.size() != size)
        return "resistivities or factors of another length";
    for (size_t d = 0; d < size; ++d) {
        const TConfiguration& c = Data.Configurations[d];
        const int used[4] = {c.a, c.b, c.m, c.n};
        if (c.a < 0 || c.m < 0)
            return "a datum without A or M";
        for (int i = 0; i < 4; ++i) {
            if (used[i] < -1 || used[i] >= electrodes)
                return "a datum naming no electrode";
            for (int j = 0; j < i; ++j)
                if (used[i] >= 0 && used[i] == used[j])
                    return "a datum using an electrode twice";
        }
        const double rho = Data.Resistivities[d];
        if (!(std::isfinite(rho) && std::fabs(rho) <= MaxResistivity && (rho <= 0.0 || rho >= MinResistivity)))
            return "an apparent resistivity that is not finite, beyond the range in size, or above 0 but below it";
        if (!Data.Errors.empty() && !std::isnan(Data.Errors[d]) && !(std::isfinite(Data.Errors[d]) && Data.Errors[d] > 0.0))
            return "an error that is not a finite number above 0";
        if (!Data.Chargeabilities.empty() && std::isinf(Data.Chargeabilities[d]))
            return "an infinite chargeability";
    }
    return {};
}

// Empty when the data set's electrodes stand on a flat ground of 0 to 30
// m, or when the refusal that they cannot names the file's line; else the
// refusal.
inline std::string PlacementRefusalWithoutLine(const TMeasuredData& Data)
{
    TForwardModel ground;
    ground.Right = 30.0;
    try {
        CheckElectrodePlaces(Data, ground);
    } catch (const EDataFileError& error) {
        return PlainRefusal(error.Message()) ? std::string() : error.Message();
    }
    return {};
}

// Empty when the misfit refuses the data of ρa 0 or below (naming them, the
// first by its line or record) and every other datum compares with a response of 100
// ohm-m within what a double counts, else what went wrong. The response's
// factors are the data's own.
inline std::string UncountableMisfit(const TMeasuredData& Data)
{
    const auto response = [](const TMeasuredData& Measured) {
        TSurveyResponse calculated;
        calculated.Resistivities.assign(Measured.Size(), 100.0);
        for (double k : Measured.GeometricFactors)
            calculated.GeometricFactors.push_back(std::isfinite(k) ? k : 1.0);
        return calculated;
    };
    const std::vector<bool> nonPositive = NonPositiveData(Data);
    if (std::find(nonPositive.begin(), nonPositive.end(), true) != nonPositive.end()) {
        try {
            ComputeMisfit(Data, response(Data));
            return "data of an apparent resistivity of 0 or below compared";
        } catch (const EForwardError& error) {
            const std::string& message = error.Message();
            if (message.find("apparent resistivity of 0 or below (") == std::string::npos ||
                (message.find("on line ") == std::string::npos && message.find("on record ") == std::string::npos))
                return message;
        }
    }
    const TMeasuredData kept = KeepData(Data, nonPositive);
    try {
        ComputeMisfit(kept, response(kept));
    } catch (const EForwardError& error) {
        return error.Message();
    }
    return {};
}

// Empty when the data set written as a unified data file (its electrodes,
// configurations and ρa) reads back the same, or when it has an electrode
// off the line that a datum uses and the writer refuses it, saying so;
// else what differs.
inline std::string RoundTripDifference(const TMeasuredData& Data)
{
    TSurveyResponse written;
    written.Survey = Data.Survey();
    written.Resistivities = Data.Resistivities;
    written.GeometricFactors.assign(Data.Size(), 1.0);
    if (HasOffLineElectrodes(written.Survey)) {
        try {
            FormatUnifiedData(written);
        } catch (const EDataFileError& error) {
            return error.Message().find(" m off the line, and ") != std::string::npos ? std::string() : error.Message();
        }
        for (const TConfiguration& c : written.Survey.Configurations)
            for (int e : {c.a, c.b, c.m, c.n})
                if (e >= 0 && written.Survey.Electrodes[static_cast<size_t>(e)].y != 0.0)
                    return "an electrode off the line written";
        return {};
    }
    const TMeasuredData read = ReadUnifiedMeasuredData(FormatUnifiedData(written));
    if (read.Configurations != Data.Configurations)
        return "other configurations";
    if (read.Resistivities != Data.Resistivities)
        return "other apparent resistivities";
    if (read.Electrodes.size() != Data.Electrodes.size() ||
        !std::equal(read.Electrodes.begin(), read.Electrodes.end(), Data.Electrodes.begin(),
                    [](const TElectrode& p, const TElectrode& q) { return p.x == q.x && p.z == q.z; }))
        return "other electrodes";
    return {};
}

} // namespace lp::test
