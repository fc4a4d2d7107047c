#pragma once
// The picture targets: the graphic class registered for an extension reads
// the input; an accepted picture is drawn and, where the class writes,
// saved and read again.

#include <QtCore/QString>

#include <functional>

#include <cstddef>
#include <cstdint>

namespace lp {
class TGraphic;
}

namespace lp::fuzz {

// Also is given each accepted picture before it is saved (format-specific
// settings to exercise); its refusals are quiet too.
void ReadPicture(const QString& Extension, const uint8_t* Data, size_t Size,
                 const std::function<void(TGraphic& Graphic)>& Also = {});

} // namespace lp::fuzz
