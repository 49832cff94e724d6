#pragma once

#include "dictionary/DataType.h"
#include "dictionary/Value.h"

#include <string>
#include <string_view>
#include <vector>

namespace sapsim {

struct Component {
    std::string name;
    DataType type;
    std::string text;
};

struct FieldPlacement {
    int offset = 0;
    int length = 0;
};

// A dictionary structure. A structure with a structure or table component is deep; one whose
// scalar components include strings is half deep. Byte layouts exist for every structure that
// is not deep, with one, two or four bytes per character; a deep structure's layout holds nested
// structures inline and tables as 8-byte references.
class Structure {
public:
    std::string name;
    std::string text;
    std::vector<Component> components;

    int indexOf(std::string_view componentName) const;
    bool deep() const;
    bool halfDeep() const;
    std::vector<FieldPlacement> layout(int bytesPerChar) const;
    int totalLength(int bytesPerChar) const;
};

Value initialValue(const DataType& type);

} // namespace sapsim
