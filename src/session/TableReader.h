#pragma once
// CTableReader: reads rows of an SAP database table through a session, by calling
// RFC_READ_TABLE (or a module of the same interface) and turning its fixed-width text rows
// into typed rows. It only uses the session's ImportCall and CallFunction, so it works over
// every session kind.
#include "OptionMap.h"
#include "RfcError.h"
#include "model/RfcRows.h"
#include "model/RfcStringList.h"

#include <string>
#include <vector>

namespace tolvane {

class CTableReader
    : public com::Object<CTableReader, com::Dispatch<ITableReader>, com::SupportErrorInfo<ITableReader>> {
public:
    static com::ErrorSource error_source() noexcept { return {&CLSID_RfcSession, &IID_NULL}; }

    CTableReader(com::ptr<ISession> session, std::wstring_view table);

    HRESULT STDMETHODCALLTYPE get_Session(ISession** value) override { return m_session.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Table(BSTR* value) override { return m_table.copy_to(value); }
    HRESULT STDMETHODCALLTYPE put_Table(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_Query(IStringList** value) override { return m_query.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Fields(IStringList** value) override { return m_fields.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Rows(IRfcRows** value) override { return m_rows.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Error(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_ErrorInfo(IRfcError** value) override { return m_errorInfo.copy_to(value); }
    HRESULT STDMETHODCALLTYPE get_Option(BSTR name, BSTR* value) override { return m_options.Get(name, value); }
    HRESULT STDMETHODCALLTYPE put_Option(BSTR name, BSTR value) override;
    HRESULT STDMETHODCALLTYPE Read(long count, long startAt) override;

    // One column of the result, as the server's FIELDS answer describes it.
    struct Column {
        std::wstring name;
        long offset;
        long length;
        wchar_t letter; // the dictionary letter of its type ('C' for every column in raw mode)
    };
    // The value of a column in one row of text (offsets and lengths in characters; characters
    // beyond the end of the text count as blanks).
    static com::variant ColumnValue(std::wstring_view row, const Column& column, bool raw);

private:
    HRESULT Prepare();
    HRESULT ReadRows(long count, long startAt);
    void SetSelection();
    bool CopySessionError();
    std::vector<Column> ColumnLayout(bool raw);
    void Parse(const std::vector<Column>& columns, bool raw);

    com::ptr<ISession> m_session;
    com::bstr m_table;
    com::ptr<CRfcStringList> m_query;
    com::ptr<CRfcStringList> m_fields;
    com::ptr<CRfcRows> m_rows;
    com::ptr<IFunctionCall> m_prototype;
    OptionMap m_options;
    bool m_error = false;
    com::ptr<CRfcError> m_errorInfo;
};

} // namespace tolvane
