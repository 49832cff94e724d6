#include "ThreadError.h"

#include "com/Bstr.h"
#include "com/ComPtr.h"

#include <oaidl.h>

namespace test {

std::wstring ThreadErrorDescription()
{
    com::ptr<IErrorInfo> info;
    if (GetErrorInfo(0, info.put()) != S_OK || !info)
        return {};
    com::bstr text;
    info->GetDescription(text.put());
    return text.str();
}

} // namespace test
