#include "IntRfcTable.h"

#include "IntRfcParam.h"
#include "com/Bstr.h"
#include "com/Variant.h"
#include "model/RfcField.h"
#include "model/RfcFields.h"
#include "model/RfcRows.h"
#include "session/Messages.h"
#include "session/Trace.h"
#include "session/XTolvane.h"

#include <algorithm>
#include <climits>

namespace tolvane {
namespace {

// A file-mode column outside the row: what names no column names nothing to send.
[[noreturn]] void BadColumn(const std::wstring& table, const wchar_t* which, short column)
{
    throw CXTolvane(OTHER, L"table " + table + L": " + which + L" " + std::to_wstring(column) + L" names no column",
                    L"CIntRfcTable()");
}

CRfcField& FieldOf(const CRfcFields& row, size_t column) { return *static_cast<CRfcField*>(row.At(column)); }

} // namespace

CIntRfcTable::CIntRfcTable(const classic::EntryPoints& rfc, IRfcParameter* parameter, classic::RFC_TABLE& descriptor,
                           bool fill)
    : m_rfc(rfc), m_strings(rfc), m_descriptor(descriptor)
{
    ostrel::TraceFormat(L"CIntRfcTable::CIntRfcTable(): entering\n");
    com::bstr name;
    com::check(parameter->get_name(name.put()));
    m_name = name.str();
    com::check(parameter->get_Rows(m_rows.put()));
    com::ptr<IRfcType> type, rowType;
    com::check(parameter->get_RfcType(type.put()));
    if (type)
        com::check(type->get_RowType(rowType.put()));
    if (!rowType)
        throw MessageError(msg::NotInitialized);
    m_row.emplace(rfc, rowType.get());
    ostrel::TraceFormat(L"got %i columns\n", static_cast<int>(m_row->Fields().size()));
    ostrel::TraceFormat(L"table name:%s\n", m_name.c_str());

    m_descriptor.name = m_name.data();
    m_descriptor.nlen = static_cast<unsigned>(m_name.size());
    m_descriptor.type = m_row->Type();
    m_descriptor.leng = m_row->Length();
    m_descriptor.newitab = 0;
    ostrel::TraceFormat(L"internal struct installed ok, leng=%i\n", static_cast<int>(m_row->Length()));

    com::check(m_rows->get_Count(&m_rowsGiven));
    VARIANT_BOOL fileMode = VARIANT_FALSE;
    com::check(m_rows->get_FileMode(&fileMode));
    m_fileMode = fileMode != VARIANT_FALSE;
    m_descriptor.itmode = m_fileMode ? classic::RFC_ITMODE_BYVALUE : classic::RFC_ITMODE_BYREFERENCE;
    if (m_fileMode)
        OpenFiles();
    else
        m_rowCount = m_rowsGiven;
    if (fill) {
        Create();
        try {
            m_fileMode ? FillFromFiles() : FillFromRows();
            NoteSentStrings();
        } catch (...) {
            Destroy(); // the destructor does not run for a constructor that throws
            throw;
        }
    }
    ostrel::TraceFormat(L"CIntRfcTable::CIntRfcTable(): leaving\n");
}

void CIntRfcTable::Destroy() noexcept
{
    if (!m_owned)
        return;
    ReleaseStrings();
    m_rfc.ItDeleteU(m_descriptor.ithandle);
    m_descriptor.ithandle = nullptr;
    m_owned = false;
}

CIntRfcTable::~CIntRfcTable() { Destroy(); }

void CIntRfcTable::OpenFiles()
{
    com::check(m_rows->get_DataCol(&m_dataCol));
    com::check(m_rows->get_IndexCol(&m_indexCol));
    const auto columns = static_cast<short>(m_row->Fields().size());
    if (m_dataCol < 1 || m_dataCol > columns)
        BadColumn(m_name, L"data column", m_dataCol);
    if (m_indexCol < 0 || m_indexCol > columns)
        BadColumn(m_name, L"index column", m_indexCol);
    m_dataLength = m_row->Fields()[static_cast<size_t>(m_dataCol - 1)].size;
    if (m_dataLength == 0)
        BadColumn(m_name, L"data column", m_dataCol);
    for (long r = 1; r <= m_rowsGiven; ++r) {
        com::ptr<IRfcField> pathField;
        com::check(Row(r)->get_Item(com::variant(static_cast<long>(m_dataCol)).get(), pathField.put()));
        com::variant path, text;
        com::check(pathField->get_value(path.put()));
        com::check(path.try_as(VT_BSTR, text));
        auto& file = m_files.emplace_back(std::make_unique<CIntRfcFile>(com::view(V_BSTR(text.addr())).data()));
        ostrel::TraceFormat(L"table param '%s': retrieving content from '%s' (%u bytes) (indexcol=%i datacol=%i)\n",
                            m_name.c_str(), file->Path().c_str(), static_cast<unsigned>(file->Size()),
                            static_cast<int>(m_indexCol), static_cast<int>(m_dataCol));
        m_rowCount += static_cast<long>(std::min<uint64_t>(file->Size() / m_dataLength + 1, LONG_MAX - m_rowCount));
    }
}

void CIntRfcTable::Create()
{
    m_descriptor.ithandle = m_rfc.ItCreateU(m_name.data(), m_row->Length(), static_cast<unsigned>(m_rowCount), 0);
    if (!m_descriptor.ithandle)
        throw CXTolvane(MEMORY_ALLOC_EXCEPTION, L"no internal table for " + m_name);
    m_owned = true;
}

uint8_t* CIntRfcTable::AppendLine()
{
    auto* line = static_cast<uint8_t*>(m_rfc.ItAppLineU(m_descriptor.ithandle));
    if (!line)
        throw CXTolvane(MEMORY_ALLOC_EXCEPTION, L"no memory for a line of " + m_name);
    m_row->Initialise(line);
    return line;
}

const uint8_t* CIntRfcTable::Line(unsigned line) const
{
    const auto* bytes = static_cast<const uint8_t*>(m_rfc.ItGetLineU(m_descriptor.ithandle, line));
    if (!bytes)
        throw CXTolvane(OTHER, L"line " + std::to_wstring(line) + L" of " + m_name + L" cannot be read", L"CIntRfcTable");
    return bytes;
}

com::ptr<IRfcFields> CIntRfcTable::Row(long row) const
{
    com::ptr<IRfcFields> fields;
    com::check(m_rows->get_Item(row, fields.put()));
    return fields;
}

void CIntRfcTable::WriteRow(uint8_t* line, long row)
{
    const size_t columns = m_row->Fields().size();
    const auto skipped = [&](size_t c) { return m_fileMode && (c + 1 == size_t(m_dataCol) || c + 1 == size_t(m_indexCol)); };
    const com::ptr<IRfcFields> fields = Row(row);
    if (auto* ours = com::implementation<CRfcFields>(fields.get()).get(); ours && ours->Size() == columns) {
        for (size_t c = 0; c < columns; ++c)
            if (!skipped(c) && !IsUnsetValue(FieldOf(*ours, c).Value().get()))
                m_row->Write(line, c, FieldOf(*ours, c).Value().get(), m_strings);
        return;
    }
    long count = 0;
    com::check(fields->get_Count(&count));
    for (size_t c = 0; c < std::min(columns, static_cast<size_t>(std::max(count, 0L))); ++c) {
        if (skipped(c))
            continue;
        com::ptr<IRfcField> field;
        com::check(fields->get_Item(com::variant(static_cast<long>(c + 1)).get(), field.put()));
        com::variant value;
        com::check(field->get_value(value.put()));
        if (!IsUnsetValue(value.get()))
            m_row->Write(line, c, value.get(), m_strings);
    }
}

void CIntRfcTable::FillFromRows()
{
    for (long r = 1; r <= m_rowsGiven; ++r)
        WriteRow(AppendLine(), r);
}

void CIntRfcTable::FillFromFiles()
{
    const ClassicField& data = m_row->Fields()[static_cast<size_t>(m_dataCol - 1)];
    for (size_t k = 0; k < m_files.size(); ++k) {
        CIntRfcFile& file = *m_files[k];
        file.Rewind();
        size_t read = 0;
        do {
            uint8_t* line = AppendLine();
            WriteRow(line, static_cast<long>(k + 1));
            if (m_indexCol > 0)
                m_row->Write(line, static_cast<size_t>(m_indexCol - 1), com::variant(static_cast<long>(k + 1)).get(), m_strings);
            read = file.Read(line + data.offset, m_dataLength);
        } while (read == m_dataLength);
    }
}

void CIntRfcTable::getValue()
{
    if (m_fileMode)
        return;
    ostrel::TraceFormat(L"received table '%s' val=[", m_name.c_str());
    const unsigned lines = m_descriptor.ithandle ? m_rfc.ItFillU(m_descriptor.ithandle) : 0;
    com::check(m_rows->RemoveAll());
    const size_t columns = m_row->Fields().size();
    if (lines > 0) {
        auto ours = com::implementation<CRfcRows>(m_rows.get());
        if (ours) {
            const size_t first = ours->Size();
            ours->AppendRows(lines);
            for (unsigned i = 0; i < lines; ++i) {
                const uint8_t* line = Line(i + 1);
                auto& row = *static_cast<CRfcFields*>(ours->At(first + i));
                for (size_t c = 0; c < std::min(columns, row.Size()); ++c)
                    FieldOf(row, c).SetValue(m_row->Read(line, c));
            }
        } else {
            com::check(m_rows->AddRows(static_cast<long>(lines)));
            for (unsigned i = 0; i < lines; ++i) {
                const uint8_t* line = Line(i + 1);
                const com::ptr<IRfcFields> row = Row(static_cast<long>(i + 1));
                for (size_t c = 0; c < columns; ++c) {
                    com::ptr<IRfcField> field;
                    com::check(row->get_Item(com::variant(static_cast<long>(c + 1)).get(), field.put()));
                    com::check(field->put_value(m_row->Read(line, c).get()));
                }
            }
        }
    }
    ostrel::TraceContinue(L"]\n");
}

void CIntRfcTable::NoteSentStrings()
{
    if (!m_row->HoldsStrings())
        return;
    const unsigned lines = m_rfc.ItFillU(m_descriptor.ithandle);
    for (unsigned i = 1; i <= lines; ++i)
        m_row->NoteStrings(Line(i), m_sent);
}

void CIntRfcTable::ReleaseStrings() noexcept
{
    if (!m_owned || !m_descriptor.ithandle || !m_row->HoldsStrings())
        return;
    const unsigned lines = m_rfc.ItFillU(m_descriptor.ithandle);
    std::vector<void*> held;
    for (unsigned i = 1; i <= lines; ++i)
        if (const void* line = m_rfc.ItGetLineU(m_descriptor.ithandle, i))
            m_row->GatherStrings(line, held);
    m_sent.FreeReplaced(m_strings, std::move(held));
    for (unsigned i = 1; i <= lines; ++i)
        if (void* line = m_rfc.ItGetLineU(m_descriptor.ithandle, i))
            m_row->ReleaseStrings(line, m_strings);
}

} // namespace tolvane
