#pragma once
// The four header lines of the legacy ASCII VTK unstructured grids the
// program writes, read and checked by the tests that read such a file back.

#include <gtest/gtest.h>

#include <istream>
#include <string>

namespace lp {

// Reads the version, title, ASCII and dataset lines of In, expecting an
// unstructured grid of version 3.0; the title is not checked.
inline void ReadVtkUnstructuredHeader(std::istream& In)
{
    std::string line;
    std::getline(In, line);
    EXPECT_EQ(line, "# vtk DataFile Version 3.0");
    std::getline(In, line); // the title
    std::getline(In, line);
    EXPECT_EQ(line, "ASCII");
    std::getline(In, line);
    EXPECT_EQ(line, "DATASET UNSTRUCTURED_GRID");
}

} // namespace lp
