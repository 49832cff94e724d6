#include "Automation.h"

#include "com/Bstr.h"

#include <gtest/gtest.h>

namespace test {

InvokeResult Invoke(IDispatch* object, std::wstring_view member, WORD flags, std::vector<com::variant> args)
{
    InvokeResult result;
    std::wstring name(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    result.hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(result.hr))
        return result;

    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        reversed.push_back(it->get());
    DISPID put_id = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &put_id;
        params.cNamedArgs = 1;
    }
    EXCEPINFO info{};
    UINT arg_error = 0;
    result.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.value.put(), &info,
                               &arg_error);
    if (result.hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn)
            info.pfnDeferredFillIn(&info);
        result.scode = info.scode;
        result.description = com::view(info.bstrDescription);
        result.source = com::view(info.bstrSource);
    }
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
    return result;
}

InvokeResult Get(IDispatch* object, std::wstring_view member, std::vector<com::variant> args)
{
    return Invoke(object, member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::move(args));
}

InvokeResult Call(IDispatch* object, std::wstring_view member, std::vector<com::variant> args)
{
    return Invoke(object, member, DISPATCH_METHOD, std::move(args));
}

InvokeResult Put(IDispatch* object, std::wstring_view member, com::variant value, std::vector<com::variant> index)
{
    index.push_back(std::move(value));
    return Invoke(object, member, DISPATCH_PROPERTYPUT, std::move(index));
}

com::ptr<IDispatch> Object(const InvokeResult& result)
{
    EXPECT_EQ(result.hr, S_OK);
    EXPECT_EQ(result.value.vt(), VT_DISPATCH);
    if (result.value.vt() != VT_DISPATCH)
        return nullptr;
    return com::share(V_DISPATCH(result.value.addr()));
}

std::wstring Text(const com::variant& value)
{
    if (value.vt() != VT_BSTR)
        return L"<not a string: vt " + std::to_wstring(value.vt()) + L">";
    return std::wstring(com::view(V_BSTR(value.addr())));
}

std::vector<com::variant> Enumerate(IDispatch* collection)
{
    std::vector<com::variant> items;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    com::variant result;
    HRESULT hr = collection->Invoke(DISPID_NEWENUM, IID_NULL, LOCALE_USER_DEFAULT,
                                    DISPATCH_PROPERTYGET | DISPATCH_METHOD, &none, result.put(), nullptr, nullptr);
    EXPECT_EQ(hr, S_OK);
    if (FAILED(hr) || (result.vt() != VT_UNKNOWN && result.vt() != VT_DISPATCH))
        return items;
    auto enumerator = com::share(V_UNKNOWN(result.addr())).try_query<IEnumVARIANT>();
    EXPECT_TRUE(enumerator);
    if (!enumerator)
        return items;
    for (;;) {
        com::variant item;
        ULONG fetched = 0;
        if (enumerator->Next(1, item.put(), &fetched) != S_OK || fetched != 1)
            break;
        items.push_back(std::move(item));
    }
    return items;
}

} // namespace test
