// The stand-in sapnwrfc.dll as the product will use it: loaded with LoadLibrary and every
// function looked up by name with GetProcAddress.
#pragma once

#include "NwRfcAbi.h"
#include "StandInFunctions.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace standin {

struct Api {
#define STANDIN_DECLARE(name) decltype(&::name) name = nullptr;
    STANDIN_FUNCTIONS(STANDIN_DECLARE)
#undef STANDIN_DECLARE
    std::vector<std::string> missing; // names GetProcAddress did not find
};

// The library next to the test program, loaded once.
const Api& nw();

std::string utf8(const SAP_UC* text);
std::wstring wide(const std::string& text);

// An RFC_ERROR_INFO with readable fields.
struct Error : RFC_ERROR_INFO {
    Error() : RFC_ERROR_INFO{} {}
    std::string key() const { return utf8(RFC_ERROR_INFO::key); }
    std::string text() const { return utf8(message); }
    std::string rc() const { return utf8(nw().RfcGetRcAsString(code)); }
};

using Parameters = std::vector<std::pair<std::wstring, std::wstring>>;

// The gateway and HTTP ports of the sapsim started by the test fixture.
unsigned short gatewayPort();
unsigned short httpPort();

// ashost, sysnr, gwserv (the fixture's gateway port), client, user, passwd, lang.
Parameters logon(const std::wstring& user = L"DEMO", const std::wstring& password = L"demo1234", const std::wstring& client = L"001");

// A client connection, closed when it goes.
class Connection {
public:
    explicit Connection(const Parameters& parameters);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    RFC_CONNECTION_HANDLE handle() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    const Error& openError() const { return m_error; }

private:
    RFC_CONNECTION_HANDLE m_handle = nullptr;
    Error m_error;
};

RFC_CONNECTION_HANDLE open(const Parameters& parameters, Error& error);

// A function container for a module of the connected system, destroyed when it goes.
class Function {
public:
    Function(RFC_CONNECTION_HANDLE connection, const wchar_t* name);
    explicit Function(RFC_FUNCTION_DESC_HANDLE description);
    ~Function();
    Function(const Function&) = delete;
    Function& operator=(const Function&) = delete;

    RFC_FUNCTION_HANDLE handle() const { return m_handle; }
    RFC_RC invoke(RFC_CONNECTION_HANDLE connection, Error& error) const;
    RFC_STRUCTURE_HANDLE structure(const wchar_t* name) const;
    RFC_TABLE_HANDLE table(const wchar_t* name) const;

private:
    RFC_FUNCTION_HANDLE m_handle = nullptr;
};

// Field access that fails the test on an error, for the cases that are not about errors.
std::wstring chars(DATA_CONTAINER_HANDLE container, const wchar_t* name, unsigned length);
std::wstring string(DATA_CONTAINER_HANDLE container, const wchar_t* name);
int integer(DATA_CONTAINER_HANDLE container, const wchar_t* name);
void setChars(DATA_CONTAINER_HANDLE container, const wchar_t* name, const std::wstring& value);
unsigned rowCount(RFC_TABLE_HANDLE table);

} // namespace standin
