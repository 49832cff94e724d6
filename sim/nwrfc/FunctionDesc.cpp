#include "FunctionDesc.h"

namespace nwrfc {

std::shared_ptr<FunctionDesc> functionFromHandle(RFC_FUNCTION_DESC_HANDLE handle)
{
    return resolve<FunctionDesc>(handle, HandleKind::FunctionDesc, "function description").shared();
}

void FunctionDesc::addParameter(const RFC_PARAMETER_DESC& parameter)
{
    if (m_frozen || m_cached)
        illegalState("function " + toUtf8(m_name) + " is in use and cannot change");
    if (parameter.name[0] == 0)
        invalidParameter("a parameter needs a name");
    RFC_PARAMETER_DESC copy = parameter;
    copy.name[30] = 0;
    copy.defaultValue[30] = 0;
    copy.parameterText[79] = 0;
    if (indexOf(view(copy.name)) >= 0)
        invalidParameter("function " + toUtf8(m_name) + " has a parameter " + toUtf8(view(copy.name)) + " already");
    if (copy.direction != RFC_IMPORT && copy.direction != RFC_EXPORT && copy.direction != RFC_CHANGING && copy.direction != RFC_TABLES)
        invalidParameter("parameter " + toUtf8(view(copy.name)) + " has no valid direction");
    if (copy.direction == RFC_TABLES && copy.type != RFCTYPE_TABLE)
        invalidParameter("table parameter " + toUtf8(view(copy.name)) + " must have type RFCTYPE_TABLE");
    if (copy.type == RFCTYPE_STRUCTURE || copy.type == RFCTYPE_TABLE) {
        if (copy.typeDescHandle == nullptr)
            invalidParameter("parameter " + toUtf8(view(copy.name)) + " needs a type description");
        m_types.push_back(typeFromHandle(copy.typeDescHandle));
    }
    m_parameters.push_back(copy);
}

void FunctionDesc::addException(const RFC_EXCEPTION_DESC& exception)
{
    if (m_frozen || m_cached)
        illegalState("function " + toUtf8(m_name) + " is in use and cannot change");
    m_exceptions.push_back(exception);
    m_exceptions.back().key[127] = 0;
    m_exceptions.back().message[511] = 0;
}

int FunctionDesc::indexOf(Uview parameterName) const
{
    for (size_t i = 0; i < m_parameters.size(); ++i)
        if (view(m_parameters[i].name) == parameterName)
            return static_cast<int>(i);
    return -1;
}

const RFC_PARAMETER_DESC& FunctionDesc::parameter(Uview parameterName) const
{
    const int i = indexOf(parameterName);
    if (i < 0)
        notFound("RFC_INVALID_PARAMETER", "function " + toUtf8(m_name) + " has no parameter " + toUtf8(parameterName));
    return m_parameters[static_cast<size_t>(i)];
}

void FunctionDesc::freeze()
{
    for (const auto& t : m_types)
        t->freeze();
    m_frozen = true;
}

} // namespace nwrfc
