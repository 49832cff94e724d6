#pragma once
// CIntRfcTable: one table parameter of a classic call, its rows in an internal table of the
// library in the row structure's layout. Filled from the parameter's rows (or, in file mode,
// from the content of the files its rows name) before a call; read back into the rows after it.
// Without `fill` the table is left for the library to create and own (a server's receive).
#include "ClassicRfcLibrary.h"
#include "IntRfcFile.h"
#include "IntRfcStrings.h"
#include "IntRfcT1StructDef.h"
#include "com/ComPtr.h"
#include "idl/Tolvane_h.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tolvane {

class CIntRfcTable {
public:
    CIntRfcTable(const classic::EntryPoints& rfc, IRfcParameter* parameter, classic::RFC_TABLE& descriptor, bool fill);
    ~CIntRfcTable();
    CIntRfcTable(const CIntRfcTable&) = delete;
    CIntRfcTable& operator=(const CIntRfcTable&) = delete;

    const std::wstring& Name() const noexcept { return m_name; }
    // Replaces the parameter's rows with the lines of the internal table (file-mode tables keep
    // theirs).
    void getValue();

private:
    void Destroy() noexcept;
    // Frees the STRING and XSTRING values of a table of our own: those of its lines and those
    // sent and since replaced.
    void ReleaseStrings() noexcept;
    void OpenFiles();
    void Create();
    void FillFromRows();
    void FillFromFiles();
    void NoteSentStrings();
    // Appends a line set to the row's initial value.
    uint8_t* AppendLine();
    // Writes the values of `row` (1-based) into `line`, but for the columns of file mode.
    void WriteRow(uint8_t* line, long row);
    com::ptr<IRfcFields> Row(long row) const;
    const uint8_t* Line(unsigned line) const;

    const classic::EntryPoints& m_rfc;
    CIntRfcStrings m_strings;
    classic::RFC_TABLE& m_descriptor;
    std::wstring m_name;
    com::ptr<IRfcRows> m_rows;
    std::optional<CIntRfcT1StructDef> m_row;
    long m_rowCount = 0; // lines the table is created for
    long m_rowsGiven = 0;
    bool m_fileMode = false;
    short m_dataCol = 0, m_indexCol = 0;
    unsigned m_dataLength = 0;
    std::vector<std::unique_ptr<CIntRfcFile>> m_files;
    bool m_owned = false;
    CIntRfcSentStrings m_sent;
};

} // namespace tolvane
