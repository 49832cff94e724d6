#pragma once
// The C interface of SAP's NetWeaver RFC library (sapnwrfc.dll) as this component uses it:
// types, numbers and record layouts, and the signatures of the entry points the binding
// (NWRfcLibrary.h) looks up. Declared here from the library's published facts; the sizes and
// offsets of both bitnesses are checked at compile time.
#include "session/SapApi.h"

#include <windows.h>

#include <cstddef>

namespace nwrfc {

using tolvane::SapByBitness;

using SAP_UC = wchar_t;
using SAP_RAW = unsigned char;
using RFC_CHAR = SAP_UC;
using RFC_NUM = RFC_CHAR;
using RFC_BYTE = SAP_RAW;
using RFC_INT1 = SAP_RAW;
using RFC_INT2 = short;
using RFC_INT = int;
using RFC_FLOAT = double;
using RFC_ABAP_NAME = RFC_CHAR[31];
using RFC_PARAMETER_DEFVALUE = RFC_CHAR[31];
using RFC_PARAMETER_TEXT = RFC_CHAR[80];
constexpr unsigned RFC_TID_LN = 24;
using RFC_TID = SAP_UC[RFC_TID_LN + 1];

// Handles are pointers to opaque records.
struct RFC_CONNECTION_HANDLE_ { void* handle; };
struct RFC_FUNCTION_DESC_HANDLE_ { void* handle; };
struct RFC_TYPE_DESC_HANDLE_ { void* handle; };
struct DATA_CONTAINER_HANDLE_ { void* handle; };
struct RFC_TRANSACTION_HANDLE_ { void* handle; };
using RFC_CONNECTION_HANDLE = RFC_CONNECTION_HANDLE_*;
using RFC_FUNCTION_DESC_HANDLE = RFC_FUNCTION_DESC_HANDLE_*;
using RFC_TYPE_DESC_HANDLE = RFC_TYPE_DESC_HANDLE_*;
using DATA_CONTAINER_HANDLE = DATA_CONTAINER_HANDLE_*;
using RFC_FUNCTION_HANDLE = DATA_CONTAINER_HANDLE;
using RFC_STRUCTURE_HANDLE = DATA_CONTAINER_HANDLE;
using RFC_TABLE_HANDLE = DATA_CONTAINER_HANDLE;
using RFC_TRANSACTION_HANDLE = RFC_TRANSACTION_HANDLE_*;

enum RFC_RC : int {
    RFC_OK = 0,
    RFC_COMMUNICATION_FAILURE = 1,
    RFC_LOGON_FAILURE = 2,
    RFC_ABAP_RUNTIME_FAILURE = 3,
    RFC_ABAP_MESSAGE = 4,
    RFC_ABAP_EXCEPTION = 5,
    RFC_CLOSED = 6,
    RFC_CANCELED = 7,
    RFC_TIMEOUT = 8,
    RFC_MEMORY_INSUFFICIENT = 9,
    RFC_VERSION_MISMATCH = 10,
    RFC_INVALID_PROTOCOL = 11,
    RFC_SERIALIZATION_FAILURE = 12,
    RFC_INVALID_HANDLE = 13,
    RFC_RETRY = 14,
    RFC_EXTERNAL_FAILURE = 15,
    RFC_EXECUTED = 16,
    RFC_NOT_FOUND = 17,
    RFC_NOT_SUPPORTED = 18,
    RFC_ILLEGAL_STATE = 19,
    RFC_INVALID_PARAMETER = 20,
    RFC_CODEPAGE_CONVERSION_FAILURE = 21,
    RFC_CONVERSION_FAILURE = 22,
    RFC_BUFFER_TOO_SMALL = 23,
    RFC_TABLE_MOVE_BOF = 24,
    RFC_TABLE_MOVE_EOF = 25,
    RFC_START_SAPGUI_FAILURE = 26,
    RFC_ABAP_CLASS_EXCEPTION = 27,
    RFC_UNKNOWN_ERROR = 28,
    RFC_AUTHORIZATION_FAILURE = 29,
};

// RFC_ERROR_INFO.group. The library's own names carry no prefix; these do.
enum RFC_ERROR_GROUP : int {
    RFC_GROUP_OK = 0,
    RFC_GROUP_ABAP_APPLICATION_FAILURE = 1,
    RFC_GROUP_ABAP_RUNTIME_FAILURE = 2,
    RFC_GROUP_LOGON_FAILURE = 3,
    RFC_GROUP_COMMUNICATION_FAILURE = 4,
    RFC_GROUP_EXTERNAL_RUNTIME_FAILURE = 5,
    RFC_GROUP_EXTERNAL_APPLICATION_FAILURE = 6,
    RFC_GROUP_EXTERNAL_AUTHORIZATION_FAILURE = 7,
};

enum RFCTYPE : int {
    RFCTYPE_CHAR = 0,
    RFCTYPE_DATE = 1,
    RFCTYPE_BCD = 2,
    RFCTYPE_TIME = 3,
    RFCTYPE_BYTE = 4,
    RFCTYPE_TABLE = 5,
    RFCTYPE_NUM = 6,
    RFCTYPE_FLOAT = 7,
    RFCTYPE_INT = 8,
    RFCTYPE_INT2 = 9,
    RFCTYPE_INT1 = 10,
    RFCTYPE_NULL = 14,
    RFCTYPE_ABAPOBJECT = 16,
    RFCTYPE_STRUCTURE = 17,
    RFCTYPE_DECF16 = 23,
    RFCTYPE_DECF34 = 24,
    RFCTYPE_XMLDATA = 28,
    RFCTYPE_STRING = 29,
    RFCTYPE_XSTRING = 30,
    RFCTYPE_INT8 = 31,
};

enum RFC_DIRECTION : int { RFC_IMPORT = 1, RFC_EXPORT = 2, RFC_CHANGING = 3, RFC_TABLES = 7 };

struct RFC_ERROR_INFO {
    RFC_RC code;
    RFC_ERROR_GROUP group;
    SAP_UC key[128];
    SAP_UC message[512];
    SAP_UC abapMsgClass[20 + 1];
    SAP_UC abapMsgType[1 + 1];
    RFC_NUM abapMsgNumber[3 + 1];
    SAP_UC abapMsgV1[50 + 1];
    SAP_UC abapMsgV2[50 + 1];
    SAP_UC abapMsgV3[50 + 1];
    SAP_UC abapMsgV4[50 + 1];
};

struct RFC_CONNECTION_PARAMETER {
    const SAP_UC* name;
    const SAP_UC* value;
};

struct RFC_PARAMETER_DESC {
    RFC_ABAP_NAME name;
    RFCTYPE type;
    RFC_DIRECTION direction;
    unsigned nucLength;
    unsigned ucLength;
    unsigned decimals;
    RFC_TYPE_DESC_HANDLE typeDescHandle;
    RFC_PARAMETER_DEFVALUE defaultValue;
    RFC_PARAMETER_TEXT parameterText;
    RFC_BYTE optional;
    void* extendedDescription;
};

struct RFC_FIELD_DESC {
    RFC_ABAP_NAME name;
    RFCTYPE type;
    unsigned nucLength;
    unsigned nucOffset;
    unsigned ucLength;
    unsigned ucOffset;
    unsigned decimals;
    RFC_TYPE_DESC_HANDLE typeDescHandle;
    void* extendedDescription;
};

struct RFC_ATTRIBUTES {
    SAP_UC dest[64 + 1];
    SAP_UC host[100 + 1];
    SAP_UC partnerHost[100 + 1];
    SAP_UC sysNumber[2 + 1];
    SAP_UC sysId[8 + 1];
    SAP_UC client[3 + 1];
    SAP_UC user[12 + 1];
    SAP_UC language[2 + 1];
    SAP_UC trace[1 + 1];
    SAP_UC isoLanguage[2 + 1];
    SAP_UC codepage[4 + 1];
    SAP_UC partnerCodepage[4 + 1];
    SAP_UC rfcRole[1 + 1];
    SAP_UC type[1 + 1];
    SAP_UC partnerType[1 + 1];
    SAP_UC rel[4 + 1];
    SAP_UC partnerRel[4 + 1];
    SAP_UC kernelRel[4 + 1];
    SAP_UC cpicConvId[8 + 1];
    SAP_UC progName[128 + 1];
    SAP_UC partnerBytesPerChar[1 + 1];
    SAP_UC partnerSystemCodepage[4 + 1];
    SAP_UC partnerIP[15 + 1];
    SAP_UC partnerIPv6[45 + 1];
    SAP_UC reserved[17];
};

struct RFC_SECURITY_ATTRIBUTES {
    SAP_UC* functionName;
    SAP_UC* sysId;
    SAP_UC* client;
    SAP_UC* user;
    SAP_UC* progName;
    SAP_UC* sncName;
    SAP_UC* ssoTicket;
    SAP_RAW* sncAclKey;
    unsigned sncAclKeyLength;
};

// Callbacks of a server.
using RFC_SERVER_FUNCTION = RFC_RC(SAP_API*)(RFC_CONNECTION_HANDLE, RFC_FUNCTION_HANDLE, RFC_ERROR_INFO*);
using RFC_FUNC_DESC_CALLBACK = RFC_RC(SAP_API*)(const SAP_UC*, RFC_ATTRIBUTES, RFC_FUNCTION_DESC_HANDLE*);
using RFC_ON_AUTHORIZATION_CHECK = RFC_RC(SAP_API*)(RFC_CONNECTION_HANDLE, RFC_SECURITY_ATTRIBUTES*,
                                                       RFC_ERROR_INFO*);
using RFC_ON_TRANSACTION_STEP = RFC_RC(SAP_API*)(RFC_CONNECTION_HANDLE, const SAP_UC*);

static_assert(sizeof(RFC_ERROR_INFO) == 1752 && alignof(RFC_ERROR_INFO) == 4);
static_assert(offsetof(RFC_ERROR_INFO, key) == 8 && offsetof(RFC_ERROR_INFO, message) == 264);
static_assert(offsetof(RFC_ERROR_INFO, abapMsgClass) == 1288 && offsetof(RFC_ERROR_INFO, abapMsgType) == 1330);
static_assert(offsetof(RFC_ERROR_INFO, abapMsgNumber) == 1334 && offsetof(RFC_ERROR_INFO, abapMsgV1) == 1342);
static_assert(offsetof(RFC_ERROR_INFO, abapMsgV2) == 1444 && offsetof(RFC_ERROR_INFO, abapMsgV3) == 1546);
static_assert(offsetof(RFC_ERROR_INFO, abapMsgV4) == 1648);
static_assert(sizeof(RFC_CONNECTION_PARAMETER) == SapByBitness(16, 8) &&
              offsetof(RFC_CONNECTION_PARAMETER, value) == SapByBitness(8, 4));
static_assert(sizeof(RFC_PARAMETER_DESC) == SapByBitness(328, 316) && alignof(RFC_PARAMETER_DESC) == SapByBitness(8, 4));
static_assert(offsetof(RFC_PARAMETER_DESC, type) == 64 && offsetof(RFC_PARAMETER_DESC, direction) == 68);
static_assert(offsetof(RFC_PARAMETER_DESC, nucLength) == 72 && offsetof(RFC_PARAMETER_DESC, ucLength) == 76);
static_assert(offsetof(RFC_PARAMETER_DESC, decimals) == 80 &&
              offsetof(RFC_PARAMETER_DESC, typeDescHandle) == SapByBitness(88, 84));
static_assert(offsetof(RFC_PARAMETER_DESC, defaultValue) == SapByBitness(96, 88) &&
              offsetof(RFC_PARAMETER_DESC, parameterText) == SapByBitness(158, 150));
static_assert(offsetof(RFC_PARAMETER_DESC, optional) == SapByBitness(318, 310) &&
              offsetof(RFC_PARAMETER_DESC, extendedDescription) == SapByBitness(320, 312));
static_assert(sizeof(RFC_FIELD_DESC) == SapByBitness(104, 96) && offsetof(RFC_FIELD_DESC, type) == 64);
static_assert(offsetof(RFC_FIELD_DESC, nucLength) == 68 && offsetof(RFC_FIELD_DESC, nucOffset) == 72);
static_assert(offsetof(RFC_FIELD_DESC, ucLength) == 76 && offsetof(RFC_FIELD_DESC, ucOffset) == 80);
static_assert(offsetof(RFC_FIELD_DESC, decimals) == 84 && offsetof(RFC_FIELD_DESC, typeDescHandle) == 88);
static_assert(offsetof(RFC_FIELD_DESC, extendedDescription) == SapByBitness(96, 92));
static_assert(sizeof(RFC_ATTRIBUTES) == 1118 && alignof(RFC_ATTRIBUTES) == 2);
static_assert(offsetof(RFC_ATTRIBUTES, sysNumber) == 534 && offsetof(RFC_ATTRIBUTES, user) == 566);
static_assert(offsetof(RFC_ATTRIBUTES, progName) == 688 && offsetof(RFC_ATTRIBUTES, partnerIP) == 960);
static_assert(offsetof(RFC_ATTRIBUTES, reserved) == 1084);
static_assert(sizeof(RFC_SECURITY_ATTRIBUTES) == SapByBitness(72, 36) &&
              offsetof(RFC_SECURITY_ATTRIBUTES, ssoTicket) == SapByBitness(48, 24));
static_assert(offsetof(RFC_SECURITY_ATTRIBUTES, sncAclKeyLength) == SapByBitness(64, 32));

} // namespace nwrfc
