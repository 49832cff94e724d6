#include "StandIn.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

namespace standin {
namespace {

// The stand-in lives where an installed SDK would: in a folder of its own (nwrfcsdk) beside
// the programs, so that the product's tests can run without it on their search path.
std::wstring StandInPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"nwrfcsdk\\sapnwrfc.dll";
}

Api load()
{
    Api api;
    HMODULE library = LoadLibraryW(StandInPath().c_str());
    if (library == nullptr)
        throw std::runtime_error("sapnwrfc.dll not found in nwrfcsdk beside the test program");
#define STANDIN_LOAD(name)                                                                                  \
    api.name = reinterpret_cast<decltype(api.name)>(reinterpret_cast<void*>(GetProcAddress(library, #name))); \
    if (api.name == nullptr)                                                                                \
        api.missing.push_back(#name);
    STANDIN_FUNCTIONS(STANDIN_LOAD)
#undef STANDIN_LOAD
    return api;
}

unsigned short portFrom(const char* variable)
{
    const char* file = std::getenv(variable);
    if (file == nullptr)
        throw std::runtime_error(std::string(variable) + " is not set: run the test through ctest");
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    return static_cast<unsigned short>(std::stoi(text.substr(text.find_last_of(':') + 1)));
}

} // namespace

const Api& nw()
{
    static const Api api = load();
    return api;
}

std::string utf8(const SAP_UC* text)
{
    if (text == nullptr)
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    return out;
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
    static const unsigned short port = portFrom("SAPSIM_GATEWAY_FILE");
    return port;
}

unsigned short httpPort()
{
    static const unsigned short port = portFrom("SAPSIM_URL_FILE");
    return port;
}

Parameters logon(const std::wstring& user, const std::wstring& password, const std::wstring& client)
{
    return {{L"ashost", L"127.0.0.1"}, {L"sysnr", L"00"}, {L"gwserv", std::to_wstring(gatewayPort())}, {L"client", client},
            {L"user", user}, {L"passwd", password}, {L"lang", L"EN"}};
}

RFC_CONNECTION_HANDLE open(const Parameters& parameters, Error& error)
{
    std::vector<RFC_CONNECTION_PARAMETER> list;
    for (const auto& [name, value] : parameters)
        list.push_back({name.c_str(), value.c_str()});
    return nw().RfcOpenConnection(list.data(), static_cast<unsigned>(list.size()), &error);
}

Connection::Connection(const Parameters& parameters) : m_handle(open(parameters, m_error))
{
}

Connection::~Connection()
{
    if (m_handle != nullptr) {
        Error e;
        nw().RfcCloseConnection(m_handle, &e);
    }
}

Function::Function(RFC_CONNECTION_HANDLE connection, const wchar_t* name)
{
    Error e;
    RFC_FUNCTION_DESC_HANDLE desc = nw().RfcGetFunctionDesc(connection, name, &e);
    EXPECT_NE(nullptr, desc) << e.text();
    if (desc != nullptr)
        m_handle = nw().RfcCreateFunction(desc, &e);
}

Function::Function(RFC_FUNCTION_DESC_HANDLE description)
{
    Error e;
    m_handle = nw().RfcCreateFunction(description, &e);
    EXPECT_NE(nullptr, m_handle) << e.text();
}

Function::~Function()
{
    if (m_handle != nullptr) {
        Error e;
        nw().RfcDestroyFunction(m_handle, &e);
    }
}

RFC_RC Function::invoke(RFC_CONNECTION_HANDLE connection, Error& error) const
{
    return nw().RfcInvoke(connection, m_handle, &error);
}

RFC_STRUCTURE_HANDLE Function::structure(const wchar_t* name) const
{
    Error e;
    RFC_STRUCTURE_HANDLE s = nullptr;
    EXPECT_EQ(RFC_OK, nw().RfcGetStructure(m_handle, name, &s, &e)) << e.text();
    return s;
}

RFC_TABLE_HANDLE Function::table(const wchar_t* name) const
{
    Error e;
    RFC_TABLE_HANDLE t = nullptr;
    EXPECT_EQ(RFC_OK, nw().RfcGetTable(m_handle, name, &t, &e)) << e.text();
    return t;
}

std::wstring chars(DATA_CONTAINER_HANDLE container, const wchar_t* name, unsigned length)
{
    std::wstring buffer(length, L'?');
    Error e;
    EXPECT_EQ(RFC_OK, nw().RfcGetChars(container, name, buffer.data(), length, &e)) << utf8(name) << ": " << e.text();
    return buffer;
}

std::wstring string(DATA_CONTAINER_HANDLE container, const wchar_t* name)
{
    Error e;
    unsigned length = 0;
    std::wstring buffer(1, L'\0');
    if (nw().RfcGetString(container, name, buffer.data(), 1, &length, &e) == RFC_BUFFER_TOO_SMALL) {
        buffer.assign(length + 1, L'\0');
        EXPECT_EQ(RFC_OK, nw().RfcGetString(container, name, buffer.data(), length + 1, &length, &e)) << e.text();
    }
    buffer.resize(length);
    return buffer;
}

int integer(DATA_CONTAINER_HANDLE container, const wchar_t* name)
{
    Error e;
    RFC_INT value = -1;
    EXPECT_EQ(RFC_OK, nw().RfcGetInt(container, name, &value, &e)) << utf8(name) << ": " << e.text();
    return value;
}

void setChars(DATA_CONTAINER_HANDLE container, const wchar_t* name, const std::wstring& value)
{
    Error e;
    EXPECT_EQ(RFC_OK, nw().RfcSetChars(container, name, value.c_str(), static_cast<unsigned>(value.size()), &e))
        << utf8(name) << ": " << e.text();
}

unsigned rowCount(RFC_TABLE_HANDLE table)
{
    Error e;
    unsigned n = 0;
    EXPECT_EQ(RFC_OK, nw().RfcGetRowCount(table, &n, &e)) << e.text();
    return n;
}

} // namespace standin
