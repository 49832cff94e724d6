#pragma once

#include "dictionary/DataType.h"
#include "dictionary/Value.h"
#include "xml/XmlDocument.h"

#include <string>
#include <string_view>

namespace sapsim {

// Parameter values in SOAP documents: a scalar is an element with text, a structure an element
// with one child per field, a table an element with one "item" child per row. Every element
// below the request element is unqualified.
class ValueCodec {
public:
    // `path` names the value in error messages (PARAM-FIELD[row]).
    static Value read(const XmlElement& element, const DataType& type, const std::string& path);
    static void write(std::string& out, std::string_view name, const Value& value, const DataType& type);
};

} // namespace sapsim
