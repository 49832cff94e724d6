#pragma once
// The persisted properties of a control in a stream: a format version, the number of
// properties, then each one as its name (a count and UTF-16 characters) and a 32-bit value.
// A reader takes the names it knows and passes over the others, so that a later version may
// add properties. Names and counts are bounded: foreign or damaged data is refused, not believed.
#include <objidl.h>

#include <string>
#include <vector>

namespace com {

struct NamedValue {
    std::wstring name;
    LONG value = 0;
};

// Throws hresult_error when the stream fails.
void write_properties(IStream* stream, const std::vector<NamedValue>& properties);
// Throws hresult_error: the stream's own failure, STG_E_READFAULT when it ends early, and
// STG_E_INVALIDHEADER for data of another format.
std::vector<NamedValue> read_properties(IStream* stream);
ULONG properties_size(const std::vector<NamedValue>& properties) noexcept;

} // namespace com
