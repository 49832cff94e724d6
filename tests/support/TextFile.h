#pragma once
// Files that tests write and read back: a path in the temporary folder, and a UTF-8 text file
// (such as the trace log) as wide text with CR LF line ends read as LF.
#include <windows.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

namespace test {

inline std::wstring TempFilePath(const wchar_t* name)
{
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    return std::wstring(directory) + name;
}

inline std::wstring ReadUtf8Text(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    const std::string bytes = contents.str();
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                        text.data(), static_cast<int>(text.size()))));
    std::erase(text, L'\r');
    return text;
}

} // namespace test
