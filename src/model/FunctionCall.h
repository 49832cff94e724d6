#pragma once
// CFunctionCall: one call of one SAP function module: its name, its four parameter lists and
// the ABAP exception it ended with. A call does not know the session that made it and may be
// passed to any session.
#include "RfcParameters.h"
#include "com/Bstr.h"

namespace tolvane {

class CFunctionCall : public com::Object<CFunctionCall, com::Dispatch<IFunctionCall>> {
public:
    static constexpr GUID kImplementationId = {0x4a6f9d13, 0x8e27, 0x4c50, {0xb3, 0x0d, 0x6c, 0xe1, 0x95, 0x2a, 0x7b, 0x84}};

    CFunctionCall();

    HRESULT STDMETHODCALLTYPE get_Function(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Function(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Importing(IRfcParameters** value) override;
    HRESULT STDMETHODCALLTYPE get_Exporting(IRfcParameters** value) override;
    HRESULT STDMETHODCALLTYPE get_Changing(IRfcParameters** value) override;
    HRESULT STDMETHODCALLTYPE get_Tables(IRfcParameters** value) override;
    HRESULT STDMETHODCALLTYPE get_Documentation(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Documentation(BSTR value) override;
    HRESULT STDMETHODCALLTYPE RaiseException(BSTR exception, BSTR message) override;
    HRESULT STDMETHODCALLTYPE GetException(VARIANT* exception, VARIANT* message) override;
    HRESULT STDMETHODCALLTYPE ToXML(BSTR* xml) override;
    HRESULT STDMETHODCALLTYPE FromXML(BSTR xml) override;

    // The four lists in their fixed order: Importing, Exporting, Changing, Tables.
    enum List { Importing = 0, Exporting, Changing, Tables };
    static constexpr int kListCount = 4;
    CRfcParameters& Parameters(int list) const noexcept { return *m_lists[list]; }

    const com::bstr& Function() const noexcept { return m_function; }
    void SetFunction(std::wstring_view name) { m_function = com::bstr(name); }
    const com::bstr& Documentation() const noexcept { return m_documentation; }
    void SetDocumentation(std::wstring_view text) { m_documentation = com::bstr(text); }
    const std::wstring& ExceptionName() const noexcept { return m_exception; }
    const std::wstring& ExceptionMessage() const noexcept { return m_exceptionMessage; }

private:
    com::bstr m_function;
    com::ptr<CRfcParameters> m_lists[kListCount];
    com::bstr m_documentation{L""};
    std::wstring m_exception;
    std::wstring m_exceptionMessage;
};

// A new call with the same name, documentation and parameters (names, shared type descriptors,
// descriptions, defaults, optional flags), without values, rows or exception: what the type
// cache keeps and what a server hands to its client for each incoming call.
com::ptr<CFunctionCall> CloneSignature(IFunctionCall* source);

} // namespace tolvane
