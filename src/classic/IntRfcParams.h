#pragma once
// CIntRfcParams: the parameter array of one or two parameter lists as the classic library takes
// it, one marshaller per parameter and a terminating entry. A name of the second list that the
// first has too keeps its own array entry, and takes over reading back under that name.
#include "IntRfcParam.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tolvane {

class CIntRfcParams {
public:
    CIntRfcParams(const classic::EntryPoints& rfc, IRfcParameters* first, IRfcParameters* second = nullptr);

    classic::RFC_PARAMETER* Array() noexcept { return m_descriptors.data(); }
    // Stores every received value into its parameter, in name order.
    void getValues();

private:

    std::vector<classic::RFC_PARAMETER> m_descriptors;
    std::vector<std::unique_ptr<CIntRfcParam>> m_marshallers;
    std::map<std::wstring, CIntRfcParam*> m_byName;
};

// The number of entries of a list (0 for none).
long CountOf(IRfcParameters* list);

} // namespace tolvane
