#include "ClassicErrors.h"

namespace tolvane::classicrfc {

std::wstring FieldText(const classic::RFC_CHAR* chars, size_t capacity)
{
    size_t n = 0;
    while (n < capacity && chars[n] != 0)
        ++n;
    return std::wstring(chars, n);
}

classic::RFC_ERROR_INFO_EX LastError(const classic::EntryPoints& rfc)
{
    classic::RFC_ERROR_INFO_EX record{};
    if (rfc.RfcLastErrorExU(&record) != 0)
        record = {};
    return record;
}

CallOutcome OutcomeOf(const classic::RFC_ERROR_INFO_EX& record)
{
    CallOutcome outcome;
    outcome.failed = true;
    outcome.group = record.group;
    outcome.groupText = FieldText(record.key);
    outcome.message = FieldText(record.message);
    return outcome;
}

} // namespace tolvane::classicrfc
