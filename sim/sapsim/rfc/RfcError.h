#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace sapsim {

// An exception a function module raises by name; it reaches the client as a SOAP fault whose
// detail names the module and the exception.
class AbapException : public std::runtime_error {
public:
    AbapException(std::string name, const std::string& text)
        : std::runtime_error(text), m_name(std::move(name))
    {
    }
    const std::string& name() const { return m_name; }

private:
    std::string m_name;
};

// An ABAP message of type E or A that ends the module: the RFC caller sees it as a failure with
// the message's class, number and variables, and the connection ends.
class AbapMessage : public std::runtime_error {
public:
    struct Id {
        std::string type = "E";
        std::string messageClass;
        std::string number;
    };

    AbapMessage(Id id, std::vector<std::string> variables, const std::string& text)
        : std::runtime_error(text), m_id(std::move(id)), m_variables(std::move(variables))
    {
        m_variables.resize(4);
    }
    const Id& id() const { return m_id; }
    const std::vector<std::string>& variables() const { return m_variables; }

private:
    Id m_id;
    std::vector<std::string> m_variables;
};

// A failure of the RFC layer rather than of the module: the client sees a fault whose detail
// holds an Error with one of the types below and a message.
class SystemFailure : public std::runtime_error {
public:
    static constexpr const char* functionNotFound = "FUNCTION_NOT_FOUND";
    static constexpr const char* parameterUnknown = "PARAMETER_UNKNOWN";
    static constexpr const char* conversionError = "CONVERSION_ERROR";
    static constexpr const char* requestInvalid = "REQUEST_INVALID";
    static constexpr const char* passwordExpired = "PASSWORD_EXPIRED";
    static constexpr const char* systemFailure = "SYSTEM_FAILURE";
    static constexpr const char* abapMessage = "ABAP_MESSAGE";

    SystemFailure(std::string type, const std::string& message)
        : std::runtime_error(message), m_type(std::move(type))
    {
    }
    const std::string& type() const { return m_type; }
    // The client's mistake (a bad request) rather than the server's.
    bool clientFault() const { return m_type != systemFailure && m_type != abapMessage; }

private:
    std::string m_type;
};

} // namespace sapsim
