// Writes a measured data file's data as "Save kept data" writes them (the
// unified data format, FormatMeasuredData, 3 % where the file gives no
// error), for the tests that read the program's kept data with pyGIMLi:
//   kept_data_writer MEASURED OUT.dat [CLEANING]
// CLEANING: the command line's cleaning options (--drop-negative,
// --drop-reciprocal PERCENT, --reciprocal-error, --drop-outliers K), taken
// by the command line's own cleaning, so that the data written are those
// --invert and --timelapse keep, with the errors they weigh them with.
// The format is told from the content, the extension a hint, as the data
// dialogs read it. Exits with 1 and the reader's message when it refuses,
// 2 for arguments it does not take.

#include "section/main/CommandLine_p.h"
#include "section/survey/MeasuredData.h"

#include <QtCore/QStringList>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

// The cleaning asked after the two file names; raises EArgumentError.
lp::commandline::TCleaningRequest CleaningArguments(int Count, char** Arguments)
{
    QStringList words{QStringLiteral("kept_data_writer")};
    for (int i = 3; i < Count; ++i)
        words.append(QString::fromLocal8Bit(Arguments[i]));
    const lp::commandline::TCommandArguments split =
        lp::commandline::SplitCommandArguments(words, lp::commandline::CleaningOptions());
    if (!split.Names.isEmpty())
        throw lp::commandline::EArgumentError("unexpected argument " + split.Names.front().toStdString());
    lp::commandline::TCleaningRequest request;
    for (const auto& [option, value] : split.Options)
        lp::commandline::ReadCleaningOption(option, value, request);
    return request;
}

} // namespace

int main(int Count, char** Arguments)
{
    if (Count < 3) {
        std::cerr << "usage: kept_data_writer MEASURED OUT.dat [--drop-negative] [--drop-reciprocal PERCENT] "
                     "[--reciprocal-error] [--drop-outliers K]\n";
        return 2;
    }
    lp::commandline::TCleaningRequest cleaning;
    try {
        cleaning = CleaningArguments(Count, Arguments);
    } catch (const std::exception& refusal) {
        std::cerr << refusal.what() << "\n";
        return 2;
    }
    std::ifstream in(Arguments[1], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string name = Arguments[1];
    const size_t dot = name.rfind('.');
    try {
        lp::TMeasuredData data =
            lp::ReadMeasuredData(text, std::nullopt, dot == std::string::npos ? std::string() : name.substr(dot + 1));
        if (cleaning.Any())
            data = lp::commandline::CleanMeasuredData(std::move(data), cleaning, stderr);
        std::ofstream out(Arguments[2], std::ios::binary);
        out << lp::FormatMeasuredData(data, 0.03);
        return out ? 0 : 1;
    } catch (const std::exception& refusal) {
        std::cerr << refusal.what() << "\n";
        return 1;
    }
}
