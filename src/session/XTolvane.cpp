#include "XTolvane.h"

#include "Messages.h"
#include "Trace.h"

#include <boost/format.hpp>

namespace tolvane {
namespace {

struct KindInfo {
    const wchar_t* name;
    unsigned message;
};

constexpr KindInfo kKinds[] = {
    {L"MEMORY_ALLOC_EXCEPTION", msg::MemoryAllocation},
    {L"XSTRING_ARRAYDIMS_EXCEPTION", msg::XStringArrayType},
    {L"VARIANTARRAY_EXCEPTION", msg::VariantArray},
    {L"STRING_CONVERSION", msg::StringConversion},
    {L"NUMERIC_CONVERSION", msg::NotNumeric},
    {L"DATE_TIME_CONVERSION", msg::InvalidDateTime},
    {L"BCD_CONVERSION_TOO_LARGE", msg::BcdInvalid},
    {L"BCD_CONVERSION_INVALID", msg::BcdInvalid},
    {L"ERROR_INSTALL_STRUCT", msg::InstallStruct},
    {L"ERROR_COMPLEX_TYPE", msg::ComplexTypesUnsupported},
    {L"ERROR_FILE_ACCESS", msg::UnexpectedError},
    {L"OTHER", msg::UnexpectedError},
};

std::string Narrow(const std::wstring& text)
{
    std::string result;
    result.reserve(text.size());
    for (wchar_t c : text)
        result += c < 0x80 ? static_cast<char>(c) : '?';
    return result;
}

} // namespace

void BaseException::SetMessage(std::wstring message)
{
    m_message = std::move(message);
    m_narrow = Narrow(m_message);
    try {
        // The line is closed here so that the next header line does not run on after it.
        std::wstring line = (boost::wformat(L"Exception thrown: %1%") % m_message).str();
        if (line.back() != L'\n')
            line += L'\n';
        ostrel::TraceLog(ostrel::TRACE_ERROR, line, {}, {}, 0);
    } catch (...) {
    }
}

const wchar_t* CXTolvane::NameOfKind(uint32_t kind) noexcept
{
    return kind < std::size(kKinds) ? kKinds[kind].name : L"UNKNOWN";
}

unsigned CXTolvane::MessageOfKind(uint32_t kind) noexcept
{
    return kind < std::size(kKinds) ? kKinds[kind].message : msg::UnexpectedError;
}

CXTolvane::CXTolvane(uint32_t kind, std::wstring_view description, std::wstring_view context,
                     std::wstring_view value)
    : m_kind(kind), m_description(description), m_context(context), m_value(value), m_kindName(NameOfKind(kind))
{
    SetMessage((boost::wformat(L"%1%(%2%) : %3%(%4%, value = '%5%')") % m_kindName % m_kind % m_description %
                m_context % m_value)
                   .str());
}

HRESULT CXTolvane::report(const com::ErrorSource& source) const noexcept
{
    ostrel::TraceFormat(L"caught CXTolvane(), terminating\n\t%s\n", Message().c_str());
    return RaiseMessage(MessageNumber(), source);
}

_SEHException::_SEHException(uint32_t code) : m_code(code)
{
    SetMessage((boost::wformat(L"SEH Exception %1$#8x\n") % m_code).str());
}

} // namespace tolvane
