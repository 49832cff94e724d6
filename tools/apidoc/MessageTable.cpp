#include "MessageTable.h"

#include <windows.h>

#include <memory>
#include <stdexcept>

namespace apidoc {

namespace {

struct ModuleFree {
    void operator()(HMODULE module) const noexcept { FreeLibrary(module); }
};
using ModuleHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree>;

} // namespace

std::vector<Message> MessageTable::Load(const std::wstring& modulePath, unsigned first, unsigned last)
{
    // As a data file: the component's code does not run, only its resources are read.
    ModuleHandle module(
        LoadLibraryExW(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module)
        throw std::runtime_error("the module with the message table cannot be loaded");
    std::vector<Message> messages;
    for (unsigned number = first; number <= last; ++number) {
        const wchar_t* text = nullptr;
        const int length = LoadStringW(module.get(), number, reinterpret_cast<LPWSTR>(&text), 0);
        if (length <= 0 || !text)
            throw std::runtime_error("message " + std::to_string(number) + " has no text");
        messages.push_back({number, std::wstring(text, static_cast<size_t>(length))});
    }
    return messages;
}

} // namespace apidoc
