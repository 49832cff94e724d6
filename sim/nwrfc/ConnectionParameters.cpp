#include "ConnectionParameters.h"

#include "ApiFailure.h"
#include "IniFile.h"

namespace nwrfc {

ConnectionParameters ConnectionParameters::from(const RFC_CONNECTION_PARAMETER* parameters, unsigned count)
{
    if (count > 0)
        require(parameters, "connectionParams");
    ConnectionParameters p;
    simwire::ParameterList given;
    for (unsigned i = 0; i < count; ++i) {
        if (parameters[i].name == nullptr)
            invalidParameter("connection parameter " + std::to_string(i) + " has no name");
        const std::string name = toUtf8(view(parameters[i].name));
        const std::string value = toUtf8(view(parameters[i].value));
        p.m_received.emplace_back(name, value);
        given.emplace_back(lower(name), value);
    }
    for (const auto& [name, value] : given)
        if (name == "dest" && !value.empty())
            p.m_effective = IniFile::instance().destination(value);
    p.m_effective.insert(p.m_effective.end(), given.begin(), given.end());
    return p;
}

std::string ConnectionParameters::get(const std::string& name) const
{
    for (auto it = m_effective.rbegin(); it != m_effective.rend(); ++it)
        if (it->first == name)
            return it->second;
    return {};
}

bool ConnectionParameters::has(const std::string& name) const
{
    for (const auto& [n, v] : m_effective)
        if (n == name)
            return true;
    return false;
}

bool ConnectionParameters::secret(const std::string& lowerName)
{
    return lowerName == "passwd" || lowerName == "password" || lowerName == "mysapsso2" || lowerName == "x509cert" ||
           lowerName == "extiddata";
}

std::string ConnectionParameters::traceText() const
{
    std::string out;
    for (const auto& [name, value] : m_effective)
        out += name + "=" + (secret(name) ? std::string("********") : value) + " ";
    return out;
}

} // namespace nwrfc
