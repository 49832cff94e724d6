#include "IntRfcParams.h"

#include "com/Variant.h"

namespace tolvane {

long CountOf(IRfcParameters* list)
{
    long count = 0;
    if (list)
        com::check(list->get_Count(&count));
    return count;
}

CIntRfcParams::CIntRfcParams(const classic::EntryPoints& rfc, IRfcParameters* first, IRfcParameters* second)
    : m_descriptors(static_cast<size_t>(CountOf(first) + CountOf(second) + 1), classic::RFC_PARAMETER{})
{
    m_marshallers.reserve(m_descriptors.size() - 1);
    size_t next = 0;
    for (IRfcParameters* list : {first, second}) {
        const long count = CountOf(list);
        for (long i = 1; i <= count; ++i) {
            com::ptr<IRfcParameter> parameter;
            com::check(list->get_Item(com::variant(i).get(), parameter.put()));
            m_marshallers.push_back(CIntRfcParam::Create(rfc, parameter.get(), m_descriptors[next++]));
            m_byName[m_marshallers.back()->Name()] = m_marshallers.back().get();
        }
    }
}

void CIntRfcParams::getValues()
{
    for (const auto& [name, marshaller] : m_byName)
        marshaller->getValue();
}

} // namespace tolvane
