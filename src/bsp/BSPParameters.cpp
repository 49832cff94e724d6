#include "BSPParameters.h"

#include "BSPParameter.h"

namespace tolvane {

HRESULT CBSPParameters::AddParameter(BSTR name, BSTR value)
{
    return guard([&] { AddPair({std::wstring(com::view(name)), std::wstring(com::view(value))}); });
}

void CBSPParameters::AddPair(const NameValue& pair)
{
    Append(com::make<CBSPParameter>(pair.name, pair.value), pair.name);
}

std::vector<NameValue> CBSPParameters::Pairs() const
{
    std::vector<NameValue> pairs;
    pairs.reserve(Size());
    for (size_t i = 0; i < Size(); ++i) {
        com::bstr name, value;
        com::check(At(i)->get_name(name.put()));
        com::check(At(i)->get_value(value.put()));
        pairs.push_back({name.str(), value.str()});
    }
    return pairs;
}

} // namespace tolvane
