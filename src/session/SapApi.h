#pragma once
// How the component and SAP's RFC libraries (sapnwrfc.dll, librfc32u.dll) call each other. Every
// function the libraries export and every callback handed to them is __stdcall on 32-bit
// Windows. x64 has a single calling convention and ignores the keyword, so a declaration that
// lacks it works there and corrupts the stack on x86: declare them all with SAP_API.
//
//   using RfcGetVersionFn = const SAP_UC*(SAP_API*)(unsigned*, unsigned*, unsigned*);
//   RFC_RC SAP_API OnCheckTransaction(RFC_CONNECTION_HANDLE connection, const SAP_UC* tid);
//
// A callback must not let an exception out: neither bitness can unwind through the library's
// frames (x86 mingw code unwinds with DWARF tables, which foreign code lacks).
#include <cstddef>

#define SAP_API __stdcall

namespace tolvane {

// A size or offset that holds pointers differs between the bitnesses (the library facts give
// x64's): static_assert(sizeof(RFC_CONNECTION_PARAMETER) == SapByBitness(16, 8));
constexpr std::size_t SapByBitness(std::size_t x64, std::size_t x86) { return sizeof(void*) == 8 ? x64 : x86; }

} // namespace tolvane
