#pragma once
// The bundled example section's model, read as the benchmarks' common
// ground (LP_EXAMPLES_DIR names the examples folder).

#include "section/editor/SectionFile.h"

#include <fstream>
#include <iterator>
#include <string>

namespace lp::bench {

inline TSectionModel ExampleSection()
{
    std::ifstream file(LP_EXAMPLES_DIR "/example.sec", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    TSectionModel section;
    ParseSectionModelBlock(bytes, section);
    return section;
}

} // namespace lp::bench
