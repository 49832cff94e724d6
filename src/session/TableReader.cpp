#include "TableReader.h"

#include "Messages.h"
#include "Trace.h"
#include "XTolvane.h"
#include "convert/DateTime.h"
#include "convert/FixedNumber.h"
#include "convert/WhiteSpace.h"
#include "model/DictionaryType.h"
#include "model/RfcField.h"
#include "model/RfcType.h"

#include <algorithm>
#include <array>
#include <climits>

namespace tolvane {
namespace {

com::ptr<IRfcParameters> Tables(IFunctionCall* call)
{
    com::ptr<IRfcParameters> tables;
    com::check(call->get_Tables(tables.put()));
    return tables;
}

// The rows of a table parameter of the prototype, as our own rows collection.
com::ptr<CRfcRows> TableRows(IFunctionCall* call, const wchar_t* name)
{
    com::ptr<IRfcParameter> parameter;
    com::check(Tables(call)->get_Item(com::variant(name).get(), parameter.put()));
    com::ptr<IRfcRows> rows;
    com::check(parameter->get_Rows(rows.put()));
    auto own = com::implementation<CRfcRows>(rows.get());
    if (!own)
        throw com::hresult_error(E_UNEXPECTED);
    return own;
}

void SetImporting(IRfcParameters* importing, const wchar_t* name, const com::variant& value)
{
    com::ptr<IRfcParameter> parameter;
    com::check(importing->get_Item(com::variant(name).get(), parameter.put()));
    com::check(parameter->put_value(value.get()));
}

CRfcField& FieldAt(const CRfcFields& row, size_t position) { return *static_cast<CRfcField*>(row.At(position)); }

// The text of a received value.
std::wstring Text(const com::variant& value)
{
    com::variant text;
    if (FAILED(value.try_as(VT_BSTR, text)))
        return {};
    return std::wstring(com::view(V_BSTR(text.addr())));
}

// Offsets and lengths of the FIELDS answer; anything that is not a number reads as 0.
long Number(const com::variant& value)
{
    const std::wstring text = Text(value);
    return static_cast<long>(std::clamp<long long>(ParseFixedInt(text.data(), text.size(), true), LONG_MIN, LONG_MAX));
}

// At most `length` characters from `offset`, not past the end of the text.
std::wstring_view Slice(std::wstring_view row, long offset, long length)
{
    if (offset < 0 || length <= 0 || static_cast<size_t>(offset) >= row.size())
        return {};
    return row.substr(static_cast<size_t>(offset), static_cast<size_t>(length));
}

// Exactly `Width` characters from `offset`, blanks where the text ends.
template <size_t Width>
std::array<wchar_t, Width> Fixed(std::wstring_view row, long offset)
{
    std::array<wchar_t, Width> result;
    result.fill(L' ');
    const std::wstring_view text = Slice(row, offset, static_cast<long>(Width));
    std::copy(text.begin(), text.end(), result.begin());
    return result;
}

// The text of one DATA row, its WA field: a view of the received string, or of `converted`
// when the value was of another type.
std::wstring_view RowText(const CRfcFields& row, std::wstring& converted)
{
    auto* wa = static_cast<CRfcField*>(row.Find(L"WA"));
    if (!wa)
        return {};
    if (wa->Value().vt() == VT_BSTR)
        return com::view(V_BSTR(wa->Value().addr()));
    converted = Text(wa->Value());
    return converted;
}

// Where each column goes in a typed row: the row's field of its name (the newest, should
// names repeat).
std::vector<size_t> FieldPositions(const CRfcFields& row, const std::vector<CTableReader::Column>& columns)
{
    std::vector<size_t> positions;
    positions.reserve(columns.size());
    for (const CTableReader::Column& column : columns) {
        IRfcField* target = row.Find(column.name);
        size_t position = 0;
        while (row.At(position) != target)
            ++position;
        positions.push_back(position);
    }
    return positions;
}

} // namespace

CTableReader::CTableReader(com::ptr<ISession> session, std::wstring_view table)
    : m_session(std::move(session)), m_table(table), m_query(com::make<CRfcStringList>()),
      m_fields(com::make<CRfcStringList>()), m_rows(com::make<CRfcRows>()), m_errorInfo(com::make<CRfcError>())
{
}

HRESULT CTableReader::put_Table(BSTR value)
{
    return guard([&] { m_table = com::bstr(com::view(value)); });
}

HRESULT CTableReader::get_Error(VARIANT_BOOL* value)
{
    if (!value)
        return E_POINTER;
    *value = m_error ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CTableReader::put_Option(BSTR name, BSTR value)
{
    return guard([&] { m_options.Put(name, value); });
}

com::variant CTableReader::ColumnValue(std::wstring_view row, const Column& column, bool raw)
{
    com::variant value;
    switch (raw ? L'C' : column.letter) {
    case L'D':
        AbapDateToVariant(value, Fixed<kAbapDateLength>(row, column.offset).data());
        return value;
    case L'T':
        AbapTimeToVariant(value, Fixed<kAbapTimeLength>(row, column.offset).data());
        return value;
    case L'F': {
        const std::wstring_view text = Slice(row, column.offset, column.length);
        return com::variant(ParseFixedFloat(text.data(), text.size()));
    }
    case L'I':
    case L'b':
    case L's': {
        const std::wstring_view text = Slice(row, column.offset, column.length);
        const long long number = ParseFixedInt(text.data(), text.size(), true);
        return com::variant(static_cast<long>(std::clamp<long long>(number, LONG_MIN, LONG_MAX)));
    }
    case L'X':
    case L'y':
        return com::variant(Slice(row, column.offset, column.length));
    default: {
        const std::wstring_view text = Slice(row, column.offset, column.length);
        return com::variant(raw ? text : Trim(text));
    }
    }
}

HRESULT CTableReader::Read(long count, long startAt)
{
    return guard([&]() -> HRESULT {
        try {
            return ReadRows(count, startAt);
        } catch (const com::hresult_error&) {
            throw;
        } catch (const MessageError&) {
            throw;
        } catch (...) {
            ostrel::TraceFormat(L"unexpected error - terminating\n");
            throw MessageError(msg::UnexpectedError);
        }
    });
}

HRESULT CTableReader::Prepare()
{
    if (m_prototype)
        return S_OK;
    std::wstring module = m_options.Value(L"tablereader.transportcall");
    if (module.empty())
        module = L"RFC_READ_TABLE";
    com::ptr<IFunctionCall> prototype;
    if (HRESULT hr = m_session->ImportCall(com::bstr(module).get(), VARIANT_TRUE, prototype.put()); FAILED(hr))
        return hr;
    if (CopySessionError())
        return E_FAIL;
    m_prototype = std::move(prototype);
    return S_OK;
}

HRESULT CTableReader::ReadRows(long count, long startAt)
{
    ostrel::TraceFormat(L"CTableReader::Read()\n");
    if (HRESULT hr = Prepare(); FAILED(hr))
        return hr;

    com::ptr<IRfcParameters> importing;
    com::check(m_prototype->get_Importing(importing.put()));
    SetImporting(importing.get(), L"QUERY_TABLE", com::variant(m_table.view()));
    ostrel::TraceFormat(L"\tQUERY_TABLE=%s\n", m_table.str().c_str());
    SetImporting(importing.get(), L"DELIMITER", com::variant(L" "));
    SetImporting(importing.get(), L"NO_DATA", com::variant(L" "));
    SetImporting(importing.get(), L"ROWCOUNT", com::variant(count));
    ostrel::TraceFormat(L"\tROWCOUNT=%i\n", count);
    SetImporting(importing.get(), L"ROWSKIPS", com::variant(startAt));
    ostrel::TraceFormat(L"\tROWSKIPS=%i\n", startAt);
    SetSelection();

    ostrel::TraceFormat(L"executing call...\n");
    com::check(m_session->CallFunction(m_prototype.get(), VARIANT_TRUE));
    if (CopySessionError())
        return S_OK; // Rows and Fields stay as they were
    ostrel::TraceFormat(L"done\n");

    const std::wstring rawOption = m_options.Value(L"tablereader.rawstrings");
    const bool raw = rawOption == L"X" || rawOption == L"x" || rawOption == L"1";
    Parse(ColumnLayout(raw), raw);
    ostrel::TraceFormat(L"CTableReader::Read(): leaving\n");
    return S_OK;
}

// OPTIONS gets the selection lines, FIELDS the wanted columns; DATA starts empty.
void CTableReader::SetSelection()
{
    ostrel::TraceFormat(L"set OPTIONS\n");
    com::ptr<CRfcRows> options = TableRows(m_prototype.get(), L"OPTIONS");
    options->RemoveAll();
    for (const std::wstring& line : m_query->Strings())
        com::check(FieldAt(*options->AppendRows(1), 0).put_value(com::variant(line).get()));
    ostrel::TraceFormat(L"set FIELDS\n");
    com::ptr<CRfcRows> fields = TableRows(m_prototype.get(), L"FIELDS");
    fields->RemoveAll();
    for (const std::wstring& name : m_fields->Strings()) {
        CRfcFields* row = fields->AppendRows(1);
        com::check(row->Find(L"FIELDNAME")->put_value(com::variant(name).get()));
    }
    TableRows(m_prototype.get(), L"DATA")->RemoveAll();
}

// Copies the session's error state; true when the call failed.
bool CTableReader::CopySessionError()
{
    VARIANT_BOOL failed = VARIANT_FALSE;
    com::check(m_session->get_Error(&failed));
    if (failed == VARIANT_FALSE) {
        m_error = false;
        m_errorInfo->Clear();
        return false;
    }
    com::ptr<IRfcError> error;
    com::check(m_session->get_ErrorInfo(error.put()));
    CRfcError::Contents copy;
    ERRORGROUP group = RFCERROR_NO_ERROR;
    com::bstr text, message, module;
    com::check(error->get_ERRORGROUP(&group));
    com::check(error->get_ErrorGroupTxt(text.put()));
    com::check(error->get_Message(message.put()));
    com::check(error->get_ModuleName(module.put()));
    m_errorInfo->Assign({group, text.str(), message.str(), module.str()});
    m_error = true;
    return true;
}

// The columns of the server's FIELDS answer, which also become the reader's Fields and the
// row type of Rows.
std::vector<CTableReader::Column> CTableReader::ColumnLayout(bool raw)
{
    com::ptr<CRfcRows> fields = TableRows(m_prototype.get(), L"FIELDS");
    auto rowType = com::make<CRfcType>();
    com::check(rowType->DefineStruct(m_table.get()));
    m_fields->Strings().clear();
    std::vector<Column> columns;
    for (size_t i = 0; i < fields->Size(); ++i) {
        auto* row = static_cast<CRfcFields*>(fields->At(i));
        auto value = [&](const wchar_t* name) {
            CRfcField* field = static_cast<CRfcField*>(row->Find(name));
            return field ? field->Value() : com::variant();
        };
        const std::wstring type = Text(value(L"TYPE"));
        Column column{Text(value(L"FIELDNAME")), Number(value(L"OFFSET")), Number(value(L"LENGTH")),
                      raw ? L'C' : (type.empty() ? L' ' : type.front())};
        m_fields->Strings().push_back(column.name);
        com::check(rowType->AddScalarStructField(com::bstr(column.name).get(),
                                                 static_cast<ABAPTYPE>(AbapTypeOfLetter(column.letter)),
                                                 static_cast<short>(std::clamp(column.length, 0L, long(SHRT_MAX))),
                                                 0, -1, -1, -1, -1));
        columns.push_back(std::move(column));
    }
    auto tableType = com::make<CRfcType>();
    com::check(tableType->DefineTable(m_table.get(), rowType.get()));
    auto rows = com::make<CRfcRows>();
    com::check(rows->put_RfcType(tableType.get()));
    m_rows = std::move(rows);
    return columns;
}

void CTableReader::Parse(const std::vector<Column>& columns, bool raw)
{
    // The text rows are released as they are typed, so that a read never holds its rows twice
    // and the prototype keeps no copy of the result.
    std::vector<com::ptr<IRfcFields>> data = TableRows(m_prototype.get(), L"DATA")->TakeRows();
    ostrel::TraceFormat(L"got %i rows with %i fields, parsing...\n", static_cast<int>(data.size()),
                        static_cast<int>(columns.size()));
    if (data.empty() || columns.empty())
        return;
    std::vector<size_t> positions;
    m_rows->AppendRows(data.size(), [&](size_t r, CRfcFields& row) {
        if (positions.empty())
            positions = FieldPositions(row, columns);
        std::wstring converted;
        const std::wstring_view text = RowText(*static_cast<CRfcFields*>(data[r].get()), converted);
        for (size_t c = 0; c < columns.size(); ++c)
            FieldAt(row, positions[c]).SetValue(ColumnValue(text, columns[c], raw));
        data[r] = nullptr;
    });
}

} // namespace tolvane
