#pragma once

#include <string>

namespace simrfc {

// The file name of the program the library runs in (UTF-8), as the gateway shows it.
std::string processName();

} // namespace simrfc
