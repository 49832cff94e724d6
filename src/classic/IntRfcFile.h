#pragma once
// CIntRfcFile: one file whose content a file-mode table sends as its lines, open for reading
// (others may read it too, but not write it while it is sent).
#include <windows.h>

#include <cstdint>
#include <string>

namespace tolvane {

class CIntRfcFile {
public:
    // Opens `path`; a file that cannot be opened is ERROR_FILE_ACCESS (message 519) with the path.
    explicit CIntRfcFile(std::wstring path);
    ~CIntRfcFile() { CloseHandle(m_handle); }
    CIntRfcFile(const CIntRfcFile&) = delete;
    CIntRfcFile& operator=(const CIntRfcFile&) = delete;

    const std::wstring& Path() const noexcept { return m_path; }
    uint64_t Size() const noexcept { return m_size; }
    void Rewind();
    // Reads up to `count` bytes into `destination`; the number read (fewer only at the end).
    size_t Read(void* destination, size_t count);

private:
    std::wstring m_path;
    HANDLE m_handle;
    uint64_t m_size = 0;
};

} // namespace tolvane
