#include "RfcParameter.h"

#include "RfcType.h"
#include "com/Property.h"
#include "session/Messages.h"

namespace tolvane {

CRfcParameter::CRfcParameter() : m_field(com::make<CRfcField>()) {}

HRESULT CRfcParameter::get_name(BSTR* value) { return m_field->get_name(value); }
HRESULT CRfcParameter::get_RfcType(IRfcType** value) { return m_field->get_RfcType(value); }
HRESULT CRfcParameter::get_value(VARIANT* value) { return m_field->get_value(value); }
HRESULT CRfcParameter::put_value(VARIANT value) { return m_field->put_value(value); }
HRESULT CRfcParameter::get_Fields(IRfcFields** value) { return m_field->get_Fields(value); }
HRESULT CRfcParameter::get_Rows(IRfcRows** value) { return m_field->get_Rows(value); }
HRESULT CRfcParameter::get_InternalType(long* value) { return m_field->get_InternalType(value); }
HRESULT CRfcParameter::get_IsEmpty(VARIANT_BOOL* value) { return m_field->get_IsEmpty(value); }
HRESULT CRfcParameter::get_InternalField(IRfcField** value) { return m_field.copy_to(value); }

HRESULT CRfcParameter::DefineScalar(BSTR name, ABAPTYPE type, short length, short decimals, VARIANT value)
{
    return guard([&] {
        // No state check: a parameter of any kind may become a scalar, any number of times.
        auto scalar = com::make<CRfcType>();
        com::check(scalar->DefineScalar(nullptr, type, length, decimals, -1));
        m_field->SetName(SharedString(com::view(name)));
        m_field->SetType(scalar.get());
        // An omitted value arrives as the missing-argument marker and is kept as such.
        com::check(m_field->put_value(value));
    });
}

HRESULT CRfcParameter::Define(BSTR name, IRfcType* type)
{
    return guard([&] {
        if (m_field->FieldKind() != CRfcField::NoType)
            throw MessageError(msg::AlreadyInitialized);
        m_field->SetName(SharedString(com::view(name)));
        m_field->SetType(type);
    });
}

HRESULT CRfcParameter::get_Optional(VARIANT_BOOL* value) { return com::get_property(m_optional, value); }

HRESULT CRfcParameter::put_Optional(VARIANT_BOOL value) { return com::put_property(m_optional, value); }

HRESULT CRfcParameter::get_Description(BSTR* value) { return m_description.copy_to(value); }

HRESULT CRfcParameter::put_Description(BSTR value)
{
    return guard([&] { m_description = com::bstr(com::view(value)); });
}

HRESULT CRfcParameter::get_DefaultValue(BSTR* value) { return m_defaultValue.copy_to(value); }

HRESULT CRfcParameter::put_DefaultValue(BSTR value)
{
    return guard([&] { m_defaultValue = com::bstr(com::view(value)); });
}

HRESULT CRfcParameter::get_IsRequested(VARIANT_BOOL* value) { return com::get_property(m_isRequested, value); }

HRESULT CRfcParameter::put_IsRequested(VARIANT_BOOL value) { return com::put_property(m_isRequested, value); }

void CRfcParameter::SetMetadata(VARIANT_BOOL optional, com::bstr description, com::bstr defaultValue)
{
    m_optional = optional;
    m_description = std::move(description);
    m_defaultValue = std::move(defaultValue);
}

} // namespace tolvane
