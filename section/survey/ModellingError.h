#pragma once
// The error every modelling stage raises: a survey or data file that cannot
// be used, a forward computation, region fit or inversion that cannot be
// done. The message is one line.

#include "platform/base/Exception.h"

namespace lp {

class EForwardError : public Exception {
public:
    using Exception::Exception;
};

} // namespace lp
