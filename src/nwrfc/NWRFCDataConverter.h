#pragma once
// CNWRFCDataConverter moves values between a call object (its parameters, fields and rows) and
// a NetWeaver library container (function, structure or table row), both ways. It runs on the
// thread the call object belongs to. Every library call fills the owner's error record; a
// library failure is traced and thrown as message 543, a value that does not convert as its
// CXTolvane or automation error. Values already moved stay moved.
#include "NWRfcLibrary.h"
#include "com/ComPtr.h"
#include "com/Variant.h"
#include "idl/Tolvane_h.h"

#include <concepts>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {

class CRfcFields;

class CNWRFCDataConverter {
public:
    CNWRFCDataConverter(const nwrfc::EntryPoints& rfc, nwrfc::RFC_ERROR_INFO& errorInfo)
        : m_rfc(rfc), m_errorInfo(errorInfo)
    {
    }

    // Before a call: Importing (an empty import is deactivated), Changing and Tables into the
    // function; Exporting parameters active exactly when requested.
    void FillOutgoingArgs(IFunctionCall* call, nwrfc::RFC_FUNCTION_HANDLE function);
    // After a call: Exporting, Changing and Tables after RFC_OK, only Tables after an ABAP
    // exception, nothing after any other result.
    void FillIncomingArgs(nwrfc::RFC_RC invokeResult, nwrfc::RFC_FUNCTION_HANDLE function, IFunctionCall* call);

    void putRfcArgs(IRfcParameters* parameters, nwrfc::DATA_CONTAINER_HANDLE container, std::wstring_view label,
                    bool deactivateEmpty);
    void putRfcField(IRfcField* field, nwrfc::DATA_CONTAINER_HANDLE container, bool trace, std::wstring_view prefix);
    void putStructFields(IRfcFields* fields, nwrfc::DATA_CONTAINER_HANDLE container, bool trace,
                         std::wstring_view prefix);
    void putScalarVal(IRfcField* field, IRfcType* type, nwrfc::DATA_CONTAINER_HANDLE container, bool trace,
                      std::wstring_view prefix);

    void getRfcArgs(nwrfc::DATA_CONTAINER_HANDLE container, IRfcParameters* parameters, std::wstring_view label);
    void getRfcField(nwrfc::DATA_CONTAINER_HANDLE container, IRfcField* field, bool trace, std::wstring_view prefix);
    void getStructFields(nwrfc::DATA_CONTAINER_HANDLE container, IRfcFields* fields, bool trace,
                         std::wstring_view prefix);
    void getScalarVal(nwrfc::DATA_CONTAINER_HANDLE container, IRfcField* field, IRfcType* type, bool trace,
                      std::wstring_view prefix);

private:
    // One column of a table whose columns are all scalars.
    struct Column {
        std::wstring name;
        ABAPTYPE type;
        short length;
    };

    // A library result: RFC_OK goes on, anything else is traced and thrown as message 543.
    void Check(nwrfc::RFC_RC rc, const std::wstring& label = {});
    // The same with a label that takes work to make: it is made only for a failure, so that the
    // row loops of large tables format nothing.
    template <std::invocable MakeLabel>
    void Check(nwrfc::RFC_RC rc, MakeLabel&& makeLabel)
    {
        if (rc != nwrfc::RFC_OK)
            Check(rc, std::wstring(makeLabel()));
    }
    void putTable(IRfcField* field, const std::wstring& name, nwrfc::DATA_CONTAINER_HANDLE container);
    void getTable(nwrfc::DATA_CONTAINER_HANDLE container, IRfcField* field, const std::wstring& name);
    // A value into, or out of, the field `name` of a container; empty values write nothing.
    void WriteScalar(nwrfc::DATA_CONTAINER_HANDLE container, const std::wstring& name, ABAPTYPE type,
                     const com::variant& value);
    com::variant ReadScalar(nwrfc::DATA_CONTAINER_HANDLE container, const std::wstring& name, ABAPTYPE type,
                            short length);
    // The `count` characters of a character field, in a buffer kept for the next field.
    std::wstring_view ReadChars(nwrfc::DATA_CONTAINER_HANDLE container, const std::wstring& name, size_t count);
    // The columns of a row type when each is a scalar: a table's rows then move field by field
    // without asking every row for names and types again. Empty otherwise.
    static std::vector<Column> ScalarColumns(IRfcType* rowType);
    // A row of our own collection, its fields in the order of `columns`.
    void PutRow(const CRfcFields& row, const std::vector<Column>& columns, nwrfc::DATA_CONTAINER_HANDLE current);
    void GetRow(nwrfc::DATA_CONTAINER_HANDLE current, const std::vector<Column>& columns, CRfcFields& row);

    const nwrfc::EntryPoints& m_rfc;
    nwrfc::RFC_ERROR_INFO& m_errorInfo;
    std::vector<nwrfc::RFC_CHAR> m_chars;
};

} // namespace tolvane
