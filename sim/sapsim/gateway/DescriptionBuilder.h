#pragma once

#include "dictionary/Structure.h"
#include "repo/FunctionDef.h"

#include "WireDescription.h"

namespace sapsim {

// Describes the repository's function modules and structures for gateway clients: types by
// dictionary letter, byte lengths and offsets in the one- and two-byte-per-character layouts,
// and every structure a description needs, nested ones included.
class DescriptionBuilder {
public:
    static simwire::FunctionDescription function(const FunctionDef& def);
    static simwire::TypeDescriptions structure(const Structure& s);
};

} // namespace sapsim
