#pragma once
// CIntRfcStrings: STRING and XSTRING values of the classic library's records, allocated and freed
// with the library's own functions, so that the library and this component can free each
// other's values. A record holds a STRING as a pointer and an XSTRING as a length and a pointer.
#include "ClassicRfcLibrary.h"
#include "convert/StringHandles.h"

#include <utility>
#include <vector>

namespace tolvane {

static_assert(sizeof(RfcXStringImage) == sizeof(classic::RFC_XSTRING) &&
              offsetof(RfcXStringImage, content) == offsetof(classic::RFC_XSTRING, content));

class CIntRfcStrings final : public RfcStringHandles {
public:
    explicit CIntRfcStrings(const classic::EntryPoints& rfc) noexcept : m_rfc(rfc) {}

    RfcStringHandle AllocString(uint32_t size) noexcept override { return m_rfc.RfcAllocStringU(size); }
    bool ResizeXString(RfcXStringImage& xstring, int32_t length) noexcept override;

    // Frees the value of the STRING or XSTRING field at `field` and leaves it empty; other types
    // are left alone.
    void Release(void* field, int abapType) const noexcept;
    // Frees a value that a STRING or XSTRING field held.
    void Free(void* value, int abapType) const noexcept;
    // The value a STRING or XSTRING field holds (null for none and for other types).
    static void* Held(const void* field, int abapType) noexcept;

private:
    const classic::EntryPoints& m_rfc;
};

// The STRING and XSTRING values of a record when it was sent. A receive into the same record
// replaces them with values of its own without freeing them, or leaves them in place; at the
// end each is freed once, whichever way it went.
class CIntRfcSentStrings {
public:
    void Note(const void* field, int abapType);
    // Frees every noted value that is not among `held`, the values the record holds now (which
    // the caller frees with the record).
    void FreeReplaced(const CIntRfcStrings& strings, std::vector<void*> held) noexcept;

private:
    std::vector<std::pair<void*, int>> m_values;
};

// The library's type code of an ABAP type: the same number for the types it knows, -1 (as the
// unsigned the library takes) for the others.
classic::RFC_TYPEHANDLE RfcTypeCode(long abapType) noexcept;

} // namespace tolvane
