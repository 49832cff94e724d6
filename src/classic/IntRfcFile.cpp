#include "IntRfcFile.h"

#include "session/XTolvane.h"

#include <algorithm>

namespace tolvane {
namespace {

[[noreturn]] void Unreadable(const std::wstring& path) { throw CXTolvane(ERROR_FILE_ACCESS, path, L"CIntRfcFile()"); }

} // namespace

CIntRfcFile::CIntRfcFile(std::wstring path)
    : m_path(std::move(path)),
      m_handle(CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr))
{
    if (m_handle == INVALID_HANDLE_VALUE)
        Unreadable(m_path);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_handle, &size)) {
        CloseHandle(m_handle);
        Unreadable(m_path);
    }
    m_size = static_cast<uint64_t>(size.QuadPart);
}

void CIntRfcFile::Rewind()
{
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(m_handle, start, nullptr, FILE_BEGIN))
        Unreadable(m_path);
}

size_t CIntRfcFile::Read(void* destination, size_t count)
{
    size_t total = 0;
    while (total < count) {
        DWORD read = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - total, 1u << 30));
        if (!ReadFile(m_handle, static_cast<uint8_t*>(destination) + total, chunk, &read, nullptr))
            Unreadable(m_path);
        if (read == 0)
            break;
        total += read;
    }
    return total;
}

} // namespace tolvane
