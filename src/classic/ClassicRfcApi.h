#pragma once
// The C interface of SAP's classic RFC library, Unicode build (librfc32u.dll), as this component
// uses it: types, numbers, record layouts and the signatures of the entry points the binding
// (ClassicRfcLibrary.h) looks up. Declared here from the library's published facts; the sizes
// and offsets of both bitnesses are checked at compile time.
#include "session/SapApi.h"

#include <windows.h>

#include <cstddef>

namespace classic {

using tolvane::SapByBitness;

using SAP_UC = wchar_t;
using rfc_char_t = SAP_UC;
using RFC_CHAR = SAP_UC;
using RFC_BYTE = unsigned char;
using RFC_INT = int;
using RFC_STRING = unsigned char*; // zero-terminated UTF-8, also in the Unicode build

// Connections are 32-bit numbers on every platform; 0 is none.
using RFC_HANDLE = unsigned;
// A scalar RFCTYPE or the handle of an installed structure.
using RFC_TYPEHANDLE = unsigned;
using ITAB_H = void*;
using RFC_TYPE_HEAD = void*;

constexpr unsigned RFC_TID_LN = 24;
using RFC_TID = rfc_char_t[RFC_TID_LN + 1];
using RFC_FUNCTIONNAME = rfc_char_t[31];
using RFC_STRUCT_TYPE_ID = RFC_BYTE[16];
// What RfcGetTicket writes: the library takes no length, callers give this much room.
constexpr unsigned kTicketCapacity = 8192;

enum RFC_RC : int {
    RFC_OK = 0,
    RFC_FAILURE = 1,
    RFC_EXCEPTION = 2,
    RFC_SYS_EXCEPTION = 3,
    RFC_CALL = 4,
    RFC_INTERNAL_COM = 5,
    RFC_CLOSED = 6,
    RFC_RETRY = 7,
    RFC_NO_TID = 8,
    RFC_EXECUTED = 9,
    RFC_SYNCHRONIZE = 10,
    RFC_MEMORY_INSUFFICIENT = 11,
    RFC_VERSION_MISMATCH = 12,
    RFC_NOT_FOUND = 13,
    RFC_CALL_NOT_SUPPORTED = 14,
    RFC_NOT_OWNER = 15,
    RFC_NOT_INITIALIZED = 16,
    RFC_SYSTEM_CALLED = 17,
    RFC_INVALID_HANDLE = 18,
    RFC_INVALID_PARAMETER = 19,
    RFC_CANCELED = 20,
    RFC_CONVERSION = 21,
    RFC_INVALID_PROTOCOL = 22,
    RFC_TIMEOUT = 23,
};

enum RFC_ERROR_GROUP : int {
    RFC_ERROR_PROGRAM = 101,
    RFC_ERROR_COMMUNICATION = 102,
    RFC_ERROR_LOGON_FAILURE = 103,
    RFC_ERROR_SYSTEM_FAILURE = 104,
    RFC_ERROR_APPLICATION_EXCEPTION = 105,
    RFC_ERROR_RESOURCE = 106,
    RFC_ERROR_PROTOCOL = 107,
    RFC_ERROR_INTERNAL = 108,
    RFC_ERROR_CANCELLED = 109,
    RFC_ERROR_BUSY = 110,
};

enum RFCTYPE : int {
    RFCTYPE_CHAR = 0,
    RFCTYPE_DATE = 1,
    RFCTYPE_BCD = 2,
    RFCTYPE_TIME = 3,
    RFCTYPE_BYTE = 4,
    RFCTYPE_ITAB = 5,
    RFCTYPE_NUM = 6,
    RFCTYPE_FLOAT = 7,
    RFCTYPE_INT = 8,
    RFCTYPE_INT2 = 9,
    RFCTYPE_INT1 = 10,
    RFCTYPE_STRUCTURE = 17,
    RFCTYPE_STRING = 29,
    RFCTYPE_XSTRING = 30,
};

enum RFC_ITMODE : int { RFC_ITMODE_BYREFERENCE = 0, RFC_ITMODE_BYVALUE = 1, RFC_ITMODE_KEEPALIVE = 2 };
enum RFC_CANCEL_TYPE : int { RFC_CANCEL_HARD = 0, RFC_CANCEL_SOFT = 1, RFC_CANCEL_CLOSE = 2 };

struct RFC_ERROR_INFO_EX {
    RFC_ERROR_GROUP group;
    RFC_CHAR key[33];
    RFC_CHAR message[513];
};

struct RFC_PARAMETER {
    RFC_CHAR* name;
    unsigned nlen; // characters
    RFC_TYPEHANDLE type;
    unsigned leng; // bytes
    void* addr;
};

struct RFC_TABLE {
    RFC_CHAR* name;
    unsigned nlen;
    RFC_TYPEHANDLE type;
    unsigned leng; // bytes of a row
    ITAB_H ithandle;
    RFC_ITMODE itmode;
    int newitab;
};

struct RFC_UNICODE_TYPE_ELEMENT {
    rfc_char_t* name;
    RFC_TYPEHANDLE type;
    unsigned decimals;
    unsigned c1_length;
    unsigned c1_offset;
    unsigned c2_length;
    unsigned c2_offset;
    unsigned c4_length;
    unsigned c4_offset;
};

struct RFC_XSTRING {
    RFC_INT length;
    RFC_BYTE* content;
};

struct RFC_EXTERNAL_LOGON_CNTL {
    rfc_char_t function_name[31];
    rfc_char_t client[4];
    rfc_char_t language[2];
    rfc_char_t user[13];
    rfc_char_t tcode[21];
    rfc_char_t reserved[513];
};

// Callbacks of a server.
using RFC_ONCALL = RFC_RC(SAP_API*)(RFC_HANDLE);
using RFC_ON_CHECK_TID_EX = int(SAP_API*)(rfc_char_t*, RFC_HANDLE);
using RFC_ON_COMMIT_EX = int(SAP_API*)(rfc_char_t*, RFC_HANDLE);
using RFC_ON_ROLLBACK_EX = void(SAP_API*)(rfc_char_t*, RFC_HANDLE, int);
using RFC_ON_CONFIRM_TID_EX = void(SAP_API*)(rfc_char_t*, RFC_HANDLE);
using RFC_ON_DISCONNECT = void(SAP_API*)(RFC_HANDLE, unsigned, void*);
using RFC_ON_FREE = void(SAP_API*)(RFC_HANDLE, unsigned, void*);
using RFC_EXTERNAL_LOGON = int(SAP_API*)(RFC_HANDLE, RFC_EXTERNAL_LOGON_CNTL*, rfc_char_t*);
constexpr int RFC_EXTERNAL_LOGON_OK = 0;
constexpr int RFC_EXTERNAL_LOGON_FAILED = 1;

static_assert(sizeof(RFC_HANDLE) == 4 && sizeof(RFC_TYPEHANDLE) == 4 && sizeof(RFC_RC) == 4);
static_assert(sizeof(RFC_TID) == 50 && sizeof(RFC_FUNCTIONNAME) == 62);
static_assert(sizeof(RFC_ERROR_INFO_EX) == 1096 && offsetof(RFC_ERROR_INFO_EX, key) == 4 &&
              offsetof(RFC_ERROR_INFO_EX, message) == 70);
static_assert(sizeof(RFC_PARAMETER) == SapByBitness(32, 20) && offsetof(RFC_PARAMETER, nlen) == SapByBitness(8, 4));
static_assert(offsetof(RFC_PARAMETER, type) == SapByBitness(12, 8) && offsetof(RFC_PARAMETER, leng) == SapByBitness(16, 12));
static_assert(offsetof(RFC_PARAMETER, addr) == SapByBitness(24, 16));
static_assert(sizeof(RFC_TABLE) == SapByBitness(40, 28) && offsetof(RFC_TABLE, ithandle) == SapByBitness(24, 16));
static_assert(offsetof(RFC_TABLE, itmode) == SapByBitness(32, 20) && offsetof(RFC_TABLE, newitab) == SapByBitness(36, 24));
static_assert(sizeof(RFC_UNICODE_TYPE_ELEMENT) == SapByBitness(40, 36));
static_assert(offsetof(RFC_UNICODE_TYPE_ELEMENT, type) == SapByBitness(8, 4) &&
              offsetof(RFC_UNICODE_TYPE_ELEMENT, c2_offset) == SapByBitness(28, 24));
static_assert(sizeof(RFC_XSTRING) == SapByBitness(16, 8));
static_assert(sizeof(RFC_EXTERNAL_LOGON_CNTL) == 1168);

// The rows RfcGetFunctionInfoAsTable fills: one per parameter, 420 bytes, texts in UTF-16.
namespace funint {
constexpr unsigned kRowLength = 420;
constexpr unsigned kParamClass = 0, kParameter = 2, kTabname = 62, kExid = 182, kLengthB1 = 192, kDecimals = 212,
                   kDefault = 216, kParamtext = 258, kOptional = 416;
} // namespace funint

} // namespace classic
