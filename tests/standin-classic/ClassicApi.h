// The stand-in librfc32u.dll as the product uses it: loaded with LoadLibrary by its full path
// (bin/rfcsdk beside the test program) and every function looked up by name.
#pragma once

#include "ClassicFunctions.h"
#include "ClassicRfcAbi.h"

#include <deque>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace classic {

struct Api {
#define CLASSIC_DECLARE(name) decltype(&::name) name = nullptr;
    CLASSIC_FUNCTIONS(CLASSIC_DECLARE)
#undef CLASSIC_DECLARE
    std::vector<std::string> missing; // names GetProcAddress did not find
    void* module = nullptr;
};

const Api& rfc();

std::string utf8(const SAP_UC* text);
std::string utf8(const SAP_UC* text, size_t length);
std::wstring wide(const std::string& text);

unsigned short gatewayPort();
// ASHOST, SYSNR and GWSERV of the fixture's sapsim, then the logon, then `extra`.
std::wstring connectString(const std::wstring& user = L"DEMO", const std::wstring& password = L"demo1234",
                           const std::wstring& extra = L"");

// The thread's last error (group, key, message), taken.
struct LastError {
    int group = 0;
    std::string key, message;
    bool present = false;
};
LastError lastError();

// A client connection, closed when it goes.
class Connection {
public:
    explicit Connection(const std::wstring& connect = connectString());
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    RFC_HANDLE handle() const { return m_handle; }
    explicit operator bool() const { return m_handle != RFC_HANDLE_NULL; }
    const RFC_ERROR_INFO_EX& openError() const { return m_error; }

private:
    RFC_HANDLE m_handle;
    RFC_ERROR_INFO_EX m_error{};
};

// A parameter array under construction; entries point at the caller's buffers.
class Parameters {
public:
    Parameters& add(const std::wstring& name, RFC_TYPEHANDLE type, unsigned leng, void* addr);
    // An entry as given, name pointer included.
    Parameters& addRaw(const RFC_PARAMETER& entry);
    RFC_PARAMETER* get() { return m_entries.data(); }

private:
    std::deque<std::wstring> m_names;
    std::vector<RFC_PARAMETER> m_entries{RFC_PARAMETER{}}; // ends with the terminator
};

// A table array; the tables are the caller's (ITAB_H), or null for the library to create.
class Tables {
public:
    Tables& add(const std::wstring& name, RFC_TYPEHANDLE type, unsigned rowLength, ITAB_H table, RFC_ITMODE mode = RFC_ITMODE_BYREFERENCE);
    RFC_TABLE* get() { return m_entries.data(); }
    RFC_TABLE& at(size_t i) { return m_entries[i]; }

private:
    std::deque<std::wstring> m_names;
    std::vector<RFC_TABLE> m_entries{RFC_TABLE{}}; // ends with the terminator
};

// A C field of `chars` characters, blank-padded, as the library's Unicode buffers hold it.
std::wstring field(const std::wstring& text, size_t chars);
std::wstring trimmed(const SAP_UC* chars, size_t count);

// Calls STFC-like modules by raw call-and-receive, for cases not about the arrays themselves.
RFC_RC callReceive(RFC_HANDLE h, const wchar_t* function, Parameters& exporting, Parameters& importing, Tables& tables,
                   std::string* exception = nullptr);

// The connection's Z_SIM_COUNTER (1, 2, ... per user context).
int counter(RFC_HANDLE h);

// A structure installed from the partner's description (RfcGetStructureInfoFlatU), with its
// fields' offsets by name.
struct Structure {
    RFC_TYPEHANDLE handle = 0;
    unsigned length = 0;
    std::vector<RFC_UNICODE_TYPE_ELEMENT> elements;
    std::vector<std::string> names;
    const RFC_UNICODE_TYPE_ELEMENT& field(const std::string& name) const;
};
Structure installFromPartner(RFC_HANDLE h, const wchar_t* name);
// A row of the structure holding its initial values (blank C fields, zero N, D and T fields).
std::vector<uint8_t> initialRow(const Structure& s);

// sapsim's admin endpoints (POST or GET /sim/gateway/<endpoint>), as JSON.
nlohmann::json admin(const std::string& endpoint, const nlohmann::json& body = nullptr);

} // namespace classic
