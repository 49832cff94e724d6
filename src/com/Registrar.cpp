#include "Registrar.h"

#include "Boundary.h"
#include "Bstr.h"
#include "ComPtr.h"
#include "HResultError.h"
#include "Module.h"

#include <oleauto.h>

#include <cwchar>
#include <cwctype>
#include <memory>
#include <vector>

namespace com {
namespace {

struct Token {
    enum Kind { word, text, open, close, equals, end } kind;
    std::wstring value;
};

class Tokenizer {
public:
    explicit Tokenizer(std::wstring_view script) : s_(script) {}

    Token next()
    {
        while (pos_ < s_.size() && std::iswspace(s_[pos_]))
            ++pos_;
        if (pos_ >= s_.size())
            return {Token::end, {}};
        const wchar_t c = s_[pos_];
        if ((c == L'{' || c == L'}') && (pos_ + 1 == s_.size() || std::iswspace(s_[pos_ + 1]))) {
            ++pos_;
            return {c == L'{' ? Token::open : Token::close, {}};
        }
        if (c == L'=') {
            ++pos_;
            return {Token::equals, {}};
        }
        if (c == L'\'')
            return quoted();
        const size_t start = pos_;
        while (pos_ < s_.size() && !std::iswspace(s_[pos_]) && s_[pos_] != L'=')
            ++pos_;
        return {Token::word, std::wstring(s_.substr(start, pos_ - start))};
    }

private:
    Token quoted()
    {
        std::wstring value;
        for (++pos_; pos_ < s_.size(); ++pos_) {
            if (s_[pos_] != L'\'') {
                value += s_[pos_];
            } else if (pos_ + 1 < s_.size() && s_[pos_ + 1] == L'\'') {
                value += L'\'';
                ++pos_;
            } else {
                ++pos_;
                return {Token::text, std::move(value)};
            }
        }
        throw hresult_error(HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
    }

    std::wstring_view s_;
    size_t pos_ = 0;
};

struct Value {
    wchar_t type = 0; // 's' or 'd'; 0 = none
    std::wstring data;
};

struct Key {
    std::wstring name;
    bool no_remove = false, force_remove = false, delete_key = false, is_value = false;
    Value value;
    std::vector<Key> children;
};

class Parser {
public:
    explicit Parser(std::wstring_view script) : tokens_(script) { advance(); }

    // Root blocks: (root name, keys).
    std::vector<std::pair<std::wstring, std::vector<Key>>> roots()
    {
        std::vector<std::pair<std::wstring, std::vector<Key>>> result;
        while (current_.kind != Token::end) {
            std::wstring root = expect_name();
            result.emplace_back(std::move(root), block());
        }
        return result;
    }

private:
    std::vector<Key> block()
    {
        expect(Token::open);
        std::vector<Key> keys;
        while (current_.kind != Token::close)
            keys.push_back(key());
        advance();
        return keys;
    }

    Key key()
    {
        Key k;
        for (;;) {
            if (current_.kind == Token::word && current_.value == L"NoRemove")
                k.no_remove = true;
            else if (current_.kind == Token::word && current_.value == L"ForceRemove")
                k.force_remove = true;
            else if (current_.kind == Token::word && current_.value == L"Delete")
                k.delete_key = true;
            else if (current_.kind == Token::word && current_.value == L"val")
                k.is_value = true;
            else
                break;
            advance();
        }
        k.name = expect_name();
        if (current_.kind == Token::equals) {
            advance();
            std::wstring type = expect_name();
            if (type != L"s" && type != L"d")
                fail();
            k.value.type = type[0];
            k.value.data = expect_name();
        }
        if (current_.kind == Token::open && !k.is_value)
            k.children = block();
        return k;
    }

    std::wstring expect_name()
    {
        if (current_.kind != Token::word && current_.kind != Token::text)
            fail();
        std::wstring name = std::move(current_.value);
        advance();
        return name;
    }
    void expect(Token::Kind kind)
    {
        if (current_.kind != kind)
            fail();
        advance();
    }
    void advance() { current_ = tokens_.next(); }
    [[noreturn]] static void fail() { throw hresult_error(HRESULT_FROM_WIN32(ERROR_INVALID_DATA)); }

    Tokenizer tokens_;
    Token current_{Token::end, {}};
};

void check_win32(LSTATUS status)
{
    if (status != ERROR_SUCCESS)
        throw hresult_error(HRESULT_FROM_WIN32(status));
}

class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    RegKey(RegKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegKey& operator=(RegKey&& other) noexcept
    {
        std::swap(key_, other.key_);
        return *this;
    }
    ~RegKey()
    {
        if (key_)
            RegCloseKey(key_);
    }
    HKEY get() const { return key_; }
    explicit operator bool() const { return key_ != nullptr; }

    static RegKey create(HKEY parent, const std::wstring& name)
    {
        HKEY key = nullptr;
        check_win32(RegCreateKeyExW(parent, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
        return RegKey(key);
    }
    // An empty key when it does not exist.
    static RegKey open(HKEY parent, const std::wstring& name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            return {};
        return RegKey(key);
    }

private:
    HKEY key_ = nullptr;
};

void set_value(HKEY key, const std::wstring& name, const Value& value)
{
    const wchar_t* value_name = name.empty() ? nullptr : name.c_str();
    if (value.type == L'd') {
        DWORD number = std::wcstoul(value.data.c_str(), nullptr, 0);
        check_win32(RegSetValueExW(key, value_name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number));
    } else {
        check_win32(RegSetValueExW(key, value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.data.c_str()),
                                   static_cast<DWORD>((value.data.size() + 1) * sizeof(wchar_t))));
    }
}

void delete_tree(HKEY parent, const std::wstring& name)
{
    LSTATUS status = RegDeleteTreeW(parent, name.c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        RegDeleteKeyW(parent, name.c_str());
}

bool has_subkeys(HKEY key)
{
    DWORD count = 0;
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS &&
           count > 0;
}

void install_keys(HKEY parent, const std::vector<Key>& keys)
{
    for (const Key& k : keys) {
        if (k.is_value) {
            set_value(parent, k.name, k.value);
            continue;
        }
        if (k.delete_key) {
            delete_tree(parent, k.name);
            continue;
        }
        if (k.force_remove)
            delete_tree(parent, k.name);
        RegKey key = RegKey::create(parent, k.name);
        if (k.value.type)
            set_value(key.get(), {}, k.value);
        install_keys(key.get(), k.children);
    }
}

void remove_keys(HKEY parent, const std::vector<Key>& keys)
{
    for (const Key& k : keys) {
        if (k.delete_key)
            continue;
        if (k.is_value) {
            if (!k.no_remove)
                RegDeleteValueW(parent, k.name.c_str());
            continue;
        }
        if (k.force_remove && !k.no_remove) {
            delete_tree(parent, k.name);
            continue;
        }
        RegKey key = RegKey::open(parent, k.name);
        if (!key)
            continue;
        remove_keys(key.get(), k.children);
        const bool empty = !has_subkeys(key.get());
        key = RegKey();
        if (!k.no_remove && empty)
            RegDeleteKeyW(parent, k.name.c_str());
    }
}

bool is_classes_root(const std::wstring& name) { return name == L"HKCR" || name == L"HKEY_CLASSES_ROOT"; }

// On 64-bit Windows each bitness has its own view of the classes' CLSID keys, while ProgIDs and
// AppIDs are shared by both. Whether the other bitness's view still registers one of `classes`
// (the script's CLSID blocks), so that the shared keys must stay for its clients.
bool other_view_registers(const std::vector<Key>& classes, RegistryScope scope)
{
    constexpr REGSAM other_view = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    const HKEY root = scope == RegistryScope::user ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
    const std::wstring prefix = scope == RegistryScope::user ? L"Software\\Classes\\CLSID\\" : L"CLSID\\";
    for (const Key& block : classes)
        for (const Key& class_key : block.children) {
            HKEY key = nullptr;
            const std::wstring server = prefix + class_key.name + L"\\InprocServer32";
            if (!class_key.is_value &&
                RegOpenKeyExW(root, server.c_str(), 0, KEY_READ | other_view, &key) == ERROR_SUCCESS) {
                RegCloseKey(key);
                return true;
            }
        }
    return false;
}

// Removes a root block's keys. Under HKCR the CLSID keys go first (on 32-bit Windows the "other"
// view is this one), and the shared keys only when no other view still needs them.
void remove_root_keys(const std::wstring& root_name, HKEY root, const std::vector<Key>& keys, RegistryScope scope)
{
    if (!is_classes_root(root_name)) {
        remove_keys(root, keys);
        return;
    }
    std::vector<Key> classes, shared;
    for (const Key& k : keys)
        (_wcsicmp(k.name.c_str(), L"CLSID") == 0 ? classes : shared).push_back(k);
    remove_keys(root, classes);
    if (!other_view_registers(classes, scope))
        remove_keys(root, shared);
}

RegKey open_root(const std::wstring& name, RegistryScope scope)
{
    if (is_classes_root(name)) {
        if (scope == RegistryScope::user)
            return RegKey::create(HKEY_CURRENT_USER, L"Software\\Classes");
        return RegKey::create(HKEY_CLASSES_ROOT, L"");
    }
    if (name == L"HKCU" || name == L"HKEY_CURRENT_USER")
        return RegKey::create(HKEY_CURRENT_USER, L"");
    if (name == L"HKLM" || name == L"HKEY_LOCAL_MACHINE")
        return RegKey::create(HKEY_LOCAL_MACHINE, L"");
    throw hresult_error(HRESULT_FROM_WIN32(ERROR_INVALID_DATA));
}

std::wstring utf8_to_wide(std::string_view text)
{
    if (text.empty())
        return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), n);
    return result;
}

using RegisterForUser = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
using UnregisterForUser = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

template <class F>
F oleaut32_function(const char* name)
{
    HMODULE oleaut = GetModuleHandleW(L"oleaut32.dll");
    return oleaut ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(oleaut, name))) : nullptr;
}

} // namespace

HRESULT Registrar::run(std::wstring_view script, bool install, RegistryScope scope) const noexcept
{
    return hresult_of([&]() -> HRESULT {
        std::wstring expanded;
        for (size_t i = 0; i < script.size(); ++i) {
            if (script[i] != L'%') {
                expanded += script[i];
                continue;
            }
            const size_t end = script.find(L'%', i + 1);
            if (end == std::wstring_view::npos)
                return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
            const std::wstring_view name = script.substr(i + 1, end - i - 1);
            if (name.empty()) {
                expanded += L'%';
            } else {
                auto found = replacements_.find(name);
                if (found == replacements_.end())
                    return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
                expanded += found->second;
            }
            i = end;
        }
        for (const auto& [root_name, keys] : Parser(expanded).roots()) {
            RegKey root = open_root(root_name, scope);
            if (install)
                install_keys(root.get(), keys);
            else
                remove_root_keys(root_name, root.get(), keys, scope);
        }
        return S_OK;
    });
}

HRESULT Registrar::run_resource(UINT id, bool install, RegistryScope scope) const noexcept
{
    HINSTANCE module = module_instance();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"REGISTRY");
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data)
        return HRESULT_FROM_WIN32(ERROR_RESOURCE_DATA_NOT_FOUND);
    return hresult_of(
        [&] { return run(utf8_to_wide(std::string_view(data, SizeofResource(module, resource))), install, scope); });
}

HRESULT register_type_library(RegistryScope scope) noexcept
{
    return hresult_of([&]() -> HRESULT {
        std::wstring path = module_path();
        ptr<ITypeLib> library;
        check(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put()));
        if (scope == RegistryScope::user)
            if (auto for_user = oleaut32_function<RegisterForUser>("RegisterTypeLibForUser"))
                return for_user(library.get(), path.data(), nullptr);
        return RegisterTypeLib(library.get(), path.data(), nullptr);
    });
}

HRESULT unregister_type_library(RegistryScope scope) noexcept
{
    return hresult_of([&]() -> HRESULT {
        ptr<ITypeLib> library;
        check(LoadTypeLibEx(module_path().c_str(), REGKIND_NONE, library.put()));
        TLIBATTR* attr = nullptr;
        check(library->GetLibAttr(&attr));
        const TLIBATTR a = *attr;
        library->ReleaseTLibAttr(attr);
        // Removing a library that is not registered (twice, or after an installer removed it)
        // is no failure.
        bstr registered;
        if (FAILED(QueryPathOfRegTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, registered.put())))
            return S_OK;
        if (scope == RegistryScope::user)
            if (auto for_user = oleaut32_function<UnregisterForUser>("UnRegisterTypeLibForUser"))
                return for_user(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind);
        return UnRegisterTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind);
    });
}

} // namespace com
