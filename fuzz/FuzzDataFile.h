#pragma once
// The data file readers' fuzz targets share their first check: a file is
// either read or refused plainly (its line named, little of it quoted,
// nothing in the quote that steers a terminal).

#include "fuzz/FuzzSupport.h"
#include "section/survey/DataFile.h"
#include "tests/section/survey/MeasuredDataChecks.h"

#include <optional>
#include <string_view>

namespace lp::fuzz {

// What Read makes of Text; nothing when it refuses the text (plainly).
template <typename Reader>
auto ReadOrRefusePlainly(std::string_view Text, Reader&& Read) -> std::optional<decltype(Read(Text))>
{
    try {
        return Read(Text);
    } catch (const EDataFileError& Error) {
        Require(test::PlainRefusal(Error.Message()), "a refusal names its line and quotes the file plainly");
        return std::nullopt;
    }
}

} // namespace lp::fuzz
