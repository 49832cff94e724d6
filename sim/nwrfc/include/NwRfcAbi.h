// The C interface of the NetWeaver RFC library as SAP's 64-bit Windows library has it: types,
// enumeration numbers, record layouts and function signatures. The stand-in library implements
// it; tests and the raw benchmark call it through GetProcAddress.
#pragma once

#include <cstddef>

#ifdef _WIN32
#define SAP_API __stdcall
#else
#define SAP_API
#endif

extern "C" {

typedef wchar_t SAP_UC;
typedef SAP_UC SAP_CHAR;
typedef unsigned char SAP_RAW;
typedef SAP_UC RFC_CHAR;
typedef RFC_CHAR RFC_NUM;
typedef SAP_RAW RFC_BYTE;
typedef SAP_RAW RFC_BCD;
typedef SAP_RAW RFC_INT1;
typedef short RFC_INT2;
typedef int RFC_INT;
typedef long long RFC_INT8;
typedef double RFC_FLOAT;
typedef RFC_CHAR RFC_DATE[8];
typedef RFC_CHAR RFC_TIME[6];

#define RFC_TID_LN 24
#define RFC_UNITID_LN 32
typedef SAP_UC RFC_TID[RFC_TID_LN + 1];
typedef SAP_UC RFC_UNITID[RFC_UNITID_LN + 1];
typedef RFC_CHAR RFC_ABAP_NAME[30 + 1];
typedef RFC_CHAR RFC_PARAMETER_DEFVALUE[30 + 1];
typedef RFC_CHAR RFC_PARAMETER_TEXT[79 + 1];

typedef struct _RFC_CONNECTION_HANDLE { void* handle; } *RFC_CONNECTION_HANDLE;
typedef struct _RFC_FUNCTION_DESC_HANDLE { void* handle; } *RFC_FUNCTION_DESC_HANDLE;
typedef struct _RFC_TYPE_DESC_HANDLE { void* handle; } *RFC_TYPE_DESC_HANDLE;
typedef struct _RFC_CLASS_DESC_HANDLE { void* handle; } *RFC_CLASS_DESC_HANDLE;
typedef struct _DATA_CONTAINER_HANDLE { void* handle; } *DATA_CONTAINER_HANDLE;
typedef DATA_CONTAINER_HANDLE RFC_FUNCTION_HANDLE;
typedef DATA_CONTAINER_HANDLE RFC_STRUCTURE_HANDLE;
typedef DATA_CONTAINER_HANDLE RFC_TABLE_HANDLE;
typedef DATA_CONTAINER_HANDLE RFC_ABAP_OBJECT_HANDLE;
typedef struct _RFC_TRANSACTION_HANDLE { void* handle; } *RFC_TRANSACTION_HANDLE;
typedef struct _RFC_UNIT_HANDLE { void* handle; } *RFC_UNIT_HANDLE;

typedef enum _RFC_RC {
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
    RFC_AUTHENTICATION_FAILURE = 30,
    RFC_CRYPTOLIB_FAILURE = 31,
    RFC_IO_FAILURE = 32,
    RFC_LOCKING_FAILURE = 33
} RFC_RC;

// The group names of the library clash with common macros; the numbers are what counts.
typedef enum _RFC_ERROR_GROUP {
    RFC_GROUP_OK = 0,
    RFC_GROUP_ABAP_APPLICATION_FAILURE = 1,
    RFC_GROUP_ABAP_RUNTIME_FAILURE = 2,
    RFC_GROUP_LOGON_FAILURE = 3,
    RFC_GROUP_COMMUNICATION_FAILURE = 4,
    RFC_GROUP_EXTERNAL_RUNTIME_FAILURE = 5,
    RFC_GROUP_EXTERNAL_APPLICATION_FAILURE = 6,
    RFC_GROUP_EXTERNAL_AUTHORIZATION_FAILURE = 7,
    RFC_GROUP_EXTERNAL_AUTHENTICATION_FAILURE = 8,
    RFC_GROUP_CRYPTOLIB_FAILURE = 9,
    RFC_GROUP_LOCKING_FAILURE = 10
} RFC_ERROR_GROUP;

typedef enum _RFCTYPE {
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
    RFCTYPE_UTCLONG = 32,
    RFCTYPE_UTCSECOND = 33,
    RFCTYPE_UTCMINUTE = 34,
    RFCTYPE_DTDAY = 35,
    RFCTYPE_DTWEEK = 36,
    RFCTYPE_DTMONTH = 37,
    RFCTYPE_TSECOND = 38,
    RFCTYPE_TMINUTE = 39,
    RFCTYPE_CDAY = 40,
    RFCTYPE_BOX = 41,
    RFCTYPE_GENERIC_BOX = 42,
    _RFCTYPE_max_value = 43
} RFCTYPE;

typedef enum _RFC_DIRECTION { RFC_IMPORT = 1, RFC_EXPORT = 2, RFC_CHANGING = 3, RFC_TABLES = 7 } RFC_DIRECTION;

typedef enum _RFC_CALL_TYPE { RFC_SYNCHRONOUS = 0, RFC_TRANSACTIONAL = 1, RFC_QUEUED = 2, RFC_BACKGROUND_UNIT = 3 } RFC_CALL_TYPE;

typedef struct _RFC_ERROR_INFO {
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
} RFC_ERROR_INFO;

typedef struct _RFC_CONNECTION_PARAMETER {
    const SAP_UC* name;
    const SAP_UC* value;
} RFC_CONNECTION_PARAMETER;

typedef struct _RFC_PARAMETER_DESC {
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
} RFC_PARAMETER_DESC;

typedef struct _RFC_FIELD_DESC {
    RFC_ABAP_NAME name;
    RFCTYPE type;
    unsigned nucLength;
    unsigned nucOffset;
    unsigned ucLength;
    unsigned ucOffset;
    unsigned decimals;
    RFC_TYPE_DESC_HANDLE typeDescHandle;
    void* extendedDescription;
} RFC_FIELD_DESC;

typedef struct _RFC_EXCEPTION_DESC {
    SAP_UC key[128];
    SAP_UC message[512];
} RFC_EXCEPTION_DESC;

typedef struct _RFC_ATTRIBUTES {
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
} RFC_ATTRIBUTES;

typedef struct _RFC_SECURITY_ATTRIBUTES {
    SAP_UC* functionName;
    SAP_UC* sysId;
    SAP_UC* client;
    SAP_UC* user;
    SAP_UC* progName;
    SAP_UC* sncName;
    SAP_UC* ssoTicket;
    SAP_RAW* sncAclKey;
    unsigned sncAclKeyLength;
} RFC_SECURITY_ATTRIBUTES;

typedef struct _RFC_UNIT_IDENTIFIER {
    SAP_UC unitType;
    RFC_UNITID unitID;
} RFC_UNIT_IDENTIFIER;

typedef struct _RFC_UNIT_ATTRIBUTES {
    short kernelTrace;
    short satTrace;
    short unitHistory;
    short lock;
    short noCommitCheck;
    SAP_UC user[12 + 1];
    SAP_UC client[3 + 1];
    SAP_UC tCode[20 + 1];
    SAP_UC program[40 + 1];
    SAP_UC hostname[40 + 1];
    RFC_DATE sendingDate;
    RFC_TIME sendingTime;
} RFC_UNIT_ATTRIBUTES;

typedef struct _RFC_SERVER_CONTEXT {
    RFC_CALL_TYPE type;
    RFC_TID tid;
    RFC_UNIT_IDENTIFIER* unitIdentifier;
    RFC_UNIT_ATTRIBUTES* unitAttributes;
    unsigned isStateful;
    SAP_UC sessionID[33];
    unsigned queueNamesCount;
    SAP_UC** queueNames;
} RFC_SERVER_CONTEXT;

typedef RFC_RC(SAP_API* RFC_SERVER_FUNCTION)(RFC_CONNECTION_HANDLE rfcHandle, RFC_FUNCTION_HANDLE funcHandle, RFC_ERROR_INFO* errorInfo);
typedef RFC_RC(SAP_API* RFC_FUNC_DESC_CALLBACK)(const SAP_UC* functionName, RFC_ATTRIBUTES rfcAttributes, RFC_FUNCTION_DESC_HANDLE* funcDescHandle);
typedef RFC_RC(SAP_API* RFC_ON_AUTHORIZATION_CHECK)(RFC_CONNECTION_HANDLE rfcHandle, RFC_SECURITY_ATTRIBUTES* secAttributes, RFC_ERROR_INFO* errorInfo);
typedef RFC_RC(SAP_API* RFC_ON_CHECK_TRANSACTION)(RFC_CONNECTION_HANDLE rfcHandle, const SAP_UC* tid);
typedef RFC_RC(SAP_API* RFC_ON_COMMIT_TRANSACTION)(RFC_CONNECTION_HANDLE rfcHandle, const SAP_UC* tid);
typedef RFC_RC(SAP_API* RFC_ON_ROLLBACK_TRANSACTION)(RFC_CONNECTION_HANDLE rfcHandle, const SAP_UC* tid);
typedef RFC_RC(SAP_API* RFC_ON_CONFIRM_TRANSACTION)(RFC_CONNECTION_HANDLE rfcHandle, const SAP_UC* tid);

// Setup
const SAP_UC* SAP_API RfcGetVersion(unsigned* majorVersion, unsigned* minorVersion, unsigned* patchLevel);
RFC_RC SAP_API RfcInit(void);
RFC_RC SAP_API RfcSetTraceDir(SAP_UC* traceDir, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetTraceLevel(RFC_CONNECTION_HANDLE connection, SAP_UC* destination, unsigned traceLevel, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetIniPath(const SAP_UC* pathName, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcReloadIniFile(RFC_ERROR_INFO* errorInfo);

// Client connection
RFC_CONNECTION_HANDLE SAP_API RfcOpenConnection(const RFC_CONNECTION_PARAMETER* connectionParams, unsigned paramCount, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcCloseConnection(RFC_CONNECTION_HANDLE rfcHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcPing(RFC_CONNECTION_HANDLE rfcHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcIsConnectionHandleValid(RFC_CONNECTION_HANDLE rfcHandle, int* isValid, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetConnectionAttributes(RFC_CONNECTION_HANDLE rfcHandle, RFC_ATTRIBUTES* attr, RFC_ERROR_INFO* errorInfo);

// Metadata
RFC_FUNCTION_DESC_HANDLE SAP_API RfcGetFunctionDesc(RFC_CONNECTION_HANDLE rfcHandle, const SAP_UC* funcName, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetParameterCount(RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned* count, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetParameterDescByIndex(RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned index, RFC_PARAMETER_DESC* paramDesc, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetParameterDescByName(RFC_FUNCTION_DESC_HANDLE funcDesc, const SAP_UC* name, RFC_PARAMETER_DESC* paramDesc, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetExceptionCount(RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned* count, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetExceptionDescByIndex(RFC_FUNCTION_DESC_HANDLE funcDesc, unsigned index, RFC_EXCEPTION_DESC* excDesc, RFC_ERROR_INFO* errorInfo);
RFC_TYPE_DESC_HANDLE SAP_API RfcGetTypeDesc(RFC_CONNECTION_HANDLE rfcHandle, const SAP_UC* typeName, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetFieldCount(RFC_TYPE_DESC_HANDLE typeHandle, unsigned* count, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetFieldDescByIndex(RFC_TYPE_DESC_HANDLE typeHandle, unsigned index, RFC_FIELD_DESC* fieldDescr, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetFieldDescByName(RFC_TYPE_DESC_HANDLE typeHandle, const SAP_UC* name, RFC_FIELD_DESC* fieldDescr, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetTypeName(RFC_TYPE_DESC_HANDLE typeHandle, RFC_CHAR* bufferForName, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetTypeLength(RFC_TYPE_DESC_HANDLE typeHandle, unsigned* nucByteLength, unsigned* ucByteLength, RFC_ERROR_INFO* errorInfo);
RFC_FUNCTION_DESC_HANDLE SAP_API RfcDescribeFunction(RFC_FUNCTION_HANDLE funcHandle, RFC_ERROR_INFO* errorInfo);
RFC_TYPE_DESC_HANDLE SAP_API RfcDescribeType(DATA_CONTAINER_HANDLE dataHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetFunctionName(RFC_FUNCTION_DESC_HANDLE funcDesc, RFC_CHAR* bufferForName, RFC_ERROR_INFO* errorInfo);

// Building descriptions
RFC_FUNCTION_DESC_HANDLE SAP_API RfcCreateFunctionDesc(const SAP_UC* name, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcAddParameter(RFC_FUNCTION_DESC_HANDLE funcDesc, const RFC_PARAMETER_DESC* paramDescr, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcAddException(RFC_FUNCTION_DESC_HANDLE funcDesc, const RFC_EXCEPTION_DESC* excDesc, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcDestroyFunctionDesc(RFC_FUNCTION_DESC_HANDLE funcDesc, RFC_ERROR_INFO* errorInfo);
RFC_TYPE_DESC_HANDLE SAP_API RfcCreateTypeDesc(const SAP_UC* name, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcAddTypeField(RFC_TYPE_DESC_HANDLE typeHandle, const RFC_FIELD_DESC* fieldDescr, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetTypeLength(RFC_TYPE_DESC_HANDLE typeHandle, unsigned nucByteLength, unsigned ucByteLength, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcDestroyTypeDesc(RFC_TYPE_DESC_HANDLE typeHandle, RFC_ERROR_INFO* errorInfo);

// Calls
RFC_FUNCTION_HANDLE SAP_API RfcCreateFunction(RFC_FUNCTION_DESC_HANDLE funcDescHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetParameterActive(RFC_FUNCTION_HANDLE funcHandle, const SAP_UC* paramName, int isActive, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcIsParameterActive(RFC_FUNCTION_HANDLE funcHandle, const SAP_UC* paramName, int* isActive, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcInvoke(RFC_CONNECTION_HANDLE rfcHandle, RFC_FUNCTION_HANDLE funcHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcDestroyFunction(RFC_FUNCTION_HANDLE funcHandle, RFC_ERROR_INFO* errorInfo);

// Transactions
RFC_RC SAP_API RfcGetTransactionID(RFC_CONNECTION_HANDLE rfcHandle, SAP_UC* tid, RFC_ERROR_INFO* errorInfo);
RFC_TRANSACTION_HANDLE SAP_API RfcCreateTransaction(RFC_CONNECTION_HANDLE rfcHandle, SAP_UC* tid, const SAP_UC* queueName, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcInvokeInTransaction(RFC_TRANSACTION_HANDLE tHandle, RFC_FUNCTION_HANDLE funcHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSubmitTransaction(RFC_TRANSACTION_HANDLE tHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcConfirmTransaction(RFC_TRANSACTION_HANDLE tHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcDestroyTransaction(RFC_TRANSACTION_HANDLE tHandle, RFC_ERROR_INFO* errorInfo);

// Values
RFC_RC SAP_API RfcGetChars(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_CHAR* charBuffer, unsigned bufferLength, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetNum(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_NUM* charBuffer, unsigned bufferLength, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetDate(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_CHAR* emptyDate, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetTime(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_CHAR* emptyTime, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetFloat(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_FLOAT* value, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetInt(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT* value, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetInt1(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT1* value, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetInt2(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT2* value, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetInt8(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT8* value, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetBytes(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, SAP_RAW* byteBuffer, unsigned bufferLength, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetStringLength(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, unsigned* stringLength, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetXString(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, SAP_RAW* byteBuffer, unsigned bufferLength, unsigned* xstringLength, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetString(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, SAP_UC* stringBuffer, unsigned bufferLength, unsigned* stringLength, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetChars(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const RFC_CHAR* charValue, unsigned valueLength, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetNum(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const RFC_NUM* charValue, unsigned valueLength, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetBytes(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const SAP_RAW* byteValue, unsigned valueLength, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetDate(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const RFC_CHAR* date, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetTime(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const RFC_CHAR* time, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetFloat(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_FLOAT value, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetInt(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT value, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetInt1(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT1 value, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetInt2(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT2 value, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetInt8(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_INT8 value, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetString(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const SAP_UC* stringValue, unsigned valueLength, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcSetXString(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, const SAP_RAW* byteValue, unsigned valueLength, RFC_ERROR_INFO* errorInfo);

// Structures and tables
RFC_RC SAP_API RfcGetStructure(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_STRUCTURE_HANDLE* structHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetTable(DATA_CONTAINER_HANDLE dataHandle, const SAP_UC* name, RFC_TABLE_HANDLE* tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetRowCount(RFC_TABLE_HANDLE tableHandle, unsigned* rowCount, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcMoveToFirstRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcMoveToNextRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcMoveTo(RFC_TABLE_HANDLE tableHandle, unsigned index, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcMoveToLastRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcMoveToPreviousRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_STRUCTURE_HANDLE SAP_API RfcGetCurrentRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcAppendNewRows(RFC_TABLE_HANDLE tableHandle, unsigned numRows, RFC_ERROR_INFO* errorInfo);
RFC_STRUCTURE_HANDLE SAP_API RfcAppendNewRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcDeleteAllRows(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcDeleteCurrentRow(RFC_TABLE_HANDLE tableHandle, RFC_ERROR_INFO* errorInfo);

// Server
RFC_RC SAP_API RfcInstallGenericServerFunction(RFC_SERVER_FUNCTION serverFunction, RFC_FUNC_DESC_CALLBACK funcDescProvider, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcInstallServerFunction(const SAP_UC* sysId, RFC_FUNCTION_DESC_HANDLE funcDescHandle, RFC_SERVER_FUNCTION serverFunction, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcInstallAuthorizationCheckHandler(RFC_ON_AUTHORIZATION_CHECK onAuthorizationCheck, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcInstallTransactionHandlers(const SAP_UC* sysId, RFC_ON_CHECK_TRANSACTION onCheckFunction, RFC_ON_COMMIT_TRANSACTION onCommitFunction,
                                             RFC_ON_ROLLBACK_TRANSACTION onRollbackFunction, RFC_ON_CONFIRM_TRANSACTION onConfirmFunction, RFC_ERROR_INFO* errorInfo);
RFC_CONNECTION_HANDLE SAP_API RfcRegisterServer(const RFC_CONNECTION_PARAMETER* connectionParams, unsigned paramCount, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcListenAndDispatch(RFC_CONNECTION_HANDLE rfcHandle, int timeout, RFC_ERROR_INFO* errorInfo);
RFC_RC SAP_API RfcGetServerContext(RFC_CONNECTION_HANDLE rfcHandle, RFC_SERVER_CONTEXT* context, RFC_ERROR_INFO* errorInfo);

// Texts
const SAP_UC* SAP_API RfcGetRcAsString(RFC_RC rc);
const SAP_UC* SAP_API RfcGetTypeAsString(RFCTYPE type);
const SAP_UC* SAP_API RfcGetDirectionAsString(RFC_DIRECTION direction);

} // extern "C"
