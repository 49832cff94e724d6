#pragma once
// The library's error record as the component reports it: traced, turned into the session's
// error state, and the texts of the library's fixed-size character fields.
#include "NWRfcLibrary.h"
#include "session/IntCall.h"

#include <string>
#include <string_view>

namespace tolvane::nw {

// The text of a character field of `capacity` units: up to its terminator, or all of it.
std::wstring FieldText(const nwrfc::SAP_UC* chars, size_t capacity);
template <size_t N>
std::wstring FieldText(const nwrfc::SAP_UC (&chars)[N])
{
    return FieldText(chars, N);
}

// Copies `text` into a character field of N units, cut to N - 1 and terminated.
template <size_t N>
void SetFieldText(nwrfc::SAP_UC (&field)[N], std::wstring_view text) noexcept
{
    const size_t n = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, n);
    field[n] = 0;
}

// The name of a return code, from the library.
std::wstring RcName(const nwrfc::EntryPoints& rfc, nwrfc::RFC_RC rc);

// The error state of a failed record: the library's group number, its key as the group text,
// its message. `failWith` is the message the client's method fails with (0: none).
CallOutcome OutcomeOf(const nwrfc::RFC_ERROR_INFO& record, unsigned failWith);

// The trace of a reported record: "label: RFC_OK" at level INFORMATION for success (nothing
// without a label), "label: RFC Error <rc>: <key> <message>" at level ERROR for a failure.
void TraceRecord(const nwrfc::EntryPoints& rfc, const nwrfc::RFC_ERROR_INFO& record, std::wstring_view label);

// The trace of a failure inside descriptions and conversions: "RFC Error #code key: message".
void TraceRecordDetail(const nwrfc::RFC_ERROR_INFO& record);

} // namespace tolvane::nw
