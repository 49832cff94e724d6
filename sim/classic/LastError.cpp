#include "LastError.h"

#include "ApiFailure.h"

namespace classicrfc {
namespace {

struct Pending {
    RFC_ERROR_INFO_EX record{};
    bool waiting = false;
};

thread_local Pending pending;

} // namespace

void LastError::set(const RFC_ERROR_INFO_EX& record)
{
    pending.record = record;
    pending.waiting = true;
}

void LastError::set(const ApiFailure& failure)
{
    set(failure.record());
}

bool LastError::take(RFC_ERROR_INFO_EX& record)
{
    if (!pending.waiting)
        return false;
    record = pending.record;
    pending.waiting = false;
    return true;
}

RFC_ERROR_INFO_EX LastError::peek()
{
    return pending.waiting ? pending.record : RFC_ERROR_INFO_EX{};
}

} // namespace classicrfc
