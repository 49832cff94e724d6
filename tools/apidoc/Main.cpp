// apidoc: writes the API reference (Markdown) from the compiled type libraries and the
// component's message table.
//   apidoc --out <api.md> --intro <intro.md> --messages <dll> <first> <last> <module or .tlb>...
#include "ApiMarkdown.h"
#include "MessageTable.h"
#include "TypeLibraryReader.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {

struct Arguments {
    std::wstring out;
    std::wstring intro;
    std::wstring messageModule;
    unsigned firstMessage = 0;
    unsigned lastMessage = 0;
    std::vector<std::wstring> libraries;
};

Arguments Parse(int argc, wchar_t** argv)
{
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view arg = argv[i];
        const int left = argc - i - 1;
        if (arg == L"--out" && left >= 1)
            args.out = argv[++i];
        else if (arg == L"--intro" && left >= 1)
            args.intro = argv[++i];
        else if (arg == L"--messages" && left >= 3) {
            args.messageModule = argv[++i];
            args.firstMessage = static_cast<unsigned>(std::stoul(argv[++i]));
            args.lastMessage = static_cast<unsigned>(std::stoul(argv[++i]));
        } else if (arg.starts_with(L"--"))
            throw std::runtime_error("unknown or incomplete option");
        else
            args.libraries.emplace_back(arg);
    }
    if (args.out.empty() || args.libraries.empty())
        throw std::runtime_error("usage: apidoc --out <file> [--intro <file>] [--messages <dll> <first> <last>] "
                                 "<type library>...");
    return args;
}

std::wstring Widen(const std::string& utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const std::wstring& wide)
{
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr, nullptr);
    return utf8;
}

std::wstring ReadText(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in)
        throw std::runtime_error("the introduction cannot be read");
    return Widen(std::string(std::istreambuf_iterator<char>(in), {}));
}

void WriteText(const std::wstring& path, const std::wstring& text)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    const std::string utf8 = Narrow(text);
    if (!out.write(utf8.data(), static_cast<std::streamsize>(utf8.size())))
        throw std::runtime_error("the reference cannot be written");
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    try {
        const Arguments args = Parse(argc, argv);
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
            throw std::runtime_error("COM cannot be initialised");
        std::vector<apidoc::Library> libraries;
        for (const std::wstring& path : args.libraries)
            libraries.push_back(apidoc::TypeLibraryReader::Read(path));
        std::vector<apidoc::Message> messages;
        if (!args.messageModule.empty())
            messages = apidoc::MessageTable::Load(args.messageModule, args.firstMessage, args.lastMessage);
        const std::wstring intro = args.intro.empty() ? L"" : ReadText(args.intro);
        WriteText(args.out, apidoc::ApiMarkdown(intro, std::move(libraries), std::move(messages)).Write());
        CoUninitialize();
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "apidoc: %s\n", e.what());
        return 1;
    }
}
