#pragma once
// FunctionPrototypes: the functions a server knows, by name (exact, case-sensitive). Each is a
// private copy of the call InstallFunction was given, with types of its own that no apartment
// owns and nobody changes, so that a listening thread may read it while the client goes on
// installing. A lock guards the table.
#include "com/ComPtr.h"
#include "model/FunctionCall.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace tolvane {

class FunctionPrototypes {
public:
    // A private copy of the call's interface and documentation becomes the prototype of its
    // name, replacing an earlier one.
    void Install(IFunctionCall* call);
    // The prototype of a name; null for a name never installed.
    com::ptr<CFunctionCall> Find(const std::wstring& name) const;
    // A call with the prototype's interface and values of its own, so that calls served at once
    // never share values; an empty call of that name for a function never installed.
    com::ptr<CFunctionCall> NewCall(const std::wstring& name) const;
    // Every prototype, in name order.
    std::vector<com::ptr<CFunctionCall>> All() const;

private:
    mutable std::mutex m_lock;
    std::map<std::wstring, com::ptr<CFunctionCall>> m_installed;
};

} // namespace tolvane
