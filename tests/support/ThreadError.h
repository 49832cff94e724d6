#pragma once
#include <string>

namespace test {

// The description in the calling thread's error information; empty when there is none.
std::wstring ThreadErrorDescription();

} // namespace test
