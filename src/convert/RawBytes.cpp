#include "RawBytes.h"

#include "VariantByteArray.h"
#include "com/SafeArray.h"
#include "session/XTolvane.h"

#include <cstring>
#include <limits>

namespace tolvane {
namespace {

constexpr ByteArrayContexts kRawContexts = {
    L"RfcVariantSafeArrayToRaw(),1",
    L"RfcVariantSafeArrayToRaw(),2",
    L"RfcVariantSafeArrayToRaw(),3",
};

bool IsNullOrEmpty(const VARIANT& value) noexcept { return V_VT(&value) == VT_NULL || V_VT(&value) == VT_EMPTY; }

// An array descriptor and its data, allocated in two steps so that each failure can be told.
com::safearray AllocateByteArray(size_t count)
{
    SAFEARRAY* descriptor = nullptr;
    if (FAILED(SafeArrayAllocDescriptorEx(VT_UI1, 1, &descriptor)))
        throw CXTolvane(VARIANTARRAY_EXCEPTION, {}, L"RfcRawToVariantSafeArray(),1");
    com::safearray array(descriptor);
    if (count > std::numeric_limits<ULONG>::max())
        throw CXTolvane(VARIANTARRAY_EXCEPTION, {}, L"RfcRawToVariantSafeArray(),2");
    descriptor->rgsabound[0].cElements = static_cast<ULONG>(count);
    descriptor->rgsabound[0].lLbound = 0;
    if (FAILED(SafeArrayAllocData(descriptor)))
        throw CXTolvane(VARIANTARRAY_EXCEPTION, {}, L"RfcRawToVariantSafeArray(),2");
    return array;
}

} // namespace

void RfcRawToVariantSafeArray(com::variant& out, const uint8_t* bytes, size_t count)
{
    com::safearray array = AllocateByteArray(count);
    try {
        com::array_data<uint8_t> data(array.get());
        CopyZeroFilled(data.data(), data.size(), {bytes, bytes ? count : 0});
    } catch (const com::hresult_error&) {
        throw CXTolvane(XSTRING_ARRAYDIMS_EXCEPTION, {}, L"RfcRawToVariantSafeArray(),3");
    }
    VARIANT* result = out.put();
    V_VT(result) = VT_ARRAY | VT_UI1;
    V_ARRAY(result) = array.detach();
}

size_t RfcVariantSafeArrayToRaw(uint8_t* buffer, const VARIANT& value, size_t count)
{
    if (IsNullOrEmpty(value)) {
        CopyZeroFilled(buffer, count, {});
        return 0;
    }
    const VariantByteArray array(value, kRawContexts);
    const size_t written = count ? count : array.bytes().size();
    CopyZeroFilled(buffer, written, array.bytes());
    return written;
}

void CopyVariantBytes(uint8_t* field, const VARIANT& value, size_t count)
{
    if (IsNullOrEmpty(value)) {
        CopyZeroFilled(field, count, {});
        return;
    }
    const VariantByteArray array(value, kRawContexts);
    CopyZeroFilled(field, count, array.bytes());
}

} // namespace tolvane
