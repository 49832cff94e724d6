#pragma once

#include <string>
#include <vector>

namespace sapsim {

// A value of a parameter or field. Its shape comes from the DataType it belongs to: a scalar
// keeps its canonical text in `scalar` (see ScalarCodec), a structure keeps one item per
// component in component order, a table keeps one structure value per row.
struct Value {
    std::string scalar;
    std::vector<Value> items;
};

} // namespace sapsim
