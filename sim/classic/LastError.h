#pragma once

#include "include/ClassicRfcAbi.h"

namespace classicrfc {

class ApiFailure;

// The last error of the calling thread, for RfcLastErrorExU: set by every failing call,
// handed out once, then gone.
class LastError {
public:
    static void set(const RFC_ERROR_INFO_EX& record);
    static void set(const ApiFailure& failure);
    // True (and the record filled) when an error was waiting.
    static bool take(RFC_ERROR_INFO_EX& record);
    // The waiting error, left waiting (an empty record when none).
    static RFC_ERROR_INFO_EX peek();
};

} // namespace classicrfc
