#pragma once
// MessageTable: the texts of a module's message table (its string resources), read from the
// DLL itself so that the reference never holds a second copy of them.
#include "ApiModel.h"

#include <vector>

namespace apidoc {

class MessageTable {
public:
    // Messages first to last, in order. Throws std::runtime_error when the module cannot be
    // loaded or a number in the range has no text.
    static std::vector<Message> Load(const std::wstring& modulePath, unsigned first, unsigned last);
};

} // namespace apidoc
