#pragma once
// The classic library's error record as the component reports it.
#include "ClassicRfcLibrary.h"
#include "session/IntCall.h"

#include <string>

namespace tolvane::classicrfc {

// The text of a character field of `capacity` units: up to its terminator, or all of it.
std::wstring FieldText(const classic::RFC_CHAR* chars, size_t capacity);
template <size_t N>
std::wstring FieldText(const classic::RFC_CHAR (&chars)[N])
{
    return FieldText(chars, N);
}
// Copies `text` into a character field of N units, cut to N - 1 and terminated.
template <size_t N>
void SetFieldText(classic::RFC_CHAR (&field)[N], std::wstring_view text) noexcept
{
    const size_t n = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, n);
    field[n] = 0;
}

// The library's last error on this thread (an empty record when it has none).
classic::RFC_ERROR_INFO_EX LastError(const classic::EntryPoints& rfc);

// The error state of a failed record: its group, its key as the group text, its message.
CallOutcome OutcomeOf(const classic::RFC_ERROR_INFO_EX& record);

} // namespace tolvane::classicrfc
