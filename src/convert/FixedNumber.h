#pragma once
// Numbers read from fixed-width text, such as the digit fields of received dates and times
// and the columns of table rows.
#include <cstddef>

namespace tolvane {

// Reads `count` characters: blanks before and after are skipped; with `isSigned`, a "-" as
// first or last of the remaining characters makes the result negative; every digit adds to
// the value (value * 10 + digit) and every other character is skipped. A value beyond the
// range of long long stays at its largest magnitude.
long long ParseFixedInt(const wchar_t* chars, size_t count, bool isSigned) noexcept;

// Reads the first `count` characters with the C library's text-to-double conversion. That
// reads "." as the decimal point whatever the user's regional settings, as long as the
// process keeps the C library's default locale.
double ParseFixedFloat(const wchar_t* chars, size_t count);

} // namespace tolvane
