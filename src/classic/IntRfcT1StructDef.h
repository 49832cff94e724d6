#pragma once
// CIntRfcT1StructDef: a flat structure as the classic library lays it out in the Unicode
// (2-byte) row format, installed in the library. Offsets and lengths come from the type where
// it gives them (an imported structure gives all) and from the type's defaults otherwise.
// Structure parameters and table rows are written and read through it.
#include "ClassicRfcLibrary.h"
#include "IntRfcStrings.h"
#include "com/Variant.h"
#include "idl/Tolvane_h.h"

#include <string>
#include <vector>

namespace tolvane {

// One field of a row in the 2-byte layout.
struct ClassicField {
    std::wstring name;
    long abapType;
    long length; // what is written: characters, digits or bytes by type, bounded by `size`
    long decimals;
    unsigned offset;
    unsigned size;
};

class CIntRfcT1StructDef {
public:
    // Reads the structure's fields and installs it. A field that does not fit the structure or
    // its type, or a refused installation, is ERROR_INSTALL_STRUCT (message 537).
    CIntRfcT1StructDef(const classic::EntryPoints& rfc, IRfcType* structure);

    const std::wstring& Name() const noexcept { return m_name; }
    const std::vector<ClassicField>& Fields() const noexcept { return m_fields; }
    unsigned Length() const noexcept { return static_cast<unsigned>(m_initial.size()); }
    classic::RFC_TYPEHANDLE Type() const noexcept { return m_type; }

    // Sets a row to its initial value: zero bytes, character fields filled with their fill.
    void Initialise(void* row) const noexcept;
    // Field `index` of `row` from a value, and back.
    void Write(void* row, size_t index, const VARIANT& value, RfcStringHandles& strings) const;
    com::variant Read(const void* row, size_t index) const;
    // The STRING and XSTRING values of a row: noted as sent, gathered as held, freed.
    void NoteStrings(const void* row, CIntRfcSentStrings& sent) const;
    void GatherStrings(const void* row, std::vector<void*>& held) const;
    void ReleaseStrings(void* row, const CIntRfcStrings& strings) const noexcept;
    bool HoldsStrings() const noexcept { return m_holdsStrings; }

private:
    void Install(const classic::EntryPoints& rfc);

    std::wstring m_name;
    std::vector<ClassicField> m_fields;
    std::vector<unsigned> m_lengthsC1, m_offsetsC1;
    std::vector<uint8_t> m_initial;
    classic::RFC_TYPEHANDLE m_type = 0;
    bool m_holdsStrings = false;
};

} // namespace tolvane
