// The records' sizes and offsets as the library lays them out: a caller built against the real
// library's layout must find every field where the stand-in puts it. Where pointers move things,
// W(x64, x86) gives both bitnesses' figures.
#include "include/NwRfcAbi.h"

#include <cstddef>

#define AT(type, field, offset) static_assert(offsetof(type, field) == (offset), #type "." #field)

namespace {
constexpr std::size_t W(std::size_t x64, std::size_t x86) { return sizeof(void*) == 8 ? x64 : x86; }
} // namespace

static_assert(sizeof(SAP_UC) == 2);
static_assert(sizeof(RFC_INT8) == 8 && sizeof(RFC_INT2) == 2 && sizeof(RFC_INT) == 4 && sizeof(RFC_FLOAT) == 8);
static_assert(sizeof(RFC_DATE) == 16 && sizeof(RFC_TIME) == 12);
static_assert(sizeof(RFC_TID) == 50 && sizeof(RFC_UNITID) == 66);
static_assert(sizeof(RFC_ABAP_NAME) == 62 && sizeof(RFC_PARAMETER_DEFVALUE) == 62 && sizeof(RFC_PARAMETER_TEXT) == 160);
static_assert(sizeof(RFC_RC) == 4 && sizeof(RFCTYPE) == 4 && sizeof(RFC_DIRECTION) == 4 && sizeof(RFC_ERROR_GROUP) == 4);
static_assert(sizeof(RFC_CONNECTION_HANDLE) == sizeof(void*) && sizeof(DATA_CONTAINER_HANDLE) == sizeof(void*));

static_assert(sizeof(RFC_ERROR_INFO) == 1752 && alignof(RFC_ERROR_INFO) == 4);
AT(RFC_ERROR_INFO, code, 0);
AT(RFC_ERROR_INFO, group, 4);
AT(RFC_ERROR_INFO, key, 8);
AT(RFC_ERROR_INFO, message, 264);
AT(RFC_ERROR_INFO, abapMsgClass, 1288);
AT(RFC_ERROR_INFO, abapMsgType, 1330);
AT(RFC_ERROR_INFO, abapMsgNumber, 1334);
AT(RFC_ERROR_INFO, abapMsgV1, 1342);
AT(RFC_ERROR_INFO, abapMsgV2, 1444);
AT(RFC_ERROR_INFO, abapMsgV3, 1546);
AT(RFC_ERROR_INFO, abapMsgV4, 1648);

static_assert(sizeof(RFC_CONNECTION_PARAMETER) == W(16, 8) && alignof(RFC_CONNECTION_PARAMETER) == W(8, 4));
AT(RFC_CONNECTION_PARAMETER, name, 0);
AT(RFC_CONNECTION_PARAMETER, value, W(8, 4));

static_assert(sizeof(RFC_PARAMETER_DESC) == W(328, 316) && alignof(RFC_PARAMETER_DESC) == W(8, 4));
AT(RFC_PARAMETER_DESC, name, 0);
AT(RFC_PARAMETER_DESC, type, 64);
AT(RFC_PARAMETER_DESC, direction, 68);
AT(RFC_PARAMETER_DESC, nucLength, 72);
AT(RFC_PARAMETER_DESC, ucLength, 76);
AT(RFC_PARAMETER_DESC, decimals, 80);
AT(RFC_PARAMETER_DESC, typeDescHandle, W(88, 84));
AT(RFC_PARAMETER_DESC, defaultValue, W(96, 88));
AT(RFC_PARAMETER_DESC, parameterText, W(158, 150));
AT(RFC_PARAMETER_DESC, optional, W(318, 310));
AT(RFC_PARAMETER_DESC, extendedDescription, W(320, 312));

static_assert(sizeof(RFC_FIELD_DESC) == W(104, 96) && alignof(RFC_FIELD_DESC) == W(8, 4));
AT(RFC_FIELD_DESC, name, 0);
AT(RFC_FIELD_DESC, type, 64);
AT(RFC_FIELD_DESC, nucLength, 68);
AT(RFC_FIELD_DESC, nucOffset, 72);
AT(RFC_FIELD_DESC, ucLength, 76);
AT(RFC_FIELD_DESC, ucOffset, 80);
AT(RFC_FIELD_DESC, decimals, 84);
AT(RFC_FIELD_DESC, typeDescHandle, 88);
AT(RFC_FIELD_DESC, extendedDescription, W(96, 92));

static_assert(sizeof(RFC_EXCEPTION_DESC) == 1280 && alignof(RFC_EXCEPTION_DESC) == 2);
AT(RFC_EXCEPTION_DESC, key, 0);
AT(RFC_EXCEPTION_DESC, message, 256);

static_assert(sizeof(RFC_ATTRIBUTES) == 1118 && alignof(RFC_ATTRIBUTES) == 2);
AT(RFC_ATTRIBUTES, dest, 0);
AT(RFC_ATTRIBUTES, host, 130);
AT(RFC_ATTRIBUTES, partnerHost, 332);
AT(RFC_ATTRIBUTES, sysNumber, 534);
AT(RFC_ATTRIBUTES, sysId, 540);
AT(RFC_ATTRIBUTES, client, 558);
AT(RFC_ATTRIBUTES, user, 566);
AT(RFC_ATTRIBUTES, language, 592);
AT(RFC_ATTRIBUTES, trace, 598);
AT(RFC_ATTRIBUTES, isoLanguage, 602);
AT(RFC_ATTRIBUTES, codepage, 608);
AT(RFC_ATTRIBUTES, partnerCodepage, 618);
AT(RFC_ATTRIBUTES, rfcRole, 628);
AT(RFC_ATTRIBUTES, type, 632);
AT(RFC_ATTRIBUTES, partnerType, 636);
AT(RFC_ATTRIBUTES, rel, 640);
AT(RFC_ATTRIBUTES, partnerRel, 650);
AT(RFC_ATTRIBUTES, kernelRel, 660);
AT(RFC_ATTRIBUTES, cpicConvId, 670);
AT(RFC_ATTRIBUTES, progName, 688);
AT(RFC_ATTRIBUTES, partnerBytesPerChar, 946);
AT(RFC_ATTRIBUTES, partnerSystemCodepage, 950);
AT(RFC_ATTRIBUTES, partnerIP, 960);
AT(RFC_ATTRIBUTES, partnerIPv6, 992);
AT(RFC_ATTRIBUTES, reserved, 1084);

static_assert(sizeof(RFC_SECURITY_ATTRIBUTES) == W(72, 36) && alignof(RFC_SECURITY_ATTRIBUTES) == W(8, 4));
AT(RFC_SECURITY_ATTRIBUTES, functionName, 0);
AT(RFC_SECURITY_ATTRIBUTES, sysId, W(8, 4));
AT(RFC_SECURITY_ATTRIBUTES, client, W(16, 8));
AT(RFC_SECURITY_ATTRIBUTES, user, W(24, 12));
AT(RFC_SECURITY_ATTRIBUTES, progName, W(32, 16));
AT(RFC_SECURITY_ATTRIBUTES, sncName, W(40, 20));
AT(RFC_SECURITY_ATTRIBUTES, ssoTicket, W(48, 24));
AT(RFC_SECURITY_ATTRIBUTES, sncAclKey, W(56, 28));
AT(RFC_SECURITY_ATTRIBUTES, sncAclKeyLength, W(64, 32));

static_assert(sizeof(RFC_SERVER_CONTEXT) == W(160, 144));
AT(RFC_SERVER_CONTEXT, type, 0);
AT(RFC_SERVER_CONTEXT, tid, 4);
AT(RFC_SERVER_CONTEXT, unitIdentifier, 56);
AT(RFC_SERVER_CONTEXT, unitAttributes, W(64, 60));
AT(RFC_SERVER_CONTEXT, isStateful, W(72, 64));
AT(RFC_SERVER_CONTEXT, sessionID, W(76, 68));
AT(RFC_SERVER_CONTEXT, queueNamesCount, W(144, 136));
AT(RFC_SERVER_CONTEXT, queueNames, W(152, 140));

static_assert(sizeof(RFC_UNIT_IDENTIFIER) == 68 && alignof(RFC_UNIT_IDENTIFIER) == 2);
AT(RFC_UNIT_IDENTIFIER, unitID, 2);
static_assert(sizeof(RFC_UNIT_ATTRIBUTES) == 278 && alignof(RFC_UNIT_ATTRIBUTES) == 2);
AT(RFC_UNIT_ATTRIBUTES, user, 10);
AT(RFC_UNIT_ATTRIBUTES, client, 36);
AT(RFC_UNIT_ATTRIBUTES, tCode, 44);
AT(RFC_UNIT_ATTRIBUTES, program, 86);
AT(RFC_UNIT_ATTRIBUTES, hostname, 168);
AT(RFC_UNIT_ATTRIBUTES, sendingDate, 250);
AT(RFC_UNIT_ATTRIBUTES, sendingTime, 266);
