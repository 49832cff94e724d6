#pragma once
// The component's own exceptions. They never cross the COM boundary: the boundary turns a
// CXTolvane into the message its kind maps to (for instance NUMERIC_CONVERSION into 531).
#include "com/Boundary.h"

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace tolvane {

class BaseException : public std::exception {
public:
    const std::wstring& Message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_narrow.c_str(); }

protected:
    BaseException() = default;
    // Also writes "Exception thrown: <message>" to the trace at level ERROR.
    void SetMessage(std::wstring message);

private:
    std::wstring m_message;
    std::string m_narrow;
};

// Error kinds of CXTolvane.
enum XKind : uint32_t {
    MEMORY_ALLOC_EXCEPTION = 0,
    XSTRING_ARRAYDIMS_EXCEPTION = 1,
    VARIANTARRAY_EXCEPTION = 2,
    STRING_CONVERSION = 3,
    NUMERIC_CONVERSION = 4,
    DATE_TIME_CONVERSION = 5,
    BCD_CONVERSION_TOO_LARGE = 6,
    BCD_CONVERSION_INVALID = 7,
    ERROR_INSTALL_STRUCT = 8,
    ERROR_COMPLEX_TYPE = 9,
    ERROR_FILE_ACCESS = 10,
    OTHER = 11,
};

// A conversion or marshalling failure: kind, description, context (where it happened) and the
// offending value. Its message reads, for example,
// NUMERIC_CONVERSION(4) : too large for field(RfcVariantToData(),TYPE_INT, value = '1234567').
class CXTolvane : public BaseException, public com::reportable_error {
public:
    CXTolvane(uint32_t kind, std::wstring_view description = {}, std::wstring_view context = {},
              std::wstring_view value = {});

    uint32_t Kind() const noexcept { return m_kind; }
    const std::wstring& Description() const noexcept { return m_description; }
    const std::wstring& Context() const noexcept { return m_context; }
    const std::wstring& Value() const noexcept { return m_value; }
    const std::wstring& KindName() const noexcept { return m_kindName; }

    // The message of the table that this kind surfaces as.
    unsigned MessageNumber() const noexcept { return MessageOfKind(m_kind); }

    static const wchar_t* NameOfKind(uint32_t kind) noexcept;
    static unsigned MessageOfKind(uint32_t kind) noexcept;

    // Traces "caught CXTolvane(), terminating" with the message and raises the mapped message.
    HRESULT report(const com::ErrorSource& source) const noexcept override;

private:
    uint32_t m_kind;
    std::wstring m_description;
    std::wstring m_context;
    std::wstring m_value;
    std::wstring m_kindName;
};

// An operating-system exception raised inside one of SAP's libraries.
class _SEHException : public BaseException {
public:
    explicit _SEHException(uint32_t code);
    uint32_t Code() const noexcept { return m_code; }

private:
    uint32_t m_code;
};

} // namespace tolvane
