#include "PropertyStream.h"

#include "HResultError.h"

namespace com {
namespace {

constexpr DWORD kFormatVersion = 1;
constexpr DWORD kMaxProperties = 64;
constexpr WORD kMaxNameLength = 64;

void write_bytes(IStream* stream, const void* data, ULONG size)
{
    ULONG written = 0;
    check(stream->Write(data, size, &written));
    if (written != size)
        throw hresult_error(STG_E_WRITEFAULT);
}

void read_bytes(IStream* stream, void* data, ULONG size)
{
    ULONG read = 0;
    check(stream->Read(data, size, &read));
    if (read != size)
        throw hresult_error(STG_E_READFAULT);
}

template <class T>
void write_value(IStream* stream, const T& value)
{
    write_bytes(stream, &value, sizeof value);
}

template <class T>
T read_value(IStream* stream)
{
    T value{};
    read_bytes(stream, &value, sizeof value);
    return value;
}

} // namespace

void write_properties(IStream* stream, const std::vector<NamedValue>& properties)
{
    write_value(stream, kFormatVersion);
    write_value(stream, static_cast<DWORD>(properties.size()));
    for (const NamedValue& property : properties) {
        write_value(stream, static_cast<WORD>(property.name.size()));
        write_bytes(stream, property.name.data(), static_cast<ULONG>(property.name.size() * sizeof(wchar_t)));
        write_value(stream, property.value);
    }
}

std::vector<NamedValue> read_properties(IStream* stream)
{
    if (read_value<DWORD>(stream) != kFormatVersion)
        throw hresult_error(STG_E_INVALIDHEADER);
    const DWORD count = read_value<DWORD>(stream);
    if (count > kMaxProperties)
        throw hresult_error(STG_E_INVALIDHEADER);
    std::vector<NamedValue> properties(count);
    for (NamedValue& property : properties) {
        const WORD length = read_value<WORD>(stream);
        if (length > kMaxNameLength)
            throw hresult_error(STG_E_INVALIDHEADER);
        property.name.resize(length);
        read_bytes(stream, property.name.data(), length * sizeof(wchar_t));
        property.value = read_value<LONG>(stream);
    }
    return properties;
}

ULONG properties_size(const std::vector<NamedValue>& properties) noexcept
{
    ULONG size = 2 * sizeof(DWORD);
    for (const NamedValue& property : properties)
        size += sizeof(WORD) + static_cast<ULONG>(property.name.size() * sizeof(wchar_t)) + sizeof(LONG);
    return size;
}

} // namespace com
