#include "ClassicApi.h"

#include "SimClient.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace classic {
namespace {

// The stand-in lives where an installed SDK would: in a folder of its own (rfcsdk) beside the
// programs. It is loaded by its full path, so the search path never needs it.
std::wstring libraryPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"rfcsdk\\librfc32u.dll";
}

Api load()
{
    Api api;
    HMODULE library = LoadLibraryW(libraryPath().c_str());
    if (library == nullptr)
        throw std::runtime_error("librfc32u.dll not found in rfcsdk beside the test program");
    api.module = library;
#define CLASSIC_LOAD(name)                                                                                  \
    api.name = reinterpret_cast<decltype(api.name)>(reinterpret_cast<void*>(GetProcAddress(library, #name))); \
    if (api.name == nullptr)                                                                                \
        api.missing.push_back(#name);
    CLASSIC_FUNCTIONS(CLASSIC_LOAD)
#undef CLASSIC_LOAD
    return api;
}

} // namespace

const Api& rfc()
{
    static const Api api = load();
    return api;
}

std::string utf8(const SAP_UC* text, size_t length)
{
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), n, nullptr, nullptr);
    return out;
}

std::string utf8(const SAP_UC* text)
{
    return text == nullptr ? std::string() : utf8(text, std::wcslen(text));
}

std::wstring wide(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

unsigned short gatewayPort()
{
    static const unsigned short port = [] {
        const char* file = std::getenv("SAPSIM_GATEWAY_FILE");
        if (file == nullptr)
            throw std::runtime_error("SAPSIM_GATEWAY_FILE is not set: run the test through ctest");
        std::ifstream in(file);
        std::string text;
        std::getline(in, text);
        return static_cast<unsigned short>(std::stoi(text));
    }();
    return port;
}

std::wstring connectString(const std::wstring& user, const std::wstring& password, const std::wstring& extra)
{
    std::wstring s = L"ASHOST=127.0.0.1 SYSNR=00 GWSERV=" + std::to_wstring(gatewayPort()) + L" CLIENT=001 USER=" + user +
                     L" PASSWD=" + password + L" LANG=EN";
    return extra.empty() ? s : s + L" " + extra;
}

LastError lastError()
{
    RFC_ERROR_INFO_EX info{};
    LastError e;
    e.present = rfc().RfcLastErrorExU(&info) == 0;
    e.group = info.group;
    e.key = utf8(info.key);
    e.message = utf8(info.message);
    return e;
}

Connection::Connection(const std::wstring& connect)
{
    std::wstring text = connect;
    m_handle = rfc().RfcOpenExU(text.data(), &m_error);
}

Connection::~Connection()
{
    if (m_handle != RFC_HANDLE_NULL)
        rfc().RfcCloseU(m_handle);
}

Parameters& Parameters::add(const std::wstring& name, RFC_TYPEHANDLE type, unsigned leng, void* addr)
{
    m_names.push_back(name);
    m_entries.insert(m_entries.end() - 1, {m_names.back().data(), static_cast<unsigned>(name.size()), type, leng, addr});
    return *this;
}

Parameters& Parameters::addRaw(const RFC_PARAMETER& entry)
{
    m_entries.insert(m_entries.end() - 1, entry);
    return *this;
}

Tables& Tables::add(const std::wstring& name, RFC_TYPEHANDLE type, unsigned rowLength, ITAB_H table, RFC_ITMODE mode)
{
    m_names.push_back(name);
    m_entries.insert(m_entries.end() - 1, {m_names.back().data(), static_cast<unsigned>(name.size()), type, rowLength, table, mode, 0});
    return *this;
}

std::wstring field(const std::wstring& text, size_t chars)
{
    std::wstring s = text.substr(0, chars);
    s.resize(chars, L' ');
    return s;
}

std::wstring trimmed(const SAP_UC* chars, size_t count)
{
    std::wstring s(chars, count);
    while (!s.empty() && (s.back() == L' ' || s.back() == 0))
        s.pop_back();
    return s;
}

RFC_RC callReceive(RFC_HANDLE h, const wchar_t* function, Parameters& exporting, Parameters& importing, Tables& tables,
                   std::string* exception)
{
    std::wstring name = function;
    rfc_char_t* raised = nullptr;
    const RFC_RC rc = rfc().RfcCallReceiveExU(h, name.data(), exporting.get(), importing.get(), nullptr, tables.get(), &raised);
    if (exception != nullptr)
        *exception = utf8(raised);
    return rc;
}

int counter(RFC_HANDLE h)
{
    RFC_INT count = 0;
    Parameters none, out;
    Tables tables;
    out.add(L"COUNT", RFCTYPE_INT, 4, &count);
    EXPECT_EQ(RFC_OK, callReceive(h, L"Z_SIM_COUNTER", none, out, tables)) << lastError().message;
    return count;
}

const RFC_UNICODE_TYPE_ELEMENT& Structure::field(const std::string& name) const
{
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return elements[i];
    throw std::runtime_error("no field " + name);
}

Structure installFromPartner(RFC_HANDLE h, const wchar_t* name)
{
    Structure s;
    std::wstring text = name;
    unsigned count = 0;
    RFC_UNICODE_TYPE_ELEMENT* fields = nullptr;
    RFCTYPE kind{};
    unsigned b1 = 0, b4 = 0;
    rfc_char_t* exception = nullptr;
    const RFC_RC rc = rfc().RfcGetStructureInfoFlatU(h, text.data(), 1, nullptr, nullptr, &count, &fields, &kind, &b1, &s.length, &b4,
                                                     nullptr, &s.handle, &exception);
    EXPECT_EQ(RFC_OK, rc) << utf8(exception);
    for (unsigned i = 0; i < count; ++i) {
        s.elements.push_back(fields[i]);
        s.names.push_back(utf8(fields[i].name));
        s.elements.back().name = nullptr;
    }
    rfc().RfcReleaseStructInfoU(nullptr, fields);
    return s;
}

std::vector<uint8_t> initialRow(const Structure& s)
{
    std::vector<uint8_t> row(s.length);
    for (const auto& e : s.elements) {
        const wchar_t fill = e.type == RFCTYPE_CHAR ? L' ' : e.type == RFCTYPE_NUM || e.type == RFCTYPE_DATE || e.type == RFCTYPE_TIME ? L'0' : 0;
        for (unsigned i = 0; fill != 0 && i < e.c2_length / 2; ++i)
            std::memcpy(row.data() + e.c2_offset + 2 * i, &fill, 2);
    }
    return row;
}

nlohmann::json admin(const std::string& endpoint, const nlohmann::json& body)
{
    simtest::SimClient client;
    const auto reply = body.is_null() ? client.request("GET", "/sim/gateway/" + endpoint, "", {}, false)
                                      : client.request("POST", "/sim/gateway/" + endpoint, body.dump(),
                                                       {{"Content-Type", "application/json"}}, false);
    nlohmann::json out = reply.body.empty() ? nlohmann::json::object() : nlohmann::json::parse(reply.body);
    out["httpStatus"] = reply.status;
    return out;
}

} // namespace classic
