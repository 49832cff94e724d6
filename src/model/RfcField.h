#pragma once
// CRfcField: a value of one type descriptor. A scalar keeps a VARIANT exactly as assigned or
// received; a structure keeps its component fields; a table keeps its rows. The value tree is
// built from the type tree when the field receives its type, once.
#include "FieldBlock.h"
#include "RfcFields.h"
#include "RfcRows.h"
#include "SharedString.h"
#include "com/Variant.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

struct FieldTemplate;

// Fields live alone or in the block of their row.
class CRfcField : public com::Object<CRfcField, com::Dispatch<IRfcField>, com::SupportErrorInfo<IRfcField>>,
                  public InFieldBlock {
public:
    static constexpr GUID kImplementationId = {0x2f8a4c0e, 0x7d51, 0x4b8e, {0xa1, 0x3c, 0x0b, 0x92, 0x6e, 0x47, 0xd3, 0x18}};

    // Field kinds: what the field was given as its type.
    enum Kind : int { NoType = 0, Scalar = 1, Structure = 2, Table = 3 };

    CRfcField();
    // A field built from a template: named and typed like its component.
    explicit CRfcField(const FieldTemplate& component);

    HRESULT STDMETHODCALLTYPE get_name(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE put_name(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_RfcType(IRfcType** value) override;
    HRESULT STDMETHODCALLTYPE put_RfcType(IRfcType* value) override;
    HRESULT STDMETHODCALLTYPE get_value(VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE put_value(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_Fields(IRfcFields** value) override;
    HRESULT STDMETHODCALLTYPE get_Rows(IRfcRows** value) override;
    HRESULT STDMETHODCALLTYPE get_InternalType(long* value) override;
    HRESULT STDMETHODCALLTYPE get_IsEmpty(VARIANT_BOOL* value) override;

    // For the program's own code.
    const SharedString& Name() const noexcept { return m_name; }
    void SetName(SharedString name) noexcept { m_name = std::move(name); }
    Kind FieldKind() const noexcept { return m_kind; }
    IRfcType* Type() const noexcept { return m_type.get(); }
    const com::variant& Value() const noexcept { return m_value; }
    void SetValue(com::variant value) noexcept { m_value = std::move(value); }
    // The component fields of a structure, else null.
    CRfcFields* StructFields() const noexcept
    {
        return m_kind == Structure ? static_cast<CRfcFields*>(static_cast<IRfcFields*>(m_children.get())) : nullptr;
    }
    // The rows of a table, else null.
    CRfcRows* TableRows() const noexcept
    {
        return m_kind == Table ? static_cast<CRfcRows*>(static_cast<IRfcRows*>(m_children.get())) : nullptr;
    }
    // Gives the field its type (throws the failures put_RfcType reports).
    void SetType(IRfcType* type);
    long InternalType() const;

private:
    void SetChildren(Kind kind, com::ptr<IDispatch> children) noexcept;

    // A million of these make a large table: the kind comes first so that it fills the object
    // root's padding, and a field holds either component fields or rows, never both.
    Kind m_kind = NoType;
    SharedString m_name;
    com::ptr<IRfcType> m_type;
    com::variant m_value;
    com::ptr<IDispatch> m_children; // CRfcFields for a structure, CRfcRows for a table
};

} // namespace tolvane
