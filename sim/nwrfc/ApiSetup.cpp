// Setup (version, trace, ini file), the server's installed callbacks and the texts of codes.
#include "ApiBoundary.h"
#include "Connection.h"
#include "DestinationTrace.h"
#include "IniFile.h"
#include "ServerHandlers.h"

#include <array>

using namespace nwrfc;

namespace {

// The version of this stand-in, deliberately unlike any release of the real library.
constexpr unsigned versionMajor = 1;
constexpr unsigned versionMinor = 1;
constexpr unsigned versionPatch = 0;

constexpr unsigned maxTraceLevel = 4;

} // namespace

extern "C" {

const SAP_UC* SAP_API RfcGetVersion(unsigned* majorVersion, unsigned* minorVersion, unsigned* patchLevel)
{
    if (majorVersion != nullptr)
        *majorVersion = versionMajor;
    if (minorVersion != nullptr)
        *minorVersion = versionMinor;
    if (patchLevel != nullptr)
        *patchLevel = versionPatch;
    return L"sapsim stand-in NetWeaver RFC library 1.1.0";
}

RFC_RC SAP_API RfcInit(void)
{
    return RFC_OK;
}

RFC_RC SAP_API RfcSetTraceDir(SAP_UC* traceDir, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSetTraceDir", [&] {
        require(traceDir, "traceDir");
        Trace::setDirectory(view(traceDir));
    });
}

RFC_RC SAP_API RfcSetTraceLevel(RFC_CONNECTION_HANDLE connection, SAP_UC* destination, unsigned traceLevel, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSetTraceLevel", [&] {
        if (traceLevel > maxTraceLevel)
            invalidParameter("trace levels go from 0 to " + std::to_string(maxTraceLevel));
        if (connection != nullptr)
            resolve<Connection>(connection, HandleKind::Connection, "connection").setTraceLevel(traceLevel);
        else if (destination != nullptr)
            DestinationTrace::set(toUtf8(view(destination)), traceLevel);
        else
            Trace::setLevel(traceLevel);
    });
}

RFC_RC SAP_API RfcSetIniPath(const SAP_UC* pathName, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSetIniPath", [&] {
        require(pathName, "pathName");
        IniFile::instance().setPath(view(pathName));
    });
}

RFC_RC SAP_API RfcReloadIniFile(RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcReloadIniFile", [&] { IniFile::instance().reload(); });
}

RFC_RC SAP_API RfcInstallGenericServerFunction(RFC_SERVER_FUNCTION serverFunction, RFC_FUNC_DESC_CALLBACK provider, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcInstallGenericServerFunction", [&] {
        require(reinterpret_cast<const void*>(serverFunction), "serverFunction");
        require(reinterpret_cast<const void*>(provider), "funcDescProvider");
        ServerHandlers::instance().installGeneric(serverFunction, provider);
    });
}

RFC_RC SAP_API RfcInstallServerFunction(const SAP_UC* sysId, RFC_FUNCTION_DESC_HANDLE desc, RFC_SERVER_FUNCTION serverFunction, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcInstallServerFunction", [&] {
        require(reinterpret_cast<const void*>(serverFunction), "serverFunction");
        ServerHandlers::instance().install(toUtf8(view(sysId)), functionFromHandle(desc), serverFunction);
    });
}

RFC_RC SAP_API RfcInstallAuthorizationCheckHandler(RFC_ON_AUTHORIZATION_CHECK onAuthorizationCheck, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcInstallAuthorizationCheckHandler", [&] { ServerHandlers::instance().installAuthorization(onAuthorizationCheck); });
}

RFC_RC SAP_API RfcInstallTransactionHandlers(const SAP_UC* sysId, RFC_ON_CHECK_TRANSACTION onCheck, RFC_ON_COMMIT_TRANSACTION onCommit,
                                             RFC_ON_ROLLBACK_TRANSACTION onRollback, RFC_ON_CONFIRM_TRANSACTION onConfirm, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcInstallTransactionHandlers", [&] {
        ServerHandlers::instance().installTransactions(toUtf8(view(sysId)), {onCheck, onCommit, onRollback, onConfirm});
    });
}

const SAP_UC* SAP_API RfcGetRcAsString(RFC_RC rc)
{
    static const std::array<const SAP_UC*, 34> names = {
        L"RFC_OK", L"RFC_COMMUNICATION_FAILURE", L"RFC_LOGON_FAILURE", L"RFC_ABAP_RUNTIME_FAILURE", L"RFC_ABAP_MESSAGE",
        L"RFC_ABAP_EXCEPTION", L"RFC_CLOSED", L"RFC_CANCELED", L"RFC_TIMEOUT", L"RFC_MEMORY_INSUFFICIENT",
        L"RFC_VERSION_MISMATCH", L"RFC_INVALID_PROTOCOL", L"RFC_SERIALIZATION_FAILURE", L"RFC_INVALID_HANDLE", L"RFC_RETRY",
        L"RFC_EXTERNAL_FAILURE", L"RFC_EXECUTED", L"RFC_NOT_FOUND", L"RFC_NOT_SUPPORTED", L"RFC_ILLEGAL_STATE",
        L"RFC_INVALID_PARAMETER", L"RFC_CODEPAGE_CONVERSION_FAILURE", L"RFC_CONVERSION_FAILURE", L"RFC_BUFFER_TOO_SMALL",
        L"RFC_TABLE_MOVE_BOF", L"RFC_TABLE_MOVE_EOF", L"RFC_START_SAPGUI_FAILURE", L"RFC_ABAP_CLASS_EXCEPTION",
        L"RFC_UNKNOWN_ERROR", L"RFC_AUTHORIZATION_FAILURE", L"RFC_AUTHENTICATION_FAILURE", L"RFC_CRYPTOLIB_FAILURE",
        L"RFC_IO_FAILURE", L"RFC_LOCKING_FAILURE"};
    const auto i = static_cast<size_t>(rc);
    return i < names.size() ? names[i] : L"RFC_UNKNOWN_RC";
}

const SAP_UC* SAP_API RfcGetTypeAsString(RFCTYPE type)
{
    switch (type) {
    case RFCTYPE_CHAR: return L"RFCTYPE_CHAR";
    case RFCTYPE_DATE: return L"RFCTYPE_DATE";
    case RFCTYPE_BCD: return L"RFCTYPE_BCD";
    case RFCTYPE_TIME: return L"RFCTYPE_TIME";
    case RFCTYPE_BYTE: return L"RFCTYPE_BYTE";
    case RFCTYPE_TABLE: return L"RFCTYPE_TABLE";
    case RFCTYPE_NUM: return L"RFCTYPE_NUM";
    case RFCTYPE_FLOAT: return L"RFCTYPE_FLOAT";
    case RFCTYPE_INT: return L"RFCTYPE_INT";
    case RFCTYPE_INT2: return L"RFCTYPE_INT2";
    case RFCTYPE_INT1: return L"RFCTYPE_INT1";
    case RFCTYPE_NULL: return L"RFCTYPE_NULL";
    case RFCTYPE_ABAPOBJECT: return L"RFCTYPE_ABAPOBJECT";
    case RFCTYPE_STRUCTURE: return L"RFCTYPE_STRUCTURE";
    case RFCTYPE_DECF16: return L"RFCTYPE_DECF16";
    case RFCTYPE_DECF34: return L"RFCTYPE_DECF34";
    case RFCTYPE_XMLDATA: return L"RFCTYPE_XMLDATA";
    case RFCTYPE_STRING: return L"RFCTYPE_STRING";
    case RFCTYPE_XSTRING: return L"RFCTYPE_XSTRING";
    case RFCTYPE_INT8: return L"RFCTYPE_INT8";
    case RFCTYPE_UTCLONG: return L"RFCTYPE_UTCLONG";
    case RFCTYPE_UTCSECOND: return L"RFCTYPE_UTCSECOND";
    case RFCTYPE_UTCMINUTE: return L"RFCTYPE_UTCMINUTE";
    case RFCTYPE_DTDAY: return L"RFCTYPE_DTDAY";
    case RFCTYPE_DTWEEK: return L"RFCTYPE_DTWEEK";
    case RFCTYPE_DTMONTH: return L"RFCTYPE_DTMONTH";
    case RFCTYPE_TSECOND: return L"RFCTYPE_TSECOND";
    case RFCTYPE_TMINUTE: return L"RFCTYPE_TMINUTE";
    case RFCTYPE_CDAY: return L"RFCTYPE_CDAY";
    case RFCTYPE_BOX: return L"RFCTYPE_BOX";
    case RFCTYPE_GENERIC_BOX: return L"RFCTYPE_GENERIC_BOX";
    default: return L"RFCTYPE_UNKNOWN";
    }
}

const SAP_UC* SAP_API RfcGetDirectionAsString(RFC_DIRECTION direction)
{
    switch (direction) {
    case RFC_IMPORT: return L"RFC_IMPORT";
    case RFC_EXPORT: return L"RFC_EXPORT";
    case RFC_CHANGING: return L"RFC_CHANGING";
    case RFC_TABLES: return L"RFC_TABLES";
    default: return L"RFC_UNKNOWN_DIRECTION";
    }
}

} // extern "C"
