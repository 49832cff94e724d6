#include "RfcField.h"

#include "RfcType.h"
#include "RowTemplate.h"
#include "session/Messages.h"

namespace tolvane {
namespace {

// A new field holds the empty string. A BSTR variant with a null string reads as "" everywhere
// and costs no allocation, which matters for a million fields.
void SetEmptyString(com::variant& value) noexcept
{
    V_VT(value.put()) = VT_BSTR;
    V_BSTR(value.addr()) = nullptr;
}

com::ptr<IRfcType> RowTypeOf(IRfcType* table)
{
    if (auto own = com::implementation<CRfcType>(table))
        return com::share(own->RowType());
    com::ptr<IRfcType> rowType;
    com::check(table->get_RowType(rowType.put()));
    return rowType;
}

com::ptr<CRfcRows> RowsOf(IRfcType* table)
{
    auto rows = com::make<CRfcRows>();
    rows->SetRowType(RowTypeOf(table).get());
    return rows;
}

bool IsDeepComponent(IRfcType* component)
{
    if (auto own = com::implementation<CRfcType>(component))
        return own->Kind() != RFCTYPEKIND_SCALAR || own->ScalarType() == TYPE_STRING ||
               own->ScalarType() == TYPE_XSTRING;
    ABAPTYPE type = TYPE_CHAR;
    component->get_ScalarType(&type);
    return KindOf(component) != RFCTYPEKIND_SCALAR || type == TYPE_STRING || type == TYPE_XSTRING;
}

} // namespace

CRfcField::CRfcField() { SetEmptyString(m_value); }

CRfcField::CRfcField(const FieldTemplate& component) : m_name(component.name), m_type(component.type)
{
    switch (component.kind) {
    case RFCTYPEKIND_SCALAR:
        m_kind = Scalar;
        break;
    case RFCTYPEKIND_STRUCT:
        SetEmptyString(m_value);
        SetChildren(Structure, component.structure->Build());
        break;
    default:
        SetEmptyString(m_value);
        SetChildren(Table, RowsOf(component.type.get()));
        break;
    }
}

void CRfcField::SetChildren(Kind kind, com::ptr<IDispatch> children) noexcept
{
    m_kind = kind;
    m_children = std::move(children);
}

HRESULT CRfcField::get_name(BSTR* value)
{
    return guard([&] {
        com::require_out(value);
        *value = m_name.bstr();
    });
}

HRESULT CRfcField::put_name(BSTR value)
{
    return guard([&] { m_name = SharedString(com::view(value)); });
}

HRESULT CRfcField::get_RfcType(IRfcType** value) { return m_type.copy_to(value); }

HRESULT CRfcField::put_RfcType(IRfcType* value)
{
    return guard([&] { SetType(value); });
}

void CRfcField::SetType(IRfcType* type)
{
    if (!type)
        throw com::hresult_error(E_POINTER);
    switch (KindOf(type)) {
    case RFCTYPEKIND_SCALAR:
        m_value.clear();
        SetChildren(Scalar, nullptr);
        break;
    case RFCTYPEKIND_STRUCT:
        // Built completely before anything changes: a failure leaves the field as it was.
        SetChildren(Structure, StructTemplate::Of(type)->Build());
        break;
    case RFCTYPEKIND_TABLE:
        SetChildren(Table, RowsOf(type));
        break;
    case RFCTYPEKIND_UNDEFINED:
        throw MessageError(msg::NotInitialized);
    default:
        throw com::hresult_error(E_UNEXPECTED);
    }
    m_type = com::share(type);
}

HRESULT CRfcField::get_value(VARIANT* value) { return m_value.copy_to(value); }

HRESULT CRfcField::put_value(VARIANT value)
{
    return guard([&] { m_value = com::variant(value); });
}

HRESULT CRfcField::get_Fields(IRfcFields** value)
{
    return guard([&] {
        com::require_out(value);
        *value = nullptr;
        if (m_kind == NoType)
            throw MessageError(msg::NotInitialized);
        if (m_kind != Structure)
            throw MessageError(msg::NotAStructure);
        return com::ptr<IRfcFields>(StructFields()).copy_to(value);
    });
}

HRESULT CRfcField::get_Rows(IRfcRows** value)
{
    return guard([&] {
        com::require_out(value);
        *value = nullptr;
        if (m_kind == NoType)
            throw MessageError(msg::NotInitialized);
        if (m_kind != Table)
            throw MessageError(msg::NotATable);
        return com::ptr<IRfcRows>(TableRows()).copy_to(value);
    });
}

long CRfcField::InternalType() const
{
    switch (m_kind) {
    case Scalar:
        return 1;
    case Table:
        return 3;
    case Structure:
        break;
    default:
        return 0;
    }
    bool deep = false;
    ForEachComponent(m_type.get(), [&](IRfcType* component) { deep = deep || IsDeepComponent(component); });
    return deep ? 3 : 2;
}

HRESULT CRfcField::get_InternalType(long* value)
{
    return guard([&] {
        com::require_out(value);
        *value = InternalType();
    });
}

HRESULT CRfcField::get_IsEmpty(VARIANT_BOOL* value)
{
    return guard([&]() -> HRESULT {
        com::require_out(value);
        bool empty = true;
        switch (m_kind) {
        case Scalar:
            empty = m_value.vt() == VT_EMPTY || m_value.vt() == VT_NULL;
            break;
        case Table:
            empty = TableRows()->Size() == 0;
            break;
        case Structure:
            for (size_t i = 0; i < StructFields()->Size() && empty; ++i) {
                VARIANT_BOOL component = VARIANT_TRUE;
                if (HRESULT hr = StructFields()->At(i)->get_IsEmpty(&component); FAILED(hr))
                    return hr;
                empty = component != VARIANT_FALSE;
            }
            break;
        default:
            return S_OK; // no type: nothing to say
        }
        *value = empty ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

} // namespace tolvane
