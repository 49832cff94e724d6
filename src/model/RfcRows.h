#pragma once
// CRfcRows: the rows of a table, each an IRfcFields of the table's row structure. In file mode
// each row names a file whose content the classic transport sends as the table's lines.
#include "ComCollect.h"
#include "RfcFields.h"
#include "RowTemplate.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CRfcRows : public CComCollect<CRfcRows, IRfcRows, IRfcFields> {
public:
    static constexpr GUID kImplementationId = {0x5e03b6d9, 0xc4a8, 0x4e17, {0xb5, 0x6f, 0x11, 0x8d, 0x2c, 0xe0, 0x73, 0x9a}};

    HRESULT STDMETHODCALLTYPE get_FileMode(VARIANT_BOOL* value) override;
    HRESULT STDMETHODCALLTYPE get_DataCol(short* value) override;
    HRESULT STDMETHODCALLTYPE get_IndexCol(short* value) override;
    HRESULT STDMETHODCALLTYPE get_RfcType(IRfcType** value) override;
    HRESULT STDMETHODCALLTYPE put_RfcType(IRfcType* value) override;
    HRESULT STDMETHODCALLTYPE AddRows(long count) override;
    HRESULT STDMETHODCALLTYPE AddRow(IRfcFields** row) override;
    HRESULT STDMETHODCALLTYPE SetFileMode(short dataCol, short indexCol) override;
    HRESULT STDMETHODCALLTYPE RemoveAll() override;

    // For the program's own code.
    IRfcType* RowType() const noexcept { return m_rowType.get(); }
    bool FileMode() const noexcept { return m_fileMode; }
    short DataCol() const noexcept { return m_dataCol; }
    short IndexCol() const noexcept { return m_indexCol; }
    // Appends `count` rows built from the row type and returns the first of them.
    CRfcFields* AppendRows(size_t count);
    // Appends `count` rows built from the row type, each given to `fill(position, row)` before
    // the next is built, so that a caller can free its source row by row.
    template <class Fill>
    void AppendRows(size_t count, Fill&& fill);
    // Empties the table, handing its rows to the caller.
    std::vector<com::ptr<IRfcFields>> TakeRows() noexcept { return TakeAll(); }
    void SetRowType(IRfcType* rowType) { m_rowType = com::share(rowType); }

private:
    bool m_fileMode = false;
    short m_dataCol = 0;
    short m_indexCol = 0;
    com::ptr<IRfcType> m_rowType;
};

template <class Fill>
void CRfcRows::AppendRows(size_t count, Fill&& fill)
{
    // Without a row type, or with one that has no components, no row can be made.
    if (!m_rowType || ComponentCount(m_rowType.get()) == 0)
        throw com::hresult_error(E_POINTER);
    std::shared_ptr<const StructTemplate> row = StructTemplate::Of(m_rowType.get());
    Reserve(count);
    for (size_t i = 0; i < count; ++i) {
        com::ptr<CRfcFields> built = row->Build();
        fill(i, *built);
        Append(std::move(built));
    }
}

} // namespace tolvane
