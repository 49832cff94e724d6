#pragma once
// The text a node's SetValue writes for an automation value. Independent of the user's
// locale, so that the server reads the same number whatever the client's regional settings:
// numbers in invariant form (shortest text that reads back to the same double), booleans as
// true/false, dates as XML Schema date or dateTime, byte arrays as base64.
#include <oaidl.h>

#include <string>

namespace soapkit {

// Throws SoapError (DISP_E_TYPEMISMATCH) for a value without a text form.
std::string value_text(const VARIANT& value);

std::string double_text(double value);

} // namespace soapkit
