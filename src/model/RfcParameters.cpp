#include "RfcParameters.h"

#include "RfcType.h"

namespace tolvane {

// Parameters are appended even when they cannot be defined: callers build lists from
// interface descriptions and rely on every described parameter being there.

HRESULT CRfcParameters::AddScalar(BSTR name, ABAPTYPE type, short length, short decimals, VARIANT value)
{
    return guard([&] {
        auto parameter = com::make<CRfcParameter>();
        parameter->DefineScalar(name, type, length, decimals, value);
        Append(std::move(parameter), std::wstring(com::view(name)));
    });
}

CRfcParameter& CRfcParameters::Add(std::wstring_view name, IRfcType* type)
{
    auto parameter = com::make<CRfcParameter>();
    com::bstr text(name);
    parameter->Define(text.get(), type);
    CRfcParameter& added = *parameter;
    Append(std::move(parameter), std::wstring(name));
    return added;
}

HRESULT CRfcParameters::AddParameter(BSTR name, IRfcType* type)
{
    return guard([&] { Add(com::view(name), type); });
}

HRESULT CRfcParameters::AddTable(BSTR name, IRfcType* rowType)
{
    if (!rowType)
        return E_INVALIDARG;
    return guard([&] {
        auto table = com::make<CRfcType>();
        com::check(table->DefineTable(name, rowType));
        Add(com::view(name), table.get());
    });
}

HRESULT CRfcParameters::RemoveParameter(BSTR name)
{
    // By the collection's index rules: a name that reads as a number is a position.
    return RemoveIndex(com::variant(com::view(name)).get());
}

} // namespace tolvane
