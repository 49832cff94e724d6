// Value functions: fields by name in a function, structure or current table row.
#include "ApiBoundary.h"
#include "FieldAccess.h"

#include <algorithm>

using namespace nwrfc;

namespace {

using Conv = ScalarConversion;

// Characters into a fixed buffer: blank-padded, never null-terminated. The text must fit;
// only a character field's trailing blanks may be cut.
void putChars(const Ustring& image, const FieldType& type, SAP_UC* buffer, unsigned length)
{
    size_t needed = image.size();
    if (type.type == RFCTYPE_CHAR)
        needed = image.find_last_not_of(L' ') == Ustring::npos ? 0 : image.find_last_not_of(L' ') + 1;
    if (length < needed)
        bufferTooSmall("the value needs " + std::to_string(needed) + " characters, the buffer has " + std::to_string(length));
    const size_t n = std::min<size_t>(length, image.size());
    std::copy(image.begin(), image.begin() + static_cast<std::ptrdiff_t>(n), buffer);
    std::fill(buffer + n, buffer + length, L' ');
}

template <class Int>
RFC_RC getInteger(DATA_CONTAINER_HANDLE h, const SAP_UC* name, Int* value, RFC_ERROR_INFO* e, const char* api, int64_t low, int64_t high)
{
    return guarded(e, api, [&] {
        require(value, "value");
        FieldAccess::scalar(h, name, false, [&](Scalar& v, const FieldType& t) {
            const int64_t n = Conv::integer(v, t);
            if (n < low || n > high)
                conversionFailure(std::to_string(n) + " does not fit into " + std::to_string(8 * sizeof(Int)) + " bits");
            *value = static_cast<Int>(n);
        });
    });
}

RFC_RC setInteger(DATA_CONTAINER_HANDLE h, const SAP_UC* name, int64_t value, RFC_ERROR_INFO* e, const char* api)
{
    return guarded(e, api, [&] {
        FieldAccess::scalar(h, name, true, [&](Scalar& v, const FieldType& t) { Conv::setInteger(v, t, value); });
    });
}

RFC_RC setText(DATA_CONTAINER_HANDLE h, const SAP_UC* name, const SAP_UC* text, unsigned length, RFC_ERROR_INFO* e, const char* api)
{
    return guarded(e, api, [&] {
        if (length > 0)
            require(text, "value");
        FieldAccess::scalar(h, name, true, [&](Scalar& v, const FieldType& t) { Conv::setText(v, t, Uview(text == nullptr ? L"" : text, length)); });
    });
}

} // namespace

extern "C" {

RFC_RC SAP_API RfcGetChars(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_CHAR* buffer, unsigned length, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetChars", [&] {
        require(buffer, "charBuffer");
        FieldAccess::scalar(h, name, false, [&](Scalar& v, const FieldType& t) { putChars(Conv::chars(v, t), t, buffer, length); });
    });
}

RFC_RC SAP_API RfcGetNum(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_NUM* buffer, unsigned length, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetNum", [&] {
        require(buffer, "charBuffer");
        FieldAccess::scalar(h, name, false, [&](Scalar& v, const FieldType& t) {
            Ustring digits = Conv::digits(v, t);
            digits.erase(0, std::min(digits.find_first_not_of(L'0'), digits.size() - 1));
            if (digits.size() > length)
                bufferTooSmall("the value needs " + std::to_string(digits.size()) + " digits");
            std::fill(buffer, buffer + length - digits.size(), L'0');
            std::copy(digits.begin(), digits.end(), buffer + length - digits.size());
        });
    });
}

RFC_RC SAP_API RfcGetDate(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_CHAR* date, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetDate", [&] {
        require(date, "emptyDate");
        FieldAccess::scalar(h, name, false, [&](Scalar& v, const FieldType& t) {
            const Ustring d = Conv::date(v, t);
            std::copy(d.begin(), d.begin() + 8, date);
        });
    });
}

RFC_RC SAP_API RfcGetTime(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_CHAR* time, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetTime", [&] {
        require(time, "emptyTime");
        FieldAccess::scalar(h, name, false, [&](Scalar& v, const FieldType& t) {
            const Ustring d = Conv::time(v, t);
            std::copy(d.begin(), d.begin() + 6, time);
        });
    });
}

RFC_RC SAP_API RfcGetFloat(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_FLOAT* value, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetFloat", [&] {
        require(value, "value");
        FieldAccess::scalar(h, name, false, [&](Scalar& v, const FieldType& t) { *value = Conv::floating(v, t); });
    });
}

RFC_RC SAP_API RfcGetInt(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_INT* value, RFC_ERROR_INFO* e)
{
    return getInteger(h, name, value, e, "RfcGetInt", INT32_MIN, INT32_MAX);
}

RFC_RC SAP_API RfcGetInt1(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_INT1* value, RFC_ERROR_INFO* e)
{
    return getInteger(h, name, value, e, "RfcGetInt1", 0, 255);
}

RFC_RC SAP_API RfcGetInt2(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_INT2* value, RFC_ERROR_INFO* e)
{
    return getInteger(h, name, value, e, "RfcGetInt2", INT16_MIN, INT16_MAX);
}

RFC_RC SAP_API RfcGetInt8(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_INT8* value, RFC_ERROR_INFO* e)
{
    return getInteger(h, name, value, e, "RfcGetInt8", INT64_MIN, INT64_MAX);
}

RFC_RC SAP_API RfcGetBytes(DATA_CONTAINER_HANDLE h, const SAP_UC* name, SAP_RAW* buffer, unsigned length, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetBytes", [&] {
        require(buffer, "byteBuffer");
        FieldAccess::scalar(h, name, false, [&](Scalar& v, const FieldType& t) {
            const std::string bytes = Conv::bytes(v, t);
            if (bytes.size() > length)
                bufferTooSmall("the value needs " + std::to_string(bytes.size()) + " bytes");
            std::copy(bytes.begin(), bytes.end(), buffer);
            std::fill(buffer + bytes.size(), buffer + length, 0);
        });
    });
}

RFC_RC SAP_API RfcGetStringLength(DATA_CONTAINER_HANDLE h, const SAP_UC* name, unsigned* length, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetStringLength", [&] {
        require(length, "stringLength");
        FieldAccess::scalar(h, name, false, [&](Scalar& v, const FieldType& t) { *length = Conv::stringLength(v, t); });
    });
}

RFC_RC SAP_API RfcGetXString(DATA_CONTAINER_HANDLE h, const SAP_UC* name, SAP_RAW* buffer, unsigned length, unsigned* xlength, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetXString", [&] {
        require(xlength, "xstringLength");
        FieldAccess::scalar(h, name, false, [&](Scalar& v, const FieldType& t) {
            const std::string bytes = Conv::bytes(v, t);
            *xlength = static_cast<unsigned>(bytes.size());
            if (bytes.size() > length)
                bufferTooSmall("the value has " + std::to_string(bytes.size()) + " bytes");
            if (!bytes.empty())
                require(buffer, "byteBuffer");
            std::copy(bytes.begin(), bytes.end(), buffer);
        });
    });
}

RFC_RC SAP_API RfcGetString(DATA_CONTAINER_HANDLE h, const SAP_UC* name, SAP_UC* buffer, unsigned length, unsigned* slength, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcGetString", [&] {
        require(slength, "stringLength");
        FieldAccess::scalar(h, name, false, [&](Scalar& v, const FieldType& t) {
            const Ustring text = Conv::text(v, t);
            *slength = static_cast<unsigned>(text.size());
            if (text.size() + 1 > length)
                bufferTooSmall("the value needs " + std::to_string(text.size() + 1) + " characters with its terminator");
            require(buffer, "stringBuffer");
            std::copy(text.begin(), text.end(), buffer);
            buffer[text.size()] = 0;
        });
    });
}

RFC_RC SAP_API RfcSetChars(DATA_CONTAINER_HANDLE h, const SAP_UC* name, const RFC_CHAR* value, unsigned length, RFC_ERROR_INFO* e)
{
    return setText(h, name, value, length, e, "RfcSetChars");
}

RFC_RC SAP_API RfcSetString(DATA_CONTAINER_HANDLE h, const SAP_UC* name, const SAP_UC* value, unsigned length, RFC_ERROR_INFO* e)
{
    return setText(h, name, value, length, e, "RfcSetString");
}

RFC_RC SAP_API RfcSetNum(DATA_CONTAINER_HANDLE h, const SAP_UC* name, const RFC_NUM* value, unsigned length, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSetNum", [&] {
        if (length > 0)
            require(value, "charValue");
        const Uview digits(value == nullptr ? L"" : value, length);
        FieldAccess::scalar(h, name, true, [&](Scalar& v, const FieldType& t) {
            if (digits.find_first_not_of(L"0123456789") != Uview::npos)
                conversionFailure("'" + toUtf8(digits) + "' holds more than digits 0-9");
            Conv::setText(v, t, digits);
        });
    });
}

RFC_RC SAP_API RfcSetBytes(DATA_CONTAINER_HANDLE h, const SAP_UC* name, const SAP_RAW* value, unsigned length, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSetBytes", [&] {
        if (length > 0)
            require(value, "byteValue");
        FieldAccess::scalar(h, name, true, [&](Scalar& v, const FieldType& t) {
            Conv::setBytes(v, t, std::string_view(reinterpret_cast<const char*>(value), length));
        });
    });
}

RFC_RC SAP_API RfcSetXString(DATA_CONTAINER_HANDLE h, const SAP_UC* name, const SAP_RAW* value, unsigned length, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSetXString", [&] {
        if (length > 0)
            require(value, "byteValue");
        FieldAccess::scalar(h, name, true, [&](Scalar& v, const FieldType& t) {
            Conv::setBytes(v, t, std::string_view(reinterpret_cast<const char*>(value), length));
        });
    });
}

RFC_RC SAP_API RfcSetDate(DATA_CONTAINER_HANDLE h, const SAP_UC* name, const RFC_CHAR* date, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSetDate", [&] {
        require(date, "date");
        FieldAccess::scalar(h, name, true, [&](Scalar& v, const FieldType& t) { Conv::setDate(v, t, Uview(date, 8)); });
    });
}

RFC_RC SAP_API RfcSetTime(DATA_CONTAINER_HANDLE h, const SAP_UC* name, const RFC_CHAR* time, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSetTime", [&] {
        require(time, "time");
        FieldAccess::scalar(h, name, true, [&](Scalar& v, const FieldType& t) { Conv::setTime(v, t, Uview(time, 6)); });
    });
}

RFC_RC SAP_API RfcSetFloat(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_FLOAT value, RFC_ERROR_INFO* e)
{
    return guarded(e, "RfcSetFloat", [&] {
        FieldAccess::scalar(h, name, true, [&](Scalar& v, const FieldType& t) { Conv::setFloat(v, t, value); });
    });
}

RFC_RC SAP_API RfcSetInt(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_INT value, RFC_ERROR_INFO* e)
{
    return setInteger(h, name, value, e, "RfcSetInt");
}

RFC_RC SAP_API RfcSetInt1(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_INT1 value, RFC_ERROR_INFO* e)
{
    return setInteger(h, name, value, e, "RfcSetInt1");
}

RFC_RC SAP_API RfcSetInt2(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_INT2 value, RFC_ERROR_INFO* e)
{
    return setInteger(h, name, value, e, "RfcSetInt2");
}

RFC_RC SAP_API RfcSetInt8(DATA_CONTAINER_HANDLE h, const SAP_UC* name, RFC_INT8 value, RFC_ERROR_INFO* e)
{
    return setInteger(h, name, value, e, "RfcSetInt8");
}

} // extern "C"
