#include "IntRfcTables.h"

#include "IntRfcParams.h"
#include "com/Bstr.h"
#include "com/Variant.h"
#include "session/Trace.h"

namespace tolvane {

CIntRfcTables::CIntRfcTables(const classic::EntryPoints& rfc, IRfcParameters* tables, bool fill)
    : m_descriptors(static_cast<size_t>(CountOf(tables) + 1), classic::RFC_TABLE{})
{
    ostrel::TraceFormat(L"CIntRfcTables::CIntRfcTables(...)\n");
    const long count = CountOf(tables);
    m_tables.reserve(static_cast<size_t>(count));
    for (long i = 1; i <= count; ++i) {
        com::ptr<IRfcParameter> parameter;
        com::check(tables->get_Item(com::variant(i).get(), parameter.put()));
        com::bstr name;
        com::check(parameter->get_name(name.put()));
        ostrel::TraceFormat(L"Table: %s\n", name.str().c_str());
        m_tables.push_back(std::make_unique<CIntRfcTable>(rfc, parameter.get(), m_descriptors[static_cast<size_t>(i - 1)], fill));
        m_byName[m_tables.back()->Name()] = m_tables.back().get();
    }
    ostrel::TraceFormat(L"CIntRfcTables::CIntRfcTables(): leaving\n");
}

void CIntRfcTables::getValues()
{
    for (const auto& [name, table] : m_byName)
        table->getValue();
}

} // namespace tolvane
