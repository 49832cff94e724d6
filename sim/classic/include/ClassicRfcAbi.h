// The C interface of SAP's classic RFC library, Unicode build (librfc32u.dll): types,
// enumeration numbers, record layouts and function signatures, declared from the project's
// facts sheet. The stand-in library implements it; tests and the raw benchmark call it through
// GetProcAddress. Every function carries the suffix U of the Unicode build.
//
// Bitness: the functions and callbacks are __stdcall, which matters on 32-bit Windows only (the
// 64-bit ABI has one convention). Records keep their natural layout on both; AbiLayout.cpp pins
// the 64-bit sizes and offsets, and the 32-bit ones where the sheet gives them.
#pragma once

#include <cstddef>

#ifdef _WIN32
#define SAP_API __stdcall
#define DLL_CALL_BACK_FUNCTION __stdcall
#else
#define SAP_API
#define DLL_CALL_BACK_FUNCTION
#endif

extern "C" {

typedef wchar_t SAP_UC;
typedef SAP_UC SAP_CHAR;
typedef SAP_UC rfc_char_t;
typedef SAP_UC RFC_CHAR;
typedef unsigned char SAP_RAW;
typedef unsigned char SAP_UTF8;
typedef SAP_RAW RFC_BYTE;
typedef SAP_RAW RFC_BCD;
typedef SAP_RAW RFC_INT1;
typedef int SAP_INT;
typedef unsigned int SAP_UINT;
typedef unsigned short SAP_USHORT;
typedef int RFC_INT;
typedef short RFC_INT2;
typedef double RFC_FLOAT;
typedef RFC_CHAR RFC_NUM;
typedef RFC_CHAR RFC_DATE[8];
typedef RFC_CHAR RFC_TIME[6];
typedef SAP_UTF8* RFC_STRING;

typedef struct {
    RFC_INT length;
    RFC_BYTE* content;
} RFC_XSTRING;

typedef unsigned RFC_HANDLE;
#define RFC_HANDLE_NULL 0u
typedef void* ITAB_H;
#define ITAB_NULL nullptr
typedef unsigned RFC_TYPEHANDLE;
typedef void* RFC_TYPE_HEAD;

#define RFC_TID_LN 24
typedef rfc_char_t RFC_FUNCTIONNAME[31];
typedef rfc_char_t RFC_TID[RFC_TID_LN + 1];
typedef rfc_char_t RFC_QNAME[25];
typedef rfc_char_t RFC_QCOUNT[25];
typedef rfc_char_t RFC_CODE_PAGE[5];
typedef rfc_char_t RFC_HOSTNAME[101];
typedef RFC_BYTE RFC_STRUCT_TYPE_ID[16];

typedef enum {
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
    RFC_TIMEOUT = 23
} RFC_RC;

typedef enum {
    RFC_ERROR_PROGRAM = 101,
    RFC_ERROR_COMMUNICATION = 102,
    RFC_ERROR_LOGON_FAILURE = 103,
    RFC_ERROR_SYSTEM_FAILURE = 104,
    RFC_ERROR_APPLICATION_EXCEPTION = 105,
    RFC_ERROR_RESOURCE = 106,
    RFC_ERROR_PROTOCOL = 107,
    RFC_ERROR_INTERNAL = 108,
    RFC_ERROR_CANCELLED = 109,
    RFC_ERROR_BUSY = 110
} RFC_ERROR_GROUP;

typedef struct {
    RFC_ERROR_GROUP group;
    RFC_CHAR key[33];
    RFC_CHAR message[513];
} RFC_ERROR_INFO_EX;

typedef struct {
    rfc_char_t dest[64 + 1];
    rfc_char_t own_host[100 + 1];
    rfc_char_t partner_host[100 + 1];
    rfc_char_t systnr[2 + 1];
    rfc_char_t sysid[8 + 1];
    rfc_char_t client[3 + 1];
    rfc_char_t user[12 + 1];
    rfc_char_t language[1 + 1];
    rfc_char_t trace;
    rfc_char_t ISO_language[2 + 1];
    rfc_char_t own_codepage[4 + 1];
    rfc_char_t partner_codepage[4 + 1];
    rfc_char_t rfc_role;
    rfc_char_t own_type;
    rfc_char_t own_rel[4 + 1];
    rfc_char_t partner_type;
    rfc_char_t partner_rel[4 + 1];
    rfc_char_t kernel_rel[4 + 1];
    rfc_char_t CPIC_convid[8 + 1];
    rfc_char_t password_sate;
    rfc_char_t own_codepage_pcs[4 + 1];
    rfc_char_t pcs[1 + 1];
    rfc_char_t real_partner_codepage[4 + 1];
    rfc_char_t progname[40 + 1];
    rfc_char_t reserved[161];
} RFC_ATTRIBUTES;

#define RFC_ROLE_CLIENT L'C'
#define RFC_ROLE_SERVER L'S'
#define RFC_SERVER_R3 L'3'
#define RFC_SERVER_EXT L'E'
#define RFC_SERVER_EXT_REG L'R'

typedef enum {
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
    RFCTYPE_DATE_1 = 12,
    RFCTYPE_DATE_2 = 13,
    RFCTYPE_NULL = 14,
    RFCTYPE_WIDE_2 = 15,
    RFCTYPE_WIDE_4 = 16,
    RFCTYPE_STRUCTURE = 17,
    RFCTYPE_ABAP4OBJECT = 18,
    RFCTYPE_IUNKNOWN = 19,
    RFCTYPE_WSTRING = 20,
    RFCTYPE_SAPAUTOMATION = 21,
    RFCTYPE_STUB = 22,
    RFCTYPE_WIRE_OBJECT = 23,
    RFCTYPE_BLOB = 24,
    RFCTYPE_CORBA_OBJECT = 25,
    RFCTYPE_PADDING = 26,
    RFCTYPE_UNICODE = 27,
    RFCTYPE_XMLDATA = 28,
    RFCTYPE_STRING = 29,
    RFCTYPE_XSTRING = 30
} RFCTYPE;

typedef enum {
    RFC_ITMODE_BYREFERENCE = 0,
    RFC_ITMODE_BYVALUE = 1,
    RFC_ITMODE_KEEPALIVE = 2
} RFC_ITMODE;

typedef enum {
    RFC_CANCEL_HARD = 0,
    RFC_CANCEL_SOFT = 1,
    RFC_CANCEL_CLOSE = 2
} RFC_CANCEL_TYPE;

typedef struct {
    RFC_CHAR* name;
    unsigned nlen;
    RFC_TYPEHANDLE type;
    unsigned leng;
    void* addr;
} RFC_PARAMETER;

typedef struct {
    RFC_CHAR* name;
    unsigned nlen;
    RFC_TYPEHANDLE type;
    unsigned leng;
    ITAB_H ithandle;
    RFC_ITMODE itmode;
    int newitab;
} RFC_TABLE;

typedef struct {
    rfc_char_t* name;
    RFC_TYPEHANDLE type;
    unsigned decimals;
    unsigned c1_length;
    unsigned c1_offset;
    unsigned c2_length;
    unsigned c2_offset;
    unsigned c4_length;
    unsigned c4_offset;
} RFC_UNICODE_TYPE_ELEMENT;

// Rows of RfcGetFunctionInfoAsTable.
typedef struct {
    SAP_CHAR Paramclass[1];
    SAP_CHAR Parameter[30];
    SAP_CHAR Tabname[30];
    SAP_CHAR Fieldname[30];
    SAP_CHAR Exid[1];
    SAP_INT Position;
    SAP_INT Offset_b1;
    SAP_INT Length_b1;
    SAP_INT Offset_b2;
    SAP_INT Length_b2;
    SAP_INT Offset_b4;
    SAP_INT Length_b4;
    SAP_INT Decimals;
    SAP_CHAR Default[21];
    SAP_CHAR Paramtext[79];
    SAP_CHAR Optional[1];
} RFC_U_FUNINT;

// Rows of RfcGetStructureInfoAsTable.
typedef struct {
    SAP_CHAR Tabname[30];
    SAP_CHAR Fieldname[30];
    SAP_INT Position;
    SAP_CHAR Exid[1];
    SAP_INT Decimals;
    SAP_INT Offset_b1;
    SAP_INT Length_b1;
    SAP_INT Offset_b2;
    SAP_INT Length_b2;
    SAP_INT Offset_b4;
    SAP_INT Length_b4;
} RFC_U_FIELDS;

typedef struct {
    rfc_char_t function_name[30 + 1];
    rfc_char_t client[3 + 1];
    rfc_char_t language[1 + 1];
    rfc_char_t user[12 + 1];
    rfc_char_t tcode[20 + 1];
    rfc_char_t reserved[512 + 1];
} RFC_EXTERNAL_LOGON_CNTL;

typedef enum {
    RFC_EXTERNAL_LOGON_OK = 0,
    RFC_EXTERNAL_LOGON_FAILED = 1
} RFC_EXTERNAL_LOGON_RC;

typedef struct {
    rfc_char_t function_name[30 + 1];
    rfc_char_t function_counter[7 + 1];
    RFC_TID tid;
    RFC_QNAME qname;
    RFC_QCOUNT qcounter;
    rfc_char_t call_type;
} RFC_CALL_INFO;

typedef RFC_RC(DLL_CALL_BACK_FUNCTION* RFC_ONCALL)(RFC_HANDLE handle);
typedef int(DLL_CALL_BACK_FUNCTION* RFC_ON_CHECK_TID_EX)(RFC_TID tid, RFC_HANDLE handle);
typedef int(DLL_CALL_BACK_FUNCTION* RFC_ON_COMMIT_EX)(RFC_TID tid, RFC_HANDLE handle);
typedef void(DLL_CALL_BACK_FUNCTION* RFC_ON_ROLLBACK_EX)(RFC_TID tid, RFC_HANDLE handle, int validHandle);
typedef void(DLL_CALL_BACK_FUNCTION* RFC_ON_CONFIRM_TID_EX)(RFC_TID tid, RFC_HANDLE handle);
typedef void(DLL_CALL_BACK_FUNCTION* RFC_ON_DISCONNECT)(RFC_HANDLE handle, unsigned int reserved, void* context);
typedef void(DLL_CALL_BACK_FUNCTION* RFC_ON_FREE)(RFC_HANDLE handle, unsigned int reserved, void* context);
typedef RFC_EXTERNAL_LOGON_RC(DLL_CALL_BACK_FUNCTION* RFC_EXTERNAL_LOGON)(RFC_HANDLE handle, RFC_EXTERNAL_LOGON_CNTL* data,
                                                                          rfc_char_t* message);

// Connection
void SAP_API RfcInitU(void);
RFC_HANDLE SAP_API RfcOpenExU(rfc_char_t* connectParam, RFC_ERROR_INFO_EX* errorInfo);
void SAP_API RfcCloseU(RFC_HANDLE handle);
void SAP_API RfcAbortU(RFC_HANDLE handle, rfc_char_t* text);
RFC_RC SAP_API RfcSetSystemTimeoutU(RFC_INT timeout);
int SAP_API RfcLastErrorExU(RFC_ERROR_INFO_EX* errorInfo);
RFC_RC SAP_API RfcIsValidHandleU(RFC_HANDLE handle, RFC_ERROR_INFO_EX* errorInfo);
int SAP_API RfcGetAttributesU(RFC_HANDLE handle, RFC_ATTRIBUTES* attributes);

// Client calls
RFC_RC SAP_API RfcCallExU(RFC_HANDLE handle, rfc_char_t* function, RFC_PARAMETER* exporting, RFC_PARAMETER* changing,
                          RFC_TABLE* tables);
RFC_RC SAP_API RfcReceiveExU(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_PARAMETER* changing, RFC_TABLE* tables,
                             rfc_char_t** exception);
RFC_RC SAP_API RfcCallReceiveExU(RFC_HANDLE handle, rfc_char_t* function, RFC_PARAMETER* exporting, RFC_PARAMETER* importing,
                                 RFC_PARAMETER* changing, RFC_TABLE* tables, rfc_char_t** exception);
RFC_RC SAP_API RfcCallU(RFC_HANDLE handle, rfc_char_t* function, RFC_PARAMETER* exporting, RFC_TABLE* tables);
RFC_RC SAP_API RfcReceiveU(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables, rfc_char_t** exception);
RFC_RC SAP_API RfcCallReceiveU(RFC_HANDLE handle, rfc_char_t* function, RFC_PARAMETER* exporting, RFC_PARAMETER* importing,
                               RFC_TABLE* tables, rfc_char_t** exception);
RFC_RC SAP_API RfcListenU(RFC_HANDLE handle);
RFC_RC SAP_API RfcWaitForRequestU(RFC_HANDLE handle, RFC_INT seconds);
RFC_RC SAP_API RfcCancelU(RFC_HANDLE handle, RFC_CANCEL_TYPE type);

// Transactional RFC
RFC_RC SAP_API RfcCreateTransIDU(RFC_HANDLE handle, rfc_char_t* tid);
RFC_RC SAP_API RfcIndirectCallExU(RFC_HANDLE handle, rfc_char_t* function, RFC_PARAMETER* exporting, RFC_TABLE* tables,
                                  rfc_char_t* tid);
RFC_RC SAP_API RfcConfirmTransIDU(RFC_HANDLE handle, rfc_char_t* tid);

// Logon ticket
RFC_RC SAP_API RfcGetTicketU(RFC_HANDLE handle, RFC_CHAR* ticket);

// Internal tables (row numbers from 1)
ITAB_H SAP_API ItCreateU(SAP_UC* name, unsigned leng, unsigned occu, unsigned memo);
int SAP_API ItDeleteU(ITAB_H itab);
int SAP_API ItFreeU(ITAB_H itab);
void* SAP_API ItAppLineU(ITAB_H itab);
void* SAP_API ItInsLineU(ITAB_H itab, unsigned line);
void* SAP_API ItGetLineU(ITAB_H itab, unsigned line);
void* SAP_API ItGupLineU(ITAB_H itab, unsigned line);
int SAP_API ItCpyLineU(ITAB_H itab, unsigned line, void* dest);
int SAP_API ItPutLineU(ITAB_H itab, unsigned line, void* src);
int SAP_API ItDelLineU(ITAB_H itab, unsigned line);
unsigned SAP_API ItFillU(ITAB_H itab);
unsigned SAP_API ItLengU(ITAB_H itab);

// Metadata
RFC_RC SAP_API RfcInstallUnicodeStructureU(rfc_char_t* name, RFC_UNICODE_TYPE_ELEMENT* elements, unsigned entries, unsigned flag,
                                           RFC_STRUCT_TYPE_ID identifier, RFC_TYPEHANDLE* typeHandle);
RFC_RC SAP_API RfcGetFunctionInfoAsTableU(RFC_HANDLE handle, SAP_CHAR* functionName, ITAB_H* itabFunInfo, rfc_char_t** exception);
RFC_RC SAP_API RfcGetStructureInfoFlatU(RFC_HANDLE handle, SAP_CHAR* structName, int install, unsigned* cntHeads,
                                        RFC_TYPE_HEAD** heads, unsigned* cntFields, RFC_UNICODE_TYPE_ELEMENT** fields,
                                        RFCTYPE* typeKind, unsigned* b1Length, unsigned* b2Length, unsigned* b4Length,
                                        RFC_STRUCT_TYPE_ID* structId, RFC_TYPEHANDLE* typeHandle, rfc_char_t** exception);
void SAP_API RfcReleaseStructInfoU(RFC_TYPE_HEAD* heads, RFC_UNICODE_TYPE_ELEMENT* fields);
RFC_RC SAP_API RfcGetStructureInfoAsTableU(RFC_HANDLE handle, SAP_CHAR* structName, ITAB_H* itabStruct, ITAB_H* itabHeads,
                                           RFCTYPE* typeKind, unsigned* b1Length, unsigned* b2Length, unsigned* b4Length,
                                           RFC_STRUCT_TYPE_ID* structId, rfc_char_t** exception);
RFC_RC SAP_API RfcExidToRfcTypeU(SAP_CHAR exid, RFCTYPE* type);

// Values
int SAP_API RfcConvertCharToBcdU(RFC_CHAR* in, int inLength, int* decimals, RFC_BCD* out, int outLength);
int SAP_API RfcConvertBcdToCharU(RFC_BCD* in, int inLength, int decimals, RFC_CHAR* out, int outLength);
RFC_STRING SAP_API RfcAllocStringU(unsigned size);
void SAP_API RfcFreeStringU(RFC_STRING string);
RFC_RC SAP_API RfcResizeXStringU(RFC_XSTRING* xstring, RFC_INT length);

// Server
RFC_HANDLE SAP_API RfcAcceptU(rfc_char_t** argv);
RFC_RC SAP_API RfcInstallFunctionU(rfc_char_t* name, RFC_ONCALL function, rfc_char_t* docu);
RFC_RC SAP_API RfcUninstallFunctionU(rfc_char_t* name);
RFC_RC SAP_API RfcDispatchU(RFC_HANDLE handle);
RFC_RC SAP_API RfcGetNameU(RFC_HANDLE handle, rfc_char_t* name);
RFC_RC SAP_API RfcGetDataU(RFC_HANDLE handle, RFC_PARAMETER* importing, RFC_TABLE* tables);
RFC_RC SAP_API RfcSendDataU(RFC_HANDLE handle, RFC_PARAMETER* exporting, RFC_TABLE* tables);
RFC_RC SAP_API RfcRaiseU(RFC_HANDLE handle, rfc_char_t* exception);
RFC_RC SAP_API RfcRaiseTablesU(RFC_HANDLE handle, rfc_char_t* exception, RFC_TABLE* tables);
RFC_RC SAP_API RfcRaiseErrorMessageU(RFC_HANDLE handle, rfc_char_t* exception, RFC_TABLE* tables, rfc_char_t* message);
RFC_RC SAP_API RfcGetCallInfoU(RFC_HANDLE handle, RFC_CALL_INFO* info);
RFC_RC SAP_API RfcAttachContextU(RFC_HANDLE handle, RFC_ON_DISCONNECT onDisconnect, RFC_ON_FREE onFree, void* context);
RFC_RC SAP_API RfcGetAttachedContextU(RFC_HANDLE handle, void** context, int* fromCarrier);
RFC_RC SAP_API RfcDetachContextU(RFC_HANDLE handle, RFC_ON_DISCONNECT* onDisconnect, RFC_ON_FREE* onFree, void** context);
void SAP_API RfcInstallTransactionControl2U(RFC_ON_CHECK_TID_EX onCheck, RFC_ON_COMMIT_EX onCommit, RFC_ON_ROLLBACK_EX onRollback,
                                            RFC_ON_CONFIRM_TID_EX onConfirm);
RFC_RC SAP_API RfcInstallExternalLogonHandlerU(RFC_HANDLE handle, RFC_EXTERNAL_LOGON handler);

} // extern "C"
