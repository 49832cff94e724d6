#include "RfcRows.h"

#include "RfcFields.h"
#include "RfcType.h"
#include "RowTemplate.h"
#include "com/Property.h"
#include "session/Messages.h"

namespace tolvane {

HRESULT CRfcRows::get_FileMode(VARIANT_BOOL* value)
{
    if (!value)
        return E_POINTER;
    *value = m_fileMode ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT CRfcRows::get_DataCol(short* value) { return com::get_property(m_dataCol, value); }

HRESULT CRfcRows::get_IndexCol(short* value) { return com::get_property(m_indexCol, value); }

HRESULT CRfcRows::get_RfcType(IRfcType** value)
{
    // Asked without a place for the answer, there is nothing to report.
    if (!value)
        return S_OK;
    return m_rowType.copy_to(value);
}

HRESULT CRfcRows::put_RfcType(IRfcType* value)
{
    return guard([&] {
        if (!value)
            throw com::hresult_error(E_POINTER);
        if (KindOf(value) != RFCTYPEKIND_TABLE)
            throw MessageError(msg::NotATable);
        com::ptr<IRfcType> rowType;
        com::check(value->get_RowType(rowType.put()));
        m_rowType = std::move(rowType);
    });
}

CRfcFields* CRfcRows::AppendRows(size_t count)
{
    const size_t first = Size();
    AppendRows(count, [](size_t, CRfcFields&) {});
    return static_cast<CRfcFields*>(At(first));
}

HRESULT CRfcRows::AddRows(long count)
{
    if (count < 1)
        return E_INVALIDARG;
    return guard([&] { AppendRows(static_cast<size_t>(count)); });
}

HRESULT CRfcRows::AddRow(IRfcFields** row)
{
    return guard([&] {
        com::require_out(row);
        *row = nullptr;
        IRfcFields* added = AppendRows(1);
        added->AddRef();
        *row = added;
    });
}

HRESULT CRfcRows::SetFileMode(short dataCol, short indexCol)
{
    return guard([&] {
        if (!m_rowType)
            throw MessageError(msg::NotInitialized);
        if (m_fileMode)
            throw MessageError(msg::AlreadyInitialized);
        if (dataCol < 1)
            throw com::hresult_error(E_INVALIDARG);
        const size_t n = ComponentCount(m_rowType.get());
        if (n < size_t(dataCol) || (indexCol > 0 && n < size_t(indexCol)))
            throw com::hresult_error(E_INVALIDARG);
        m_dataCol = dataCol;
        m_indexCol = indexCol;
        m_fileMode = true;
    });
}

HRESULT CRfcRows::RemoveAll()
{
    Clear();
    return S_OK;
}

} // namespace tolvane
