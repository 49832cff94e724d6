#pragma once

#include "TypeDesc.h"

#include <memory>
#include <vector>

namespace nwrfc {

// A function module's interface, read from the system (then cached and owned by the library)
// or built by the caller. Frozen once a function container uses it.
class FunctionDesc : public Handled, public std::enable_shared_from_this<FunctionDesc> {
public:
    explicit FunctionDesc(Ustring name) : Handled(HandleKind::FunctionDesc), m_name(std::move(name)) {}

    const Ustring& name() const { return m_name; }
    const std::vector<RFC_PARAMETER_DESC>& parameters() const { return m_parameters; }
    const std::vector<RFC_EXCEPTION_DESC>& exceptions() const { return m_exceptions; }
    bool cached() const { return m_cached; }

    void addParameter(const RFC_PARAMETER_DESC& parameter);
    void addException(const RFC_EXCEPTION_DESC& exception);
    int indexOf(Uview parameterName) const;
    const RFC_PARAMETER_DESC& parameter(Uview parameterName) const; // RFC_NOT_FOUND when missing
    void freeze();
    void markCached() { m_cached = true; }
    std::shared_ptr<FunctionDesc> shared() { return shared_from_this(); }

private:
    Ustring m_name;
    std::vector<RFC_PARAMETER_DESC> m_parameters;
    std::vector<RFC_EXCEPTION_DESC> m_exceptions;
    std::vector<std::shared_ptr<TypeDesc>> m_types;
    bool m_frozen = false;
    bool m_cached = false;
};

std::shared_ptr<FunctionDesc> functionFromHandle(RFC_FUNCTION_DESC_HANDLE handle);

} // namespace nwrfc
