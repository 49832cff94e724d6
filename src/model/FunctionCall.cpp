#include "FunctionCall.h"

#include "CallXml.h"
#include "session/Messages.h"

namespace tolvane {
namespace {

// An [out] VARIANT is not read: it may hold anything.
void CopyText(VARIANT* out, const std::wstring& text) { *out = com::variant(std::wstring_view(text)).detach(); }

} // namespace

CFunctionCall::CFunctionCall()
{
    for (auto& list : m_lists)
        list = com::make<CRfcParameters>();
}

HRESULT CFunctionCall::get_Function(BSTR* value) { return m_function.copy_to(value); }

HRESULT CFunctionCall::put_Function(BSTR value)
{
    return guard([&] { m_function = com::bstr(com::view(value)); });
}

HRESULT CFunctionCall::get_Importing(IRfcParameters** value) { return m_lists[Importing].copy_to(value); }
HRESULT CFunctionCall::get_Exporting(IRfcParameters** value) { return m_lists[Exporting].copy_to(value); }
HRESULT CFunctionCall::get_Changing(IRfcParameters** value) { return m_lists[Changing].copy_to(value); }
HRESULT CFunctionCall::get_Tables(IRfcParameters** value) { return m_lists[Tables].copy_to(value); }

HRESULT CFunctionCall::get_Documentation(BSTR* value) { return m_documentation.copy_to(value); }

HRESULT CFunctionCall::put_Documentation(BSTR value)
{
    return guard([&] { m_documentation = com::bstr(com::view(value)); });
}

HRESULT CFunctionCall::RaiseException(BSTR exception, BSTR message)
{
    return guard([&] {
        m_exception = com::view(exception);
        m_exceptionMessage = com::view(message);
    });
}

HRESULT CFunctionCall::GetException(VARIANT* exception, VARIANT* message)
{
    return guard([&] {
        if (message)
            CopyText(message, m_exceptionMessage);
        com::require_out(exception);
        CopyText(exception, m_exception);
    });
}

HRESULT CFunctionCall::ToXML(BSTR* xml)
{
    return guard([&] {
        com::require_out(xml);
        *xml = com::bstr(WriteCallXml(*this)).detach();
    });
}

HRESULT CFunctionCall::FromXML(BSTR xml)
{
    return guard([&] {
        if (!m_function.empty())
            throw MessageError(msg::AlreadyInitialized);
        ReadCallXml(*this, com::view(xml));
    });
}

com::ptr<CFunctionCall> CloneSignature(IFunctionCall* source)
{
    if (!source)
        throw com::hresult_error(E_POINTER);
    auto clone = com::make<CFunctionCall>();
    com::bstr function, documentation;
    com::check(source->get_Function(function.put()));
    com::check(source->get_Documentation(documentation.put()));
    clone->SetFunction(function.view());
    clone->SetDocumentation(documentation.view());

    using Getter = HRESULT (STDMETHODCALLTYPE IFunctionCall::*)(IRfcParameters**);
    const Getter lists[] = {&IFunctionCall::get_Importing, &IFunctionCall::get_Exporting,
                            &IFunctionCall::get_Changing, &IFunctionCall::get_Tables};
    for (int list = 0; list < CFunctionCall::kListCount; ++list) {
        com::ptr<IRfcParameters> parameters;
        com::check((source->*lists[list])(parameters.put()));
        long count = 0;
        com::check(parameters->get_Count(&count));
        for (long i = 1; i <= count; ++i) {
            com::ptr<IRfcParameter> parameter;
            com::check(parameters->get_Item(com::variant(i).get(), parameter.put()));
            com::bstr name, description, defaultValue;
            com::ptr<IRfcType> type;
            VARIANT_BOOL optional = VARIANT_FALSE;
            com::check(parameter->get_name(name.put()));
            com::check(parameter->get_RfcType(type.put()));
            com::check(parameter->get_Description(description.put()));
            com::check(parameter->get_DefaultValue(defaultValue.put()));
            com::check(parameter->get_Optional(&optional));
            CRfcParameter& copy = clone->Parameters(list).Add(name.view(), type.get());
            copy.SetMetadata(optional, std::move(description), std::move(defaultValue));
        }
    }
    return clone;
}

} // namespace tolvane
