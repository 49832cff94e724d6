#pragma once
// Small objects built on the COM class library, implementing interfaces of the type library so
// that the library's dispatch, error and enumeration machinery can be exercised as a client
// sees it.
#include "com/Bstr.h"
#include "com/Dispatch.h"
#include "com/Enumerator.h"
#include "com/Object.h"
#include "idl/Tolvane_h.h"
#include "session/Messages.h"

#include <map>
#include <string>
#include <vector>

namespace test {

class FakeStringList : public com::Object<FakeStringList, com::Dispatch<IStringList>> {
public:
    std::vector<std::wstring> items;

    HRESULT STDMETHODCALLTYPE get_Count(long* value) override
    {
        *value = static_cast<long>(items.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Add(BSTR value) override
    {
        items.emplace_back(com::view(value));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Remove(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveAll() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE IndexOf(BSTR, long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Item(long index, BSTR* value) override
    {
        if (index < 1 || index > static_cast<long>(items.size()))
            return E_INVALIDARG;
        return com::bstr(items[index - 1]).copy_to(value);
    }
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** value) override
    {
        return guard([&] {
            std::vector<com::variant> copies;
            for (const auto& item : items)
                copies.emplace_back(item);
            return com::new_enum(std::move(copies), unknown(), value);
        });
    }
};

// A table reader that records what it is called with, and fails Session with message 520
// reported as the SOAP session would report it.
class FakeTableReader : public com::Object<FakeTableReader, com::Dispatch<ITableReader>,
                                           com::SupportErrorInfo<ITableReader>> {
public:
    static com::ErrorSource error_source() { return {&CLSID_SoapSession, &IID_NULL}; }

    com::ptr<FakeStringList> query = com::make<FakeStringList>();
    std::wstring table;
    long readCount = -99, readStart = -99;
    std::map<std::wstring, std::wstring> options;

    HRESULT STDMETHODCALLTYPE get_Session(ISession**) override
    {
        return guard([] { throw tolvane::MessageError(tolvane::msg::NotConnected); });
    }
    HRESULT STDMETHODCALLTYPE get_Table(BSTR* value) override { return com::bstr(table).copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_Table(BSTR value) override
    {
        table = com::view(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Query(IStringList** value) override { return query.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Fields(IStringList**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Rows(IRfcRows**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Error(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ErrorInfo(IRfcError**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Option(BSTR name, BSTR* value) override
    {
        return com::bstr(options[std::wstring(com::view(name))]).copy_to(value);
    }
    HRESULT STDMETHODCALLTYPE put_Option(BSTR name, BSTR value) override
    {
        options[std::wstring(com::view(name))] = com::view(value);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Read(long count, long startAt) override
    {
        readCount = count;
        readStart = startAt;
        return S_OK;
    }
};

} // namespace test
