#include "RfcType.h"

#include "com/Property.h"
#include "session/Messages.h"

namespace tolvane {

CRfcType::CRfcType() : m_structFields(com::make<CRfcTypes>()) {}

CRfcType::~CRfcType() = default;

HRESULT CRfcType::get_name(BSTR* value)
{
    return guard([&] {
        com::require_out(value);
        *value = m_name.bstr();
    });
}

HRESULT CRfcType::get_Kind(RFCTYPEKIND* value) { return com::get_property(m_kind, value); }

HRESULT CRfcType::get_ScalarType(ABAPTYPE* value) { return com::get_property(m_scalarType, value); }

HRESULT CRfcType::put_ScalarType(ABAPTYPE value) { return com::put_property(m_scalarType, value); }

HRESULT CRfcType::get_ScalarLength(short* value) { return com::get_property(m_scalarLength, value); }

HRESULT CRfcType::put_ScalarLength(short value) { return com::put_property(m_scalarLength, value); }

HRESULT CRfcType::get_ScalarDecimals(short* value) { return com::get_property(m_scalarDecimals, value); }

HRESULT CRfcType::put_ScalarDecimals(short value) { return com::put_property(m_scalarDecimals, value); }

HRESULT CRfcType::get_StructOffset(long* value) { return com::get_property(m_structOffset, value); }

HRESULT CRfcType::put_StructOffset(long value) { return com::put_property(m_structOffset, value); }

HRESULT CRfcType::get_StructLength(long* value) { return com::get_property(m_structLength, value); }

HRESULT CRfcType::put_StructLength(long value) { return com::put_property(m_structLength, value); }

HRESULT CRfcType::get_structOffsetC1(long* value) { return com::get_property(m_structOffsetC1, value); }

HRESULT CRfcType::put_structOffsetC1(long value) { return com::put_property(m_structOffsetC1, value); }

HRESULT CRfcType::get_structLengthC1(long* value) { return com::get_property(m_structLengthC1, value); }

HRESULT CRfcType::put_structLengthC1(long value) { return com::put_property(m_structLengthC1, value); }

HRESULT CRfcType::get_StructFields(IRfcTypes** value) { return m_structFields.copy_to(value); }

HRESULT CRfcType::get_RowType(IRfcType** value) { return m_rowType.copy_to(value); }

HRESULT CRfcType::get_Tag(VARIANT* value) { return m_tag.copy_to(value); }

HRESULT CRfcType::put_Tag(VARIANT value)
{
    return guard([&] { m_tag = com::variant(value); });
}

HRESULT CRfcType::DefineScalar(BSTR name, ABAPTYPE type, short length, short decimals, long structOffset)
{
    return guard([&] {
        if (m_kind != RFCTYPEKIND_UNDEFINED)
            throw MessageError(msg::AlreadyInitialized);
        m_name = SharedString(com::view(name));
        m_kind = RFCTYPEKIND_SCALAR;
        m_scalarType = type;
        m_scalarLength = length;
        m_scalarDecimals = decimals;
        m_structOffset = structOffset;
    });
}

HRESULT CRfcType::DefineStruct(BSTR name)
{
    return guard([&] {
        m_name = SharedString(com::view(name));
        m_kind = RFCTYPEKIND_STRUCT;
        m_scalarType = TYPE_STRUCTURE;
    });
}

HRESULT CRfcType::DefineTable(BSTR name, IRfcType* tableType)
{
    return guard([&] {
        if (!tableType)
            throw com::hresult_error(E_POINTER);
        if (KindOf(tableType) != RFCTYPEKIND_STRUCT)
            throw MessageError(msg::NotAStructure);
        m_name = SharedString(com::view(name));
        m_kind = RFCTYPEKIND_TABLE;
        m_scalarType = TYPE_ITAB;
        m_rowType = com::share(tableType);
    });
}

HRESULT CRfcType::AddComplexStructField(IRfcType* field)
{
    return guard([&] {
        if (m_kind != RFCTYPEKIND_STRUCT)
            throw MessageError(msg::NotAStructure);
        if (!field)
            throw com::hresult_error(E_POINTER);
        if (KindOf(field) == RFCTYPEKIND_UNDEFINED)
            throw MessageError(msg::NotInitialized);
        return m_structFields->AddItem(field);
    });
}

HRESULT CRfcType::AddScalarStructField(BSTR name, ABAPTYPE type, short length, short decimals, long structOffset,
                                       long structOffsetC1, long structLength, long structLengthC1)
{
    return guard([&] {
        if (m_kind != RFCTYPEKIND_STRUCT)
            throw MessageError(msg::NotAStructure);
        auto component = com::make<CRfcType>();
        component->m_name = SharedString(com::view(name));
        component->m_kind = RFCTYPEKIND_SCALAR;
        component->m_scalarType = type;
        component->m_scalarLength = length;
        component->m_scalarDecimals = decimals;
        component->SetLayout(structOffset, structLength, structOffsetC1, structLengthC1);
        std::wstring key(component->m_name.view());
        m_structFields->Append(std::move(component), std::move(key));
    });
}

HRESULT CRfcType::GetInternalObj(VARIANT* value)
{
    if (!value)
        return E_POINTER;
    // Only the module's own code reads this, in the same apartment: the type tag stays empty so
    // that nothing ever treats the address as an interface to release.
    VariantInit(value);
    V_BYREF(value) = this;
    return S_OK;
}

void CRfcType::SetLayout(long offset, long length, long offsetC1, long lengthC1) noexcept
{
    m_structOffset = offset;
    m_structLength = length;
    m_structOffsetC1 = offsetC1;
    m_structLengthC1 = lengthC1;
}

RFCTYPEKIND KindOf(IRfcType* type)
{
    RFCTYPEKIND kind = RFCTYPEKIND_UNDEFINED;
    if (!type || FAILED(type->get_Kind(&kind)))
        return RFCTYPEKIND_UNDEFINED;
    return kind;
}

} // namespace tolvane
