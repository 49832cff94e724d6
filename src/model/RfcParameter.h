#pragma once
// CRfcParameter: a named value of a function call with the metadata of its module's interface.
// Name, type and value are those of its internal field.
#include "RfcField.h"
#include "com/Bstr.h"

namespace tolvane {

class CRfcParameter
    : public com::Object<CRfcParameter, com::Dispatch<IRfcParameter>, com::SupportErrorInfo<IRfcParameter>> {
public:
    static constexpr GUID kImplementationId = {0x0c7d2e94, 0x61fa, 0x4a3b, {0x97, 0x5e, 0xd4, 0x20, 0x8b, 0x33, 0x1f, 0xa6}};

    CRfcParameter();

    HRESULT STDMETHODCALLTYPE get_name(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_RfcType(IRfcType** value) override;
    HRESULT STDMETHODCALLTYPE get_value(VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE put_value(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_Fields(IRfcFields** value) override;
    HRESULT STDMETHODCALLTYPE get_Rows(IRfcRows** value) override;
    HRESULT STDMETHODCALLTYPE DefineScalar(BSTR name, ABAPTYPE type, short length, short decimals,
                                           VARIANT value) override;
    HRESULT STDMETHODCALLTYPE Define(BSTR name, IRfcType* type) override;
    HRESULT STDMETHODCALLTYPE get_InternalType(long* value) override;
    HRESULT STDMETHODCALLTYPE get_InternalField(IRfcField** value) override;
    HRESULT STDMETHODCALLTYPE get_Optional(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_Optional(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_Description(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_DefaultValue(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_DefaultValue(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_IsEmpty(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_IsRequested(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE put_IsRequested(VARIANT_BOOL value) override;

    // For the program's own code.
    CRfcField& Field() const noexcept { return *m_field; }
    bool Optional() const noexcept { return m_optional != VARIANT_FALSE; }
    const com::bstr& Description() const noexcept { return m_description; }
    const com::bstr& DefaultValue() const noexcept { return m_defaultValue; }
    void SetMetadata(VARIANT_BOOL optional, com::bstr description, com::bstr defaultValue);

private:
    VARIANT_BOOL m_optional = VARIANT_FALSE;
    com::bstr m_description;
    com::bstr m_defaultValue;
    VARIANT_BOOL m_isRequested = VARIANT_TRUE;
    com::ptr<CRfcField> m_field;
};

} // namespace tolvane
