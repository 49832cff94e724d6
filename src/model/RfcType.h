#pragma once
// CRfcType: what shape one value of a function-module interface has: a scalar of an ABAP type,
// a structure of named components, or a table of rows of a structure. Descriptors are shared by
// reference between parameters, fields, rows, the type cache and other descriptors, so a
// change to one is seen by everything that refers to it.
#include "RfcTypes.h"
#include "SharedString.h"
#include "com/Variant.h"
#include "idl/Tolvane_h.h"

namespace tolvane {

class CRfcType : public com::Object<CRfcType, com::Dispatch<IRfcType>, com::SupportErrorInfo<IRfcType>> {
public:
    // Lets the module's own code find this class behind an IRfcType.
    static constexpr GUID kImplementationId = {0x6d1c1f52, 0x1b7e, 0x4d4b, {0x9a, 0x37, 0x52, 0x0e, 0x21, 0x8c, 0x4f, 0x61}};

    CRfcType();
    ~CRfcType() override;

    HRESULT STDMETHODCALLTYPE get_name(BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_Kind(RFCTYPEKIND* value) override;
    HRESULT STDMETHODCALLTYPE get_ScalarType(ABAPTYPE* value) override;
    HRESULT STDMETHODCALLTYPE put_ScalarType(ABAPTYPE value) override;
    HRESULT STDMETHODCALLTYPE get_ScalarLength(short* value) override;
    HRESULT STDMETHODCALLTYPE put_ScalarLength(short value) override;
    HRESULT STDMETHODCALLTYPE get_ScalarDecimals(short* value) override;
    HRESULT STDMETHODCALLTYPE put_ScalarDecimals(short value) override;
    HRESULT STDMETHODCALLTYPE get_StructOffset(long* value) override;
    HRESULT STDMETHODCALLTYPE put_StructOffset(long value) override;
    HRESULT STDMETHODCALLTYPE get_StructLength(long* value) override;
    HRESULT STDMETHODCALLTYPE put_StructLength(long value) override;
    HRESULT STDMETHODCALLTYPE get_StructFields(IRfcTypes** value) override;
    HRESULT STDMETHODCALLTYPE get_RowType(IRfcType** value) override;
    HRESULT STDMETHODCALLTYPE DefineScalar(BSTR name, ABAPTYPE type, short length, short decimals,
                                           long structOffset) override;
    HRESULT STDMETHODCALLTYPE DefineStruct(BSTR name) override;
    HRESULT STDMETHODCALLTYPE DefineTable(BSTR name, IRfcType* tableType) override;
    HRESULT STDMETHODCALLTYPE AddComplexStructField(IRfcType* field) override;
    HRESULT STDMETHODCALLTYPE AddScalarStructField(BSTR name, ABAPTYPE type, short length, short decimals,
                                                   long structOffset, long structOffsetC1, long structLength,
                                                   long structLengthC1) override;
    HRESULT STDMETHODCALLTYPE get_Tag(VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE put_Tag(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_structOffsetC1(long* value) override;
    HRESULT STDMETHODCALLTYPE put_structOffsetC1(long value) override;
    HRESULT STDMETHODCALLTYPE get_structLengthC1(long* value) override;
    HRESULT STDMETHODCALLTYPE put_structLengthC1(long value) override;
    HRESULT STDMETHODCALLTYPE GetInternalObj(VARIANT* value) override;

    // For the program's own code: the state without COM calls.
    const SharedString& Name() const noexcept { return m_name; }
    RFCTYPEKIND Kind() const noexcept { return m_kind; }
    long ScalarType() const noexcept { return m_scalarType; }
    short ScalarLength() const noexcept { return m_scalarLength; }
    short ScalarDecimals() const noexcept { return m_scalarDecimals; }
    long StructOffset() const noexcept { return m_structOffset; }
    long StructLength() const noexcept { return m_structLength; }
    long StructOffsetC1() const noexcept { return m_structOffsetC1; }
    long StructLengthC1() const noexcept { return m_structLengthC1; }
    CRfcTypes& Components() const noexcept { return *m_structFields; }
    IRfcType* RowType() const noexcept { return m_rowType.get(); }

    // The XML form of this descriptor (see CallXml).
    void SetKind(RFCTYPEKIND kind) noexcept { m_kind = kind; }
    void SetName(SharedString name) noexcept { m_name = std::move(name); }
    void SetLayout(long offset, long length, long offsetC1, long lengthC1) noexcept;

private:
    SharedString m_name;
    RFCTYPEKIND m_kind = RFCTYPEKIND_UNDEFINED;
    long m_scalarType = -1;
    short m_scalarLength = 0;
    short m_scalarDecimals = 0;
    long m_structOffset = -1;
    long m_structLength = -1;
    long m_structOffsetC1 = -1;
    long m_structLengthC1 = -1;
    com::ptr<CRfcTypes> m_structFields;
    com::ptr<IRfcType> m_rowType;
    com::variant m_tag;
};

// The kind of any descriptor, ours or not; RFCTYPEKIND_UNDEFINED when it cannot be read.
RFCTYPEKIND KindOf(IRfcType* type);

// Calls `each(IRfcType*)` for the components of any structure descriptor, in order; a
// component that cannot be read throws.
template <class Each>
void ForEachComponent(IRfcType* structure, Each&& each)
{
    com::ptr<IRfcTypes> components;
    com::check(structure->get_StructFields(components.put()));
    long count = 0;
    com::check(components->get_Count(&count));
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcType> component;
        com::check(components->get_Item(com::variant(i).get(), component.put()));
        each(component.get());
    }
}

} // namespace tolvane
