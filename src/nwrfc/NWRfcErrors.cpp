#include "NWRfcErrors.h"

#include "session/Trace.h"

#include <boost/format.hpp>

namespace tolvane::nw {

std::wstring FieldText(const nwrfc::SAP_UC* chars, size_t capacity)
{
    size_t n = 0;
    while (n < capacity && chars[n] != 0)
        ++n;
    return std::wstring(chars, n);
}

std::wstring RcName(const nwrfc::EntryPoints& rfc, nwrfc::RFC_RC rc)
{
    const nwrfc::SAP_UC* name = rfc.RfcGetRcAsString(rc);
    return name ? std::wstring(name) : L"RFC_RC " + std::to_wstring(static_cast<int>(rc));
}

CallOutcome OutcomeOf(const nwrfc::RFC_ERROR_INFO& record, unsigned failWith)
{
    CallOutcome outcome;
    outcome.failed = true;
    outcome.group = record.group;
    outcome.groupText = FieldText(record.key);
    outcome.message = FieldText(record.message);
    outcome.closed = false;
    outcome.failWith = failWith;
    return outcome;
}

void TraceRecord(const nwrfc::EntryPoints& rfc, const nwrfc::RFC_ERROR_INFO& record, std::wstring_view label)
{
    if (record.code == nwrfc::RFC_OK) {
        if (!label.empty())
            TRACE_LOG(ostrel::TRACE_INFORMATION, (boost::wformat(L"%1%: RFC_OK") % std::wstring(label)).str());
        return;
    }
    const std::wstring rc = RcName(rfc, record.code), key = FieldText(record.key), message = FieldText(record.message);
    TRACE_LOG(ostrel::TRACE_ERROR,
              label.empty() ? (boost::wformat(L"RFC Error %1%: %2% %3%") % rc % key % message).str()
                            : (boost::wformat(L"%1%: RFC Error %2%: %3% %4%") % std::wstring(label) % rc % key % message).str());
}

void TraceRecordDetail(const nwrfc::RFC_ERROR_INFO& record)
{
    TRACE_LOG(ostrel::TRACE_ERROR, (boost::wformat(L"RFC Error #%1% %2%: %3%") % static_cast<int>(record.code) %
                                    FieldText(record.key) % FieldText(record.message))
                                       .str());
}

} // namespace tolvane::nw
