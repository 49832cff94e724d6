#pragma once
// What a server tells its caller and its trace about an exception it caught inside a library
// callback, where no exception may pass.
#include <string>

namespace tolvane {

// The text of the exception being handled (call it only inside a catch block): a component
// exception's message, a message's text, a COM failure as "Error 0x...: text".
std::wstring CaughtExceptionText() noexcept;

} // namespace tolvane
