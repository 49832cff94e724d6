#include "NWRFCField.h"

#include "NWRfcErrors.h"
#include "NWRfcUtil.h"
#include "com/Bstr.h"
#include "com/Variant.h"
#include "model/RfcType.h"
#include "session/Messages.h"
#include "session/Trace.h"

#include <boost/format.hpp>

#include <algorithm>
#include <utility>
#include <vector>

namespace tolvane {

// Where a description leaves offsets and lengths open (-1: a type a client made, or one that
// came through the XML form), the library still needs them: components are placed one after
// the other at their natural alignment, in both layouts.
struct NWRfcLayout {
    struct Placed {
        long offset[2], length[2]; // [0] Unicode, [1] one byte a character
    };
    std::vector<Placed> components;
    long length[2] = {0, 0};
    long alignment[2] = {1, 1};
};

namespace {

using namespace nwrfc;

short Short(unsigned value) noexcept { return static_cast<short>(value > 32767u ? 32767u : value); }

long Long(unsigned value) noexcept { return static_cast<long>(value > 0x7fffffffu ? 0x7fffffffu : value); }

unsigned Unsigned(long value) noexcept { return value < 0 ? 0u : static_cast<unsigned>(value); }

long RoundUp(long value, long multiple) noexcept { return (value + multiple - 1) / multiple * multiple; }

NWRfcLayout LayoutOf(IRfcType* structure);

// A component's natural length and alignment in one layout.
std::pair<long, long> NaturalExtent(IRfcType* component, bool unicode)
{
    switch (KindOf(component)) {
    case RFCTYPEKIND_STRUCT: {
        const NWRfcLayout nested = LayoutOf(component);
        const int l = unicode ? 0 : 1;
        return {nested.length[l], nested.alignment[l]};
    }
    case RFCTYPEKIND_TABLE:
        return {8, 8};
    default:
        break;
    }
    ABAPTYPE type = TYPE_CHAR;
    short n = 0;
    com::check(component->get_ScalarType(&type));
    com::check(component->get_ScalarLength(&n));
    const long chars = unicode ? 2 : 1;
    switch (type) {
    case TYPE_CHAR: case TYPE_NUM: return {chars * n, chars};
    case TYPE_DATE: return {chars * 8, chars};
    case TYPE_TIME: return {chars * 6, chars};
    case TYPE_BCD: return {n / 2 + 1, 1};
    case TYPE_BYTE: return {n, 1};
    case TYPE_INT1: return {1, 1};
    case TYPE_INT2: return {2, 2};
    case TYPE_INT: return {4, 4};
    default: return {8, 8}; // FLOAT, STRING, XSTRING
    }
}

NWRfcLayout LayoutOf(IRfcType* structure)
{
    NWRfcLayout layout;
    long running[2] = {0, 0};
    ForEachComponent(structure, [&](IRfcType* component) {
        long given[2][2] = {};
        com::check(component->get_StructOffset(&given[0][0]));
        com::check(component->get_StructLength(&given[0][1]));
        com::check(component->get_structOffsetC1(&given[1][0]));
        com::check(component->get_structLengthC1(&given[1][1]));
        NWRfcLayout::Placed placed{};
        for (int l = 0; l < 2; ++l) {
            const auto [natural, alignment] = NaturalExtent(component, l == 0);
            layout.alignment[l] = std::max(layout.alignment[l], alignment);
            placed.length[l] = given[l][1] != -1 ? given[l][1] : natural;
            placed.offset[l] = given[l][0] != -1 ? given[l][0] : RoundUp(running[l], alignment);
            running[l] = placed.offset[l] + placed.length[l];
        }
        layout.components.push_back(placed);
    });
    for (int l = 0; l < 2; ++l)
        layout.length[l] = RoundUp(running[l], layout.alignment[l]);
    return layout;
}

std::wstring TypeText(const EntryPoints& rfc, RFCTYPE type)
{
    const SAP_UC* text = rfc.RfcGetTypeAsString(type);
    return text ? text : std::to_wstring(static_cast<int>(type));
}

} // namespace

void CNWRFCField::Fail(const std::wstring& context)
{
    if (!context.empty())
        TRACE_LOG(ostrel::TRACE_ERROR, context);
    nw::TraceRecordDetail(m_errorInfo);
    throw MessageError(msg::RfcError);
}

void CNWRFCField::Define(const RFC_FIELD_DESC& description) { DefineField(description, true); }

void CNWRFCField::Define(const RFC_PARAMETER_DESC& description)
{
    RFC_FIELD_DESC field{};
    std::copy(std::begin(description.name), std::end(description.name), field.name);
    field.type = description.type;
    field.nucLength = description.nucLength;
    field.ucLength = description.ucLength;
    field.decimals = description.decimals;
    field.typeDescHandle = description.typeDescHandle;
    DefineField(field, false);
}

void CNWRFCField::DefineField(const RFC_FIELD_DESC& description, bool component)
{
    m_name = nw::FieldText(description.name);
    m_abapType = nw::AbapTypeOf(description.type);
    m_decimals = Short(description.decimals);
    m_ucLength = Long(description.ucLength);
    m_ucOffset = Long(description.ucOffset);
    m_nucLength = Long(description.nucLength);
    m_nucOffset = Long(description.nucOffset);
    m_length = m_abapType == TYPE_BCD ? Short(2 * description.nucLength - 1) : Short(description.nucLength);
    TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"Field(name=%1% type=%2% ucl=%3% ucofs=%4% nucl=%5% nucofs=%6%)") %
                                          m_name % TypeText(m_rfc, description.type) % m_ucLength % m_ucOffset %
                                          m_nucLength % m_nucOffset)
                                             .str());
    if (description.typeDescHandle) {
        RFC_ABAP_NAME typeName{};
        if (m_rfc.RfcGetTypeName(description.typeDescHandle, typeName, &m_errorInfo) != RFC_OK)
            Fail();
        m_typeName = nw::FieldText(typeName);
    }
    // A nested Define fills the members of a whole type: the field's own place comes back after.
    const std::wstring name = m_name;
    const long ucLength = m_ucLength, ucOffset = m_ucOffset, nucLength = m_nucLength, nucOffset = m_nucOffset;
    const long abapType = m_abapType;
    const short length = m_length, decimals = m_decimals;
    if (description.type == RFCTYPE_STRUCTURE) {
        // A component is keyed by its type's name in the model: a structure inside a structure
        // takes the field's name, or its values could not be found by field name.
        Define(component ? name : m_typeName, description.typeDescHandle);
    } else if (description.type == RFCTYPE_TABLE) {
        CNWRFCField row(m_rfc, m_errorInfo);
        row.Define(m_typeName, description.typeDescHandle);
        auto table = com::make<CRfcType>();
        com::check(table->DefineTable(com::bstr(name).get(), row.GetType().get()));
        m_rfcType = table;
        m_kind = RFCTYPEKIND_TABLE;
    } else {
        auto scalar = com::make<CRfcType>();
        com::check(scalar->DefineScalar(com::bstr(name).get(), static_cast<ABAPTYPE>(m_abapType), m_length, m_decimals,
                                        m_ucOffset));
        m_rfcType = scalar;
        m_kind = RFCTYPEKIND_SCALAR;
    }
    m_name = name;
    m_abapType = abapType;
    m_length = length;
    m_decimals = decimals;
    m_ucLength = ucLength;
    m_ucOffset = ucOffset;
    m_nucLength = nucLength;
    m_nucOffset = nucOffset;
    com::check(m_rfcType->put_StructLength(m_ucLength));
    com::check(m_rfcType->put_structLengthC1(m_nucLength));
    com::check(m_rfcType->put_StructOffset(m_ucOffset));
    com::check(m_rfcType->put_structOffsetC1(m_nucOffset));
}

void CNWRFCField::Define(const std::wstring& name, RFC_TYPE_DESC_HANDLE type, IRfcType* into)
{
    unsigned count = 0, nucLength = 0, ucLength = 0;
    RFC_ABAP_NAME typeName{};
    if (m_rfc.RfcGetFieldCount(type, &count, &m_errorInfo) != RFC_OK ||
        m_rfc.RfcGetTypeName(type, typeName, &m_errorInfo) != RFC_OK ||
        m_rfc.RfcGetTypeLength(type, &nucLength, &ucLength, &m_errorInfo) != RFC_OK)
        Fail();
    com::ptr<IRfcType> structure = into ? com::share(into) : com::ptr<IRfcType>(com::make<CRfcType>());
    com::check(structure->DefineStruct(com::bstr(name).get()));
    com::check(structure->put_StructLength(Long(ucLength)));
    com::check(structure->put_structLengthC1(Long(nucLength)));
    com::check(structure->put_StructOffset(0));
    com::check(structure->put_structOffsetC1(0));
    for (unsigned i = 0; i < count; ++i) {
        RFC_FIELD_DESC field{};
        if (m_rfc.RfcGetFieldDescByIndex(type, i, &field, &m_errorInfo) != RFC_OK)
            Fail();
        CNWRFCField component(m_rfc, m_errorInfo);
        component.Define(field);
        com::check(structure->AddComplexStructField(component.GetType().get()));
    }
    m_name = name;
    m_typeName = nw::FieldText(typeName);
    m_rfcType = structure;
    m_kind = RFCTYPEKIND_STRUCT;
    m_abapType = TYPE_STRUCTURE;
    m_length = m_decimals = 0;
    m_ucLength = Long(ucLength);
    m_nucLength = Long(nucLength);
    m_ucOffset = m_nucOffset = 0;
}

void CNWRFCField::Define(IRfcType* type)
{
    com::bstr name;
    ABAPTYPE abapType = TYPE_CHAR;
    RFCTYPEKIND kind = RFCTYPEKIND_UNDEFINED;
    short decimals = 0, length = 0;
    com::check(type->get_name(name.put()));
    com::check(type->get_ScalarType(&abapType));
    com::check(type->get_Kind(&kind));
    com::check(type->get_ScalarDecimals(&decimals));
    com::check(type->get_ScalarLength(&length));
    com::check(type->get_StructLength(&m_ucLength));
    com::check(type->get_structLengthC1(&m_nucLength));
    com::check(type->get_StructOffset(&m_ucOffset));
    com::check(type->get_structOffsetC1(&m_nucOffset));
    m_name = m_typeName = name.str();
    m_rfcType = com::share(type);
    m_kind = kind;
    // A structure's or table's ABAPTYPE is not always set (a type read from the XML form): its
    // kind says what it is.
    m_abapType = kind == RFCTYPEKIND_STRUCT ? TYPE_STRUCTURE : kind == RFCTYPEKIND_TABLE ? TYPE_ITAB : abapType;
    m_decimals = decimals == -1 ? 0 : decimals; // 65535 read as a short
    m_length = length;
    if (kind == RFCTYPEKIND_SCALAR) {
        const long bytes = abapType == TYPE_BCD ? (length + 1) / 2 : length;
        if (m_ucLength == -1)
            m_ucLength = 2 * bytes;
        if (m_nucLength == -1)
            m_nucLength = bytes;
    } else if (kind == RFCTYPEKIND_TABLE) {
        m_length = m_decimals = 0;
        m_ucLength = m_nucLength = m_ucOffset = m_nucOffset = 0;
    } else {
        m_length = m_decimals = 0;
    }
}

void CNWRFCField::Define(IRfcParameter* parameter)
{
    com::ptr<IRfcType> type;
    com::check(parameter->get_RfcType(type.put()));
    if (!type)
        throw MessageError(msg::NotInitialized);
    Define(type.get());
    com::bstr name, description, defaultValue;
    VARIANT_BOOL optional = VARIANT_FALSE;
    com::check(parameter->get_name(name.put()));
    com::check(parameter->get_Optional(&optional));
    com::check(parameter->get_Description(description.put()));
    com::check(parameter->get_DefaultValue(defaultValue.put()));
    m_name = name.str();
    m_optional = optional != VARIANT_FALSE;
    m_description = description.str();
    m_defaultValue = defaultValue.str();
}

void CNWRFCField::fillFieldDesc(RFC_FIELD_DESC& description)
{
    description = {};
    nw::SetFieldText(description.name, m_name);
    description.type = nw::RfcTypeOf(m_abapType);
    description.decimals = Unsigned(m_decimals);
    description.ucLength = Unsigned(m_ucLength);
    description.ucOffset = Unsigned(m_ucOffset);
    description.nucLength = Unsigned(m_nucLength);
    description.nucOffset = Unsigned(m_nucOffset);
    description.typeDescHandle = createTypeDesc();
}

void CNWRFCField::fillParameterDesc(RFC_DIRECTION direction, RFC_PARAMETER_DESC& description)
{
    const SAP_UC* directionName = m_rfc.RfcGetDirectionAsString(direction);
    TRACE_LOG(ostrel::TRACE_INFORMATION,
              (boost::wformat(L"%1% parameter %2%") % (directionName ? directionName : L"") % m_name).str());
    description = {};
    nw::SetFieldText(description.name, m_name);
    description.type = nw::RfcTypeOf(m_abapType);
    description.direction = direction;
    description.nucLength = Unsigned(m_nucLength);
    description.ucLength = Unsigned(m_ucLength);
    description.decimals = Unsigned(m_decimals);
    nw::SetFieldText(description.defaultValue, m_defaultValue);
    nw::SetFieldText(description.parameterText, m_description);
    description.optional = m_optional ? 1 : 0;
    description.typeDescHandle = createTypeDesc();
}

RFC_TYPE_DESC_HANDLE CNWRFCField::createTypeDesc()
{
    if (m_kind != RFCTYPEKIND_STRUCT && m_kind != RFCTYPEKIND_TABLE)
        return nullptr;
    RFC_TYPE_DESC_HANDLE handle = m_rfc.RfcCreateTypeDesc(m_typeName.c_str(), &m_errorInfo);
    if (!handle)
        Fail((boost::wformat(L"RfcCreateTypeDesc(%1%):") % m_typeName).str());
    com::ptr<IRfcType> structure = m_rfcType;
    if (m_kind == RFCTYPEKIND_TABLE) {
        com::ptr<IRfcType> rowType;
        com::check(m_rfcType->get_RowType(rowType.put()));
        structure = rowType;
    }
    long ucLength = m_ucLength, nucLength = m_nucLength;
    if (structure) {
        const NWRfcLayout layout = LayoutOf(structure.get());
        AddComponentsOf(structure.get(), layout, handle);
        if (m_kind == RFCTYPEKIND_TABLE) {
            com::check(structure->get_StructLength(&ucLength));
            com::check(structure->get_structLengthC1(&nucLength));
        }
        if (ucLength == -1)
            ucLength = layout.length[0];
        if (nucLength == -1)
            nucLength = layout.length[1];
    }
    if (m_rfc.RfcSetTypeLength(handle, Unsigned(nucLength), Unsigned(ucLength), &m_errorInfo) != RFC_OK)
        Fail((boost::wformat(L"RfcSetTypeLength(%1%, %2%, %3%):") % m_typeName % nucLength % ucLength).str());
    return handle;
}

void CNWRFCField::AddComponentsOf(IRfcType* structure, const NWRfcLayout& layout, RFC_TYPE_DESC_HANDLE target)
{
    size_t index = 0;
    ForEachComponent(structure, [&](IRfcType* component) {
        CNWRFCField field(m_rfc, m_errorInfo);
        field.Define(component);
        const NWRfcLayout::Placed& place = layout.components[index++];
        field.m_ucOffset = place.offset[0];
        field.m_ucLength = place.length[0];
        field.m_nucOffset = place.offset[1];
        field.m_nucLength = place.length[1];
        RFC_FIELD_DESC description{};
        field.fillFieldDesc(description);
        TRACE_LOG(ostrel::TRACE_INFORMATION,
                  (boost::wformat(L"RfcAddTypeField(name=%1% type=%2% ucl=%3% ucofs=%4% nucl=%5% nucofs=%6%):") %
                   field.m_name % TypeText(m_rfc, description.type) % description.ucLength % description.ucOffset %
                   description.nucLength % description.nucOffset)
                      .str());
        if (m_rfc.RfcAddTypeField(target, &description, &m_errorInfo) != RFC_OK)
            Fail();
    });
}

} // namespace tolvane
