// The records' sizes and offsets as SAP's classic library lays them out: a caller built against
// the real library's layout must find every field where the stand-in puts it. Pointer-holding
// records differ between 32 and 64 bits; both layouts are pinned.
#include "include/ClassicRfcAbi.h"

#include <cstddef>

#define AT(type, field, offset) static_assert(offsetof(type, field) == (offset), #type "." #field)

static_assert(sizeof(SAP_UC) == 2);
static_assert(sizeof(RFC_HANDLE) == 4 && sizeof(RFC_TYPEHANDLE) == 4, "handles are 32-bit on every platform");
static_assert(sizeof(RFC_RC) == 4 && sizeof(RFC_ERROR_GROUP) == 4 && sizeof(RFC_ITMODE) == 4);
static_assert(sizeof(RFC_INT) == 4 && sizeof(RFC_INT2) == 2 && sizeof(RFC_FLOAT) == 8 && sizeof(RFC_INT1) == 1);
static_assert(sizeof(RFC_DATE) == 16 && sizeof(RFC_TIME) == 12);
static_assert(sizeof(RFC_FUNCTIONNAME) == 62 && sizeof(RFC_TID) == 50 && sizeof(RFC_STRUCT_TYPE_ID) == 16);

static_assert(sizeof(RFC_ERROR_INFO_EX) == 1096);
AT(RFC_ERROR_INFO_EX, group, 0);
AT(RFC_ERROR_INFO_EX, key, 4);
AT(RFC_ERROR_INFO_EX, message, 70);

static_assert(sizeof(RFC_ATTRIBUTES) == 1108);
static_assert(sizeof(RFC_EXTERNAL_LOGON_CNTL) == 1168);
static_assert(sizeof(RFC_U_FUNINT) == 420);
AT(RFC_U_FUNINT, Paramclass, 0);
AT(RFC_U_FUNINT, Parameter, 2);
AT(RFC_U_FUNINT, Tabname, 62);
AT(RFC_U_FUNINT, Fieldname, 122);
AT(RFC_U_FUNINT, Exid, 182);
AT(RFC_U_FUNINT, Position, 184);
AT(RFC_U_FUNINT, Offset_b1, 188);
AT(RFC_U_FUNINT, Length_b1, 192);
AT(RFC_U_FUNINT, Offset_b2, 196);
AT(RFC_U_FUNINT, Length_b2, 200);
AT(RFC_U_FUNINT, Offset_b4, 204);
AT(RFC_U_FUNINT, Length_b4, 208);
AT(RFC_U_FUNINT, Decimals, 212);
AT(RFC_U_FUNINT, Default, 216);
AT(RFC_U_FUNINT, Paramtext, 258);
AT(RFC_U_FUNINT, Optional, 416);

static_assert(sizeof(RFC_U_FIELDS) == 156);
AT(RFC_U_FIELDS, Tabname, 0);
AT(RFC_U_FIELDS, Fieldname, 60);
AT(RFC_U_FIELDS, Position, 120);
AT(RFC_U_FIELDS, Exid, 124);
AT(RFC_U_FIELDS, Decimals, 128);
AT(RFC_U_FIELDS, Offset_b1, 132);
AT(RFC_U_FIELDS, Length_b1, 136);
AT(RFC_U_FIELDS, Offset_b2, 140);
AT(RFC_U_FIELDS, Length_b2, 144);
AT(RFC_U_FIELDS, Offset_b4, 148);
AT(RFC_U_FIELDS, Length_b4, 152);

#if defined(_WIN64)
static_assert(sizeof(RFC_PARAMETER) == 32);
AT(RFC_PARAMETER, name, 0);
AT(RFC_PARAMETER, nlen, 8);
AT(RFC_PARAMETER, type, 12);
AT(RFC_PARAMETER, leng, 16);
AT(RFC_PARAMETER, addr, 24);

static_assert(sizeof(RFC_TABLE) == 40);
AT(RFC_TABLE, name, 0);
AT(RFC_TABLE, nlen, 8);
AT(RFC_TABLE, type, 12);
AT(RFC_TABLE, leng, 16);
AT(RFC_TABLE, ithandle, 24);
AT(RFC_TABLE, itmode, 32);
AT(RFC_TABLE, newitab, 36);

static_assert(sizeof(RFC_UNICODE_TYPE_ELEMENT) == 40);
AT(RFC_UNICODE_TYPE_ELEMENT, name, 0);
AT(RFC_UNICODE_TYPE_ELEMENT, type, 8);
AT(RFC_UNICODE_TYPE_ELEMENT, decimals, 12);
AT(RFC_UNICODE_TYPE_ELEMENT, c1_length, 16);
AT(RFC_UNICODE_TYPE_ELEMENT, c1_offset, 20);
AT(RFC_UNICODE_TYPE_ELEMENT, c2_length, 24);
AT(RFC_UNICODE_TYPE_ELEMENT, c2_offset, 28);
AT(RFC_UNICODE_TYPE_ELEMENT, c4_length, 32);
AT(RFC_UNICODE_TYPE_ELEMENT, c4_offset, 36);

static_assert(sizeof(RFC_XSTRING) == 16);
#elif defined(_WIN32)
static_assert(sizeof(RFC_PARAMETER) == 20);
AT(RFC_PARAMETER, addr, 16);
static_assert(sizeof(RFC_TABLE) == 28);
AT(RFC_TABLE, ithandle, 16);
AT(RFC_TABLE, newitab, 24);
static_assert(sizeof(RFC_UNICODE_TYPE_ELEMENT) == 36);
AT(RFC_UNICODE_TYPE_ELEMENT, c2_offset, 24);
static_assert(sizeof(RFC_XSTRING) == 8);
#endif
