#pragma once
// The binding to SAP's NetWeaver RFC library, sapnwrfc.dll, bound explicitly on first use
// (session/SapLibrary.h says why). A failure to bind is message 547 at a session's Connect or a
// server's Serve; a later attempt, after the client fixed nwrfc.path, tries again.
#include "NWRfcApi.h"
#include "session/SapLibrary.h"

namespace nwrfc {

#define NWRFC_ENTRY_POINTS(X)                                                                                        \
    X(RfcGetVersion, const SAP_UC*, (unsigned*, unsigned*, unsigned*))                                               \
    X(RfcSetTraceDir, RFC_RC, (SAP_UC*, RFC_ERROR_INFO*))                                                             \
    X(RfcSetTraceLevel, RFC_RC, (RFC_CONNECTION_HANDLE, SAP_UC*, unsigned, RFC_ERROR_INFO*))                         \
    X(RfcSetIniPath, RFC_RC, (const SAP_UC*, RFC_ERROR_INFO*))                                                        \
    X(RfcReloadIniFile, RFC_RC, (RFC_ERROR_INFO*))                                                                    \
    X(RfcOpenConnection, RFC_CONNECTION_HANDLE, (const RFC_CONNECTION_PARAMETER*, unsigned, RFC_ERROR_INFO*))        \
    X(RfcCloseConnection, RFC_RC, (RFC_CONNECTION_HANDLE, RFC_ERROR_INFO*))                                           \
    X(RfcGetFunctionDesc, RFC_FUNCTION_DESC_HANDLE, (RFC_CONNECTION_HANDLE, const SAP_UC*, RFC_ERROR_INFO*))         \
    X(RfcGetParameterCount, RFC_RC, (RFC_FUNCTION_DESC_HANDLE, unsigned*, RFC_ERROR_INFO*))                          \
    X(RfcGetParameterDescByIndex, RFC_RC, (RFC_FUNCTION_DESC_HANDLE, unsigned, RFC_PARAMETER_DESC*, RFC_ERROR_INFO*)) \
    X(RfcGetTypeDesc, RFC_TYPE_DESC_HANDLE, (RFC_CONNECTION_HANDLE, const SAP_UC*, RFC_ERROR_INFO*))                 \
    X(RfcGetFieldCount, RFC_RC, (RFC_TYPE_DESC_HANDLE, unsigned*, RFC_ERROR_INFO*))                                  \
    X(RfcGetFieldDescByIndex, RFC_RC, (RFC_TYPE_DESC_HANDLE, unsigned, RFC_FIELD_DESC*, RFC_ERROR_INFO*))             \
    X(RfcGetTypeName, RFC_RC, (RFC_TYPE_DESC_HANDLE, RFC_CHAR*, RFC_ERROR_INFO*))                                     \
    X(RfcGetTypeLength, RFC_RC, (RFC_TYPE_DESC_HANDLE, unsigned*, unsigned*, RFC_ERROR_INFO*))                        \
    X(RfcCreateFunctionDesc, RFC_FUNCTION_DESC_HANDLE, (const SAP_UC*, RFC_ERROR_INFO*))                              \
    X(RfcAddParameter, RFC_RC, (RFC_FUNCTION_DESC_HANDLE, const RFC_PARAMETER_DESC*, RFC_ERROR_INFO*))               \
    X(RfcCreateTypeDesc, RFC_TYPE_DESC_HANDLE, (const SAP_UC*, RFC_ERROR_INFO*))                                      \
    X(RfcAddTypeField, RFC_RC, (RFC_TYPE_DESC_HANDLE, const RFC_FIELD_DESC*, RFC_ERROR_INFO*))                       \
    X(RfcSetTypeLength, RFC_RC, (RFC_TYPE_DESC_HANDLE, unsigned, unsigned, RFC_ERROR_INFO*))                          \
    X(RfcCreateFunction, RFC_FUNCTION_HANDLE, (RFC_FUNCTION_DESC_HANDLE, RFC_ERROR_INFO*))                            \
    X(RfcSetParameterActive, RFC_RC, (RFC_FUNCTION_HANDLE, const SAP_UC*, int, RFC_ERROR_INFO*))                     \
    X(RfcInvoke, RFC_RC, (RFC_CONNECTION_HANDLE, RFC_FUNCTION_HANDLE, RFC_ERROR_INFO*))                               \
    X(RfcDestroyFunction, RFC_RC, (RFC_FUNCTION_HANDLE, RFC_ERROR_INFO*))                                             \
    X(RfcGetTransactionID, RFC_RC, (RFC_CONNECTION_HANDLE, SAP_UC*, RFC_ERROR_INFO*))                                 \
    X(RfcCreateTransaction, RFC_TRANSACTION_HANDLE, (RFC_CONNECTION_HANDLE, SAP_UC*, const SAP_UC*, RFC_ERROR_INFO*)) \
    X(RfcInvokeInTransaction, RFC_RC, (RFC_TRANSACTION_HANDLE, RFC_FUNCTION_HANDLE, RFC_ERROR_INFO*))                 \
    X(RfcSubmitTransaction, RFC_RC, (RFC_TRANSACTION_HANDLE, RFC_ERROR_INFO*))                                        \
    X(RfcConfirmTransaction, RFC_RC, (RFC_TRANSACTION_HANDLE, RFC_ERROR_INFO*))                                       \
    X(RfcDestroyTransaction, RFC_RC, (RFC_TRANSACTION_HANDLE, RFC_ERROR_INFO*))                                       \
    X(RfcGetChars, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_CHAR*, unsigned, RFC_ERROR_INFO*))              \
    X(RfcGetDate, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_CHAR*, RFC_ERROR_INFO*))                         \
    X(RfcGetTime, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_CHAR*, RFC_ERROR_INFO*))                         \
    X(RfcGetFloat, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_FLOAT*, RFC_ERROR_INFO*))                       \
    X(RfcGetInt, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_INT*, RFC_ERROR_INFO*))                           \
    X(RfcGetInt1, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_INT1*, RFC_ERROR_INFO*))                         \
    X(RfcGetInt2, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_INT2*, RFC_ERROR_INFO*))                         \
    X(RfcGetStringLength, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, unsigned*, RFC_ERROR_INFO*))                 \
    X(RfcGetXString, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, SAP_RAW*, unsigned, unsigned*, RFC_ERROR_INFO*))  \
    X(RfcSetChars, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, const RFC_CHAR*, unsigned, RFC_ERROR_INFO*))        \
    X(RfcSetNum, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, const RFC_NUM*, unsigned, RFC_ERROR_INFO*))           \
    X(RfcSetDate, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, const RFC_CHAR*, RFC_ERROR_INFO*))                   \
    X(RfcSetTime, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, const RFC_CHAR*, RFC_ERROR_INFO*))                   \
    X(RfcSetFloat, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_FLOAT, RFC_ERROR_INFO*))                        \
    X(RfcSetInt, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_INT, RFC_ERROR_INFO*))                            \
    X(RfcSetInt1, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_INT1, RFC_ERROR_INFO*))                          \
    X(RfcSetInt2, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_INT2, RFC_ERROR_INFO*))                          \
    X(RfcSetString, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, const SAP_UC*, unsigned, RFC_ERROR_INFO*))         \
    X(RfcSetXString, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, const SAP_RAW*, unsigned, RFC_ERROR_INFO*))       \
    X(RfcGetStructure, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_STRUCTURE_HANDLE*, RFC_ERROR_INFO*))        \
    X(RfcGetTable, RFC_RC, (DATA_CONTAINER_HANDLE, const SAP_UC*, RFC_TABLE_HANDLE*, RFC_ERROR_INFO*))                \
    X(RfcGetRowCount, RFC_RC, (RFC_TABLE_HANDLE, unsigned*, RFC_ERROR_INFO*))                                         \
    X(RfcMoveToFirstRow, RFC_RC, (RFC_TABLE_HANDLE, RFC_ERROR_INFO*))                                                 \
    X(RfcMoveToNextRow, RFC_RC, (RFC_TABLE_HANDLE, RFC_ERROR_INFO*))                                                  \
    X(RfcGetCurrentRow, RFC_STRUCTURE_HANDLE, (RFC_TABLE_HANDLE, RFC_ERROR_INFO*))                                    \
    X(RfcAppendNewRows, RFC_RC, (RFC_TABLE_HANDLE, unsigned, RFC_ERROR_INFO*))                                        \
    X(RfcDeleteAllRows, RFC_RC, (RFC_TABLE_HANDLE, RFC_ERROR_INFO*))                                                  \
    X(RfcInstallGenericServerFunction, RFC_RC, (RFC_SERVER_FUNCTION, RFC_FUNC_DESC_CALLBACK, RFC_ERROR_INFO*))        \
    X(RfcInstallAuthorizationCheckHandler, RFC_RC, (RFC_ON_AUTHORIZATION_CHECK, RFC_ERROR_INFO*))                    \
    X(RfcInstallTransactionHandlers, RFC_RC,                                                                          \
      (const SAP_UC*, RFC_ON_TRANSACTION_STEP, RFC_ON_TRANSACTION_STEP, RFC_ON_TRANSACTION_STEP,                     \
       RFC_ON_TRANSACTION_STEP, RFC_ERROR_INFO*))                                                                     \
    X(RfcRegisterServer, RFC_CONNECTION_HANDLE, (const RFC_CONNECTION_PARAMETER*, unsigned, RFC_ERROR_INFO*))        \
    X(RfcListenAndDispatch, RFC_RC, (RFC_CONNECTION_HANDLE, int, RFC_ERROR_INFO*))                                   \
    X(RfcDescribeFunction, RFC_FUNCTION_DESC_HANDLE, (RFC_FUNCTION_HANDLE, RFC_ERROR_INFO*))                          \
    X(RfcGetFunctionName, RFC_RC, (RFC_FUNCTION_DESC_HANDLE, RFC_CHAR*, RFC_ERROR_INFO*))                             \
    X(RfcGetRcAsString, const SAP_UC*, (RFC_RC))                                                                      \
    X(RfcGetTypeAsString, const SAP_UC*, (RFCTYPE))                                                                   \
    X(RfcGetDirectionAsString, const SAP_UC*, (RFC_DIRECTION))

// One pointer per entry point, all found or none.
SAP_LIBRARY_TABLE(EntryPoints, NWRFC_ENTRY_POINTS);

using LoadFailure = tolvane::LibraryLoadFailure;

class Library {
public:
    // The entry points, binding the library on the first call; nullptr with `failure` filled
    // when it cannot be bound (a later call tries again).
    static const EntryPoints* Bind(LoadFailure& failure)
    {
        return tolvane::SapLibrary<EntryPoints>::Bind(L"sapnwrfc.dll", failure);
    }
    // The entry points once bound, else nullptr.
    static const EntryPoints* Bound() noexcept { return tolvane::SapLibrary<EntryPoints>::Bound(); }
};

} // namespace nwrfc
