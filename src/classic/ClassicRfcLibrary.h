#pragma once
// The binding to SAP's classic RFC library, librfc32u.dll, bound explicitly on first use
// (session/SapLibrary.h says why). A failure to bind is message 542 at a session's Connect or a
// server's Serve, and the next attempt tries again.
#include "ClassicRfcApi.h"
#include "session/SapLibrary.h"

namespace classic {

#define CLASSIC_RFC_ENTRY_POINTS(X)                                                                               \
    X(RfcInitU, void, ())                                                                                          \
    X(RfcOpenExU, RFC_HANDLE, (rfc_char_t*, RFC_ERROR_INFO_EX*))                                                   \
    X(RfcCloseU, void, (RFC_HANDLE))                                                                               \
    X(RfcSetSystemTimeoutU, RFC_RC, (RFC_INT))                                                                     \
    X(RfcLastErrorExU, int, (RFC_ERROR_INFO_EX*))                                                                  \
    X(RfcCallExU, RFC_RC, (RFC_HANDLE, rfc_char_t*, RFC_PARAMETER*, RFC_PARAMETER*, RFC_TABLE*))                   \
    X(RfcReceiveExU, RFC_RC, (RFC_HANDLE, RFC_PARAMETER*, RFC_PARAMETER*, RFC_TABLE*, rfc_char_t**))               \
    X(RfcCallReceiveExU, RFC_RC,                                                                                   \
      (RFC_HANDLE, rfc_char_t*, RFC_PARAMETER*, RFC_PARAMETER*, RFC_PARAMETER*, RFC_TABLE*, rfc_char_t**))         \
    X(RfcListenU, RFC_RC, (RFC_HANDLE))                                                                            \
    X(RfcCancelU, RFC_RC, (RFC_HANDLE, RFC_CANCEL_TYPE))                                                           \
    X(RfcCreateTransIDU, RFC_RC, (RFC_HANDLE, rfc_char_t*))                                                        \
    X(RfcIndirectCallExU, RFC_RC, (RFC_HANDLE, rfc_char_t*, RFC_PARAMETER*, RFC_TABLE*, rfc_char_t*))              \
    X(RfcConfirmTransIDU, RFC_RC, (RFC_HANDLE, rfc_char_t*))                                                       \
    X(RfcGetTicketU, RFC_RC, (RFC_HANDLE, RFC_CHAR*))                                                              \
    X(ItCreateU, ITAB_H, (SAP_UC*, unsigned, unsigned, unsigned))                                                  \
    X(ItDeleteU, int, (ITAB_H))                                                                                    \
    X(ItAppLineU, void*, (ITAB_H))                                                                                 \
    X(ItGetLineU, void*, (ITAB_H, unsigned))                                                                       \
    X(ItCpyLineU, int, (ITAB_H, unsigned, void*))                                                                  \
    X(ItFillU, unsigned, (ITAB_H))                                                                                 \
    X(RfcGetFunctionInfoAsTableU, RFC_RC, (RFC_HANDLE, SAP_UC*, ITAB_H*, rfc_char_t**))                            \
    X(RfcGetStructureInfoFlatU, RFC_RC,                                                                            \
      (RFC_HANDLE, SAP_UC*, int, unsigned*, RFC_TYPE_HEAD**, unsigned*, RFC_UNICODE_TYPE_ELEMENT**, RFCTYPE*,      \
       unsigned*, unsigned*, unsigned*, RFC_BYTE*, RFC_TYPEHANDLE*, rfc_char_t**))                                 \
    X(RfcReleaseStructInfoU, void, (RFC_TYPE_HEAD*, RFC_UNICODE_TYPE_ELEMENT*))                                    \
    X(RfcInstallUnicodeStructureU, RFC_RC,                                                                         \
      (rfc_char_t*, RFC_UNICODE_TYPE_ELEMENT*, unsigned, unsigned, RFC_BYTE*, RFC_TYPEHANDLE*))                    \
    X(RfcAllocStringU, RFC_STRING, (unsigned))                                                                     \
    X(RfcFreeStringU, void, (RFC_STRING))                                                                          \
    X(RfcResizeXStringU, RFC_RC, (RFC_XSTRING*, RFC_INT))                                                          \
    X(RfcAcceptU, RFC_HANDLE, (rfc_char_t**))                                                                      \
    X(RfcAttachContextU, RFC_RC, (RFC_HANDLE, RFC_ON_DISCONNECT, RFC_ON_FREE, void*))                              \
    X(RfcGetAttachedContextU, RFC_RC, (RFC_HANDLE, void**, int*))                                                  \
    X(RfcDispatchU, RFC_RC, (RFC_HANDLE))                                                                          \
    X(RfcInstallFunctionU, RFC_RC, (rfc_char_t*, RFC_ONCALL, rfc_char_t*))                                         \
    X(RfcUninstallFunctionU, RFC_RC, (rfc_char_t*))                                                                \
    X(RfcInstallTransactionControl2U, void,                                                                        \
      (RFC_ON_CHECK_TID_EX, RFC_ON_COMMIT_EX, RFC_ON_ROLLBACK_EX, RFC_ON_CONFIRM_TID_EX))                          \
    X(RfcInstallExternalLogonHandlerU, RFC_RC, (RFC_HANDLE, RFC_EXTERNAL_LOGON))                                   \
    X(RfcGetNameU, RFC_RC, (RFC_HANDLE, rfc_char_t*))                                                              \
    X(RfcGetDataU, RFC_RC, (RFC_HANDLE, RFC_PARAMETER*, RFC_TABLE*))                                               \
    X(RfcSendDataU, RFC_RC, (RFC_HANDLE, RFC_PARAMETER*, RFC_TABLE*))                                              \
    X(RfcRaiseErrorMessageU, RFC_RC, (RFC_HANDLE, rfc_char_t*, RFC_TABLE*, rfc_char_t*))

// One pointer per entry point, all found or none.
SAP_LIBRARY_TABLE(EntryPoints, CLASSIC_RFC_ENTRY_POINTS);

// The library's entry points, bound (and initialised for threads) on the first call; throws
// MessageError 542 when the library or one of its entry points is missing.
const EntryPoints& Library();

} // namespace classic
