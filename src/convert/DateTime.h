#pragma once
// Dates and times between variants and ABAP's fixed-width images: a date is 8 characters
// YYYYMMDD, a time 6 characters HHMMSS. An all-zero image is the initial (unset) value.
#include "com/Variant.h"

#include <cstddef>
#include <string_view>

namespace tolvane {

constexpr size_t kAbapDateLength = 8;
constexpr size_t kAbapTimeLength = 6;

// Writes the 8 characters of `date` from `value`:
//   null: 8 characters of code 0;
//   empty, the 4-byte integer 0, the strings "00000000", "" and " ": "00000000";
//   a string that passes IsAbapDateText: that string;
//   else the value's date (by the system's conversion under the user's locale), as
//   "%4u%02u%02u" of year, month and day.
// A value passed by reference counts as the value it refers to. Throws CXTolvane of kind
// DATE_TIME_CONVERSION: without texts when the value does not convert to a date, "not a valid
// date" when the date has no calendar form.
void VariantToAbapDate(wchar_t* date, const VARIANT& value);

// Writes the 6 characters of `time` from `value`:
//   null: 6 characters of code 0;
//   empty, the 4-byte integer 0, the strings "000000", "" and " ": "000000";
//   a string that passes IsAbapTimeText: its 6 digits, or characters 1, 2, 4, 5, 7, 8 of
//   its 8 (so "12:34:56" gives 123456);
//   else the value's time of day (by the system's conversion) as "%02u%02u%02u".
// A value passed by reference counts as the value it refers to. Throws CXTolvane of kind DATE_TIME_CONVERSION, "not a valid time", when the value does not
// convert to a date-time.
void VariantToAbapTime(wchar_t* time, const VARIANT& value);

// `out` becomes the date of the 8 characters of `date` at midnight, or empty when year,
// month and day all read 0. Returns false, leaving `out` empty, when they are not a calendar
// date that a variant can hold (years 100 to 9999).
bool AbapDateToVariant(com::variant& out, const wchar_t* date);

// `out` becomes the time of day of the 6 characters of `time` on the base date of automation
// dates ("000000" is midnight, not empty). Hours, minutes or seconds out of range leave it
// the text "HH:MM:SS".
void AbapTimeToVariant(com::variant& out, const wchar_t* time);

// Exactly 8 digits with a month from 01 to 12 and a day from 01 to 31.
bool IsAbapDateText(std::wstring_view text) noexcept;

// Exactly 6 digits, or exactly 8 characters each a digit or ":".
bool IsAbapTimeText(std::wstring_view text) noexcept;

} // namespace tolvane
