#pragma once
// The marshallers of one parameter of a classic call: CIntRfcParam makes the one that fits the
// parameter's kind, which owns the value buffer its descriptor points at. Scalars and flat
// structures are marshalled; tables travel in the table array (IntRfcTables.h) and deep
// structures not at all.
#include "ClassicRfcLibrary.h"
#include "IntRfcStrings.h"
#include "IntRfcT1StructDef.h"
#include "com/ComPtr.h"
#include "idl/Tolvane_h.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tolvane {

class CIntRfcParam {
public:
    virtual ~CIntRfcParam() = default;
    CIntRfcParam(const CIntRfcParam&) = delete;
    CIntRfcParam& operator=(const CIntRfcParam&) = delete;

    // The marshaller for the parameter, filling `descriptor` and the buffer it points at from
    // the parameter's value. A kind that cannot be marshalled is ERROR_COMPLEX_TYPE (518).
    static std::unique_ptr<CIntRfcParam> Create(const classic::EntryPoints& rfc, IRfcParameter* parameter,
                                                classic::RFC_PARAMETER& descriptor);

    // Stores the received buffer as the parameter's value.
    virtual void getValue() = 0;

    const std::wstring& Name() const noexcept { return m_name; }

protected:
    CIntRfcParam(const classic::EntryPoints& rfc, IRfcParameter* parameter, classic::RFC_PARAMETER& descriptor);

    // A zeroed buffer of `bytes` (MEMORY_ALLOC_EXCEPTION when there is no memory for it), which
    // the descriptor points at.
    uint8_t* Allocate(size_t bytes);
    uint8_t* Buffer() noexcept { return reinterpret_cast<uint8_t*>(m_buffer.data()); }

    com::ptr<IRfcParameter> m_parameter;
    classic::RFC_PARAMETER& m_descriptor;
    std::wstring m_name;
    CIntRfcStrings m_strings;
    // The STRING and XSTRING values the buffer held when it was filled; those it holds at the
    // end, sent or received, are freed with it.
    CIntRfcSentStrings m_sent;

private:
    std::vector<uint64_t> m_buffer; // 8-byte aligned, for the pointers of STRING and XSTRING
};

class CIntRfcScalarParam final : public CIntRfcParam {
public:
    CIntRfcScalarParam(const classic::EntryPoints& rfc, IRfcParameter* parameter, classic::RFC_PARAMETER& descriptor);
    ~CIntRfcScalarParam() override;
    void getValue() override;

private:
    long m_type = TYPE_CHAR;
    short m_length = 0;
    short m_decimals = 0;
};

class CIntRfcStructParam final : public CIntRfcParam {
public:
    CIntRfcStructParam(const classic::EntryPoints& rfc, IRfcParameter* parameter, classic::RFC_PARAMETER& descriptor);
    ~CIntRfcStructParam() override { ReleaseStrings(); }
    void getValue() override;

private:
    void WriteFields(const CIntRfcT1StructDef& definition, uint8_t* buffer);
    void ReleaseStrings() noexcept;
    std::wstring TracedField(const std::wstring& field, const VARIANT& value) const;

    std::optional<CIntRfcT1StructDef> m_definition;
    com::ptr<IRfcFields> m_fields;
};

// Whether a value counts as not given: empty, omitted, or an empty string.
bool IsUnsetValue(const VARIANT& value) noexcept;
// A value as the traces show it; the values of passwords and tickets never.
std::wstring TracedValue(std::wstring_view name, const VARIANT& value);

} // namespace tolvane
