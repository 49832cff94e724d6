#include "VariantByteArray.h"

#include "VariantDescription.h"
#include "VariantText.h"
#include "session/XTolvane.h"

#include <algorithm>
#include <cstring>

namespace tolvane {

VariantByteArray::VariantByteArray(const VARIANT& value, const ByteArrayContexts& contexts)
{
    auto fail = [&](const wchar_t* context) {
        return CXTolvane(XSTRING_ARRAYDIMS_EXCEPTION, {}, context, VariantValueDisplay(value));
    };
    if (!ChangeVariantType(array_, value, VT_ARRAY | VT_UI1) || !V_ARRAY(array_.addr()))
        throw fail(contexts.notConvertible);
    if (SafeArrayGetDim(V_ARRAY(array_.addr())) != 1)
        throw fail(contexts.notOneDimension);
    try {
        data_.emplace(V_ARRAY(array_.addr()));
    } catch (const com::hresult_error&) {
        throw fail(contexts.dataUnreachable);
    }
}

std::span<const uint8_t> VariantByteArray::bytes() const noexcept
{
    return data_->span();
}

void CopyZeroFilled(uint8_t* target, size_t count, std::span<const uint8_t> source) noexcept
{
    const size_t copied = std::min(count, source.size());
    if (copied)
        std::memcpy(target, source.data(), copied);
    if (count > copied)
        std::memset(target + copied, 0, count - copied);
}

} // namespace tolvane
