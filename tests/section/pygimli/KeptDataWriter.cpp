// Writes a measured data file's data as "Save kept data" writes them (the
// unified data format, FormatMeasuredData, 3 % where the file gives no
// error), for the tests that read the program's kept data with pyGIMLi:
//   kept_data_writer MEASURED OUT.dat
// The format is told from the content, the extension a hint, as the data
// dialogs read it. Exits with 1 and the reader's message when it refuses.

#include "section/survey/MeasuredData.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

int main(int Count, char** Arguments)
{
    if (Count != 3) {
        std::cerr << "usage: kept_data_writer MEASURED OUT.dat\n";
        return 2;
    }
    std::ifstream in(Arguments[1], std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string name = Arguments[1];
    const size_t dot = name.rfind('.');
    try {
        const lp::TMeasuredData data =
            lp::ReadMeasuredData(text, std::nullopt, dot == std::string::npos ? std::string() : name.substr(dot + 1));
        std::ofstream out(Arguments[2], std::ios::binary);
        out << lp::FormatMeasuredData(data, 0.03);
        return out ? 0 : 1;
    } catch (const std::exception& refusal) {
        std::cerr << refusal.what() << "\n";
        return 1;
    }
}
