#include "ParameterArrays.h"

#include "ApiFailure.h"
#include "MemoryCheck.h"
#include "WideText.h"

namespace classicrfc {
namespace {

template <class Entry, class Raw>
std::vector<Entry> entriesOf(Raw* array, const char* what)
{
    std::vector<Entry> out;
    if (array == nullptr)
        return out;
    for (unsigned i = 0;; ++i) {
        if (i >= ParameterArrays::maxEntries)
            invalidParameter(std::string(what) + " array has no terminating entry");
        if (!MemoryCheck::readable(&array[i], sizeof(Raw)))
            invalidParameter(std::string(what) + " array is not readable at entry " + std::to_string(i + 1));
        if (array[i].name == nullptr)
            return out;
        const std::wstring name = callerText(array[i].name, array[i].nlen, ParameterArrays::maxNameLength, "a parameter name");
        if (name.empty())
            invalidParameter(std::string(what) + " array: entry " + std::to_string(i + 1) + " has an empty name");
        out.push_back({&array[i], utf8(name)});
    }
}

} // namespace

std::vector<ParameterEntry> ParameterArrays::parameters(RFC_PARAMETER* array, const char* what)
{
    return entriesOf<ParameterEntry>(array, what);
}

std::vector<TableEntry> ParameterArrays::tables(RFC_TABLE* array, const char* what)
{
    return entriesOf<TableEntry>(array, what);
}

} // namespace classicrfc
