#pragma once
// The message table 513-548: each message number N is a string resource and, as a failure,
// the HRESULT 0x80040000 | N with the text as error information.
#include "com/ErrorInfo.h"
#include "com/Boundary.h"

#include <exception>
#include <string>

namespace tolvane {

namespace msg {
enum : unsigned {
    AlreadyInitialized = 513,
    NotInitialized = 514,
    OnlyStructuresAndTables = 515,
    NotAStructure = 516,
    NotATable = 517,
    ComplexTypesUnsupported = 518,
    UnexpectedError = 519,
    NotConnected = 520,
    TypeImportImpossible = 521,
    CallAlreadyActive = 522,
    AlreadyConnected = 523,
    TypeDoesNotExist = 524,
    ParameterDoesNotExist = 525,
    CanceledByUser = 526,
    OldPasswordRequired = 527,
    ClassicLibraryNotFound = 528,
    ClassicLibraryCorrupt = 529,
    BcdInvalid = 530,
    NotNumeric = 531,
    StringConversion = 532,
    InvalidDateTime = 533,
    VariantArray = 534,
    MemoryAllocation = 535,
    XStringArrayType = 536,
    InstallStruct = 537,
    InvalidFunctionName = 538,
    CancelTimeout = 539,
    FunctionNotFound = 540,
    UnknownParameterType = 541,
    ClassicLibraryMissing = 542,
    RfcError = 543,
    InvalidTransactionId = 544,
    TicketModuleRequired = 545,
    InvalidConnectString = 546,
    NetWeaverLibraryNotFound = 547,
    InvalidIniPath = 548,
};
} // namespace msg

constexpr HRESULT MessageResult(unsigned number) noexcept
{
    return static_cast<HRESULT>(0x80040000UL | number);
}

// The text of message `number`; empty when the table has none.
std::wstring MessageText(unsigned number);

// Raises message `number` for `source`: error information with its text ("Unknown Error"
// when the table has none), returning 0x80040000 | number.
HRESULT RaiseMessage(unsigned number, const com::ErrorSource& source) noexcept;

// The text for a message number or for its HRESULT: the low 16 bits select the message.
std::wstring DecodeInternalError(long errcode);

// Makes every exception boundary of this binary trace an unexpected exception and report it
// as message 519. Called once at start-up (DllMain, a test program's main).
void InstallErrorPolicy() noexcept;

// Thrown inside a method to fail it with a message of the table.
class MessageError : public std::exception, public com::reportable_error {
public:
    explicit MessageError(unsigned number) noexcept : number_(number) {}
    unsigned number() const noexcept { return number_; }
    const char* what() const noexcept override { return "Tolvane message"; }
    HRESULT report(const com::ErrorSource& source) const noexcept override { return RaiseMessage(number_, source); }

private:
    unsigned number_;
};

} // namespace tolvane
