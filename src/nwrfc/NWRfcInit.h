#pragma once
// The steps of CNWRfcMixin::InitSDK, each on its own.
#include "NWRfcLibrary.h"
#include "session/Messages.h"
#include "session/OptionMap.h"

#include <string>
#include <string_view>

namespace tolvane::nw {

// Appends `directory` to the process's PATH unless PATH already contains it (compared without
// regard to letter case, as a substring). Nothing for an empty directory.
void ExtendSearchPath(std::wstring_view directory);

// Binds the library and traces its version; throws MessageError 547 when it cannot be bound.
const nwrfc::EntryPoints& BindLibrary();

// The library's trace level for a "trace.level" value: ERROR or 1 gives 1, INFORMATION or 3
// gives 3 (words in any letter case), anything else 2.
unsigned LibraryTraceLevel(std::wstring_view level) noexcept;

// With a trace file, its directory (environment references expanded) becomes the library's
// trace directory and `level` its trace level; without one, nothing is passed.
void PassTraceOptions(const nwrfc::EntryPoints& rfc, std::wstring_view traceFile, std::wstring_view level);

// Hands the ini file or directory (environment references expanded) to the library and has it
// read. Throws MessageError 548 when the path names nothing; false with `record` filled when
// the library refuses it.
bool PassIniPath(const nwrfc::EntryPoints& rfc, std::wstring_view path, nwrfc::RFC_ERROR_INFO& record);

} // namespace tolvane::nw
