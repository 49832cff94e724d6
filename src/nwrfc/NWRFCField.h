#pragma once
// CNWRFCField translates one description between the NetWeaver library and the object model:
// the library's parameter, field and type descriptions into IRfcType objects (imports), and
// IRfcType objects and parameters into the library's descriptions (functions a server
// describes to SAP). Library failures are traced and thrown as message 543.
#include "NWRfcLibrary.h"
#include "com/ComPtr.h"
#include "idl/Tolvane_h.h"

#include <string>

namespace tolvane {

struct NWRfcLayout;

class CNWRFCField {
public:
    CNWRFCField(const nwrfc::EntryPoints& rfc, nwrfc::RFC_ERROR_INFO& errorInfo) : m_rfc(rfc), m_errorInfo(errorInfo) {}

    // A component of a structure or table row.
    void Define(const nwrfc::RFC_FIELD_DESC& description);
    // A parameter: a field at offset 0 in both layouts; a structure keeps its dictionary name.
    void Define(const nwrfc::RFC_PARAMETER_DESC& description);
    // A dictionary structure, named `name`, built into `into` when given (a fresh type).
    void Define(const std::wstring& name, nwrfc::RFC_TYPE_DESC_HANDLE type, IRfcType* into = nullptr);
    void Define(IRfcType* type);
    void Define(IRfcParameter* parameter);

    // The type built by the last Define.
    com::ptr<IRfcType> GetType() const { return m_rfcType; }

    void fillFieldDesc(nwrfc::RFC_FIELD_DESC& description);
    void fillParameterDesc(nwrfc::RFC_DIRECTION direction, nwrfc::RFC_PARAMETER_DESC& description);
    // A new library type description of a structure or table row; null for a scalar.
    nwrfc::RFC_TYPE_DESC_HANDLE createTypeDesc();

private:
    // A library field description, as a component (named like the field) or a parameter.
    void DefineField(const nwrfc::RFC_FIELD_DESC& description, bool component);
    void AddComponentsOf(IRfcType* structure, const NWRfcLayout& layout, nwrfc::RFC_TYPE_DESC_HANDLE target);
    // A failed library call: traced with the record, thrown as message 543.
    [[noreturn]] void Fail(const std::wstring& context = {});

    const nwrfc::EntryPoints& m_rfc;
    nwrfc::RFC_ERROR_INFO& m_errorInfo;

    std::wstring m_name;
    std::wstring m_typeName;
    com::ptr<IRfcType> m_rfcType;
    long m_abapType = -1;
    RFCTYPEKIND m_kind = RFCTYPEKIND_UNDEFINED;
    short m_length = 0;
    short m_decimals = 0;
    long m_ucLength = 0, m_ucOffset = 0, m_nucLength = 0, m_nucOffset = 0;
    std::wstring m_defaultValue;
    std::wstring m_description;
    bool m_optional = false;
};

} // namespace tolvane
