#pragma once
// ExampleScanner: finds the members that a VBA/VBScript module or a PowerShell script uses on
// objects of the component and checks each against the type libraries, so that an example
// that drifts from the API (a renamed or misspelt member or event) fails a test.
//
// It follows variables whose type it can tell: declared As a class or interface of the
// libraries, created by ProgID (CreateObject, New-Object -ComObject), or assigned from a
// member chain it resolved; For Each and With blocks; and member chains on them, where an
// argument list after a property without parameters goes to the result's default member
// (call.Importing("X")). Event handlers (Sub var_Event, Register-ObjectEvent) are checked
// against the class's event interface. Anything else (Excel objects, untyped values) is left
// alone.
#include "ApiModel.h"

#include <map>
#include <string>
#include <vector>

namespace test {

enum class ScriptLanguage { Basic, PowerShell };

struct ScanResult {
    std::vector<std::wstring> uses;     // "ISoapSession.Connect", in the order found
    std::vector<std::wstring> problems; // "line 12: ISoapSession has no member 'Conect'"
};

class ExampleScanner {
public:
    explicit ExampleScanner(std::vector<apidoc::Library> libraries);

    ScanResult Scan(std::wstring_view source, ScriptLanguage language) const;

private:
    struct Variable {
        std::wstring type;     // an interface of the libraries
        std::wstring events;   // the event interface of its class, when declared WithEvents or created
        bool declared = false; // declared As a type, which assignments do not change
    };
    struct Found {
        const apidoc::Member* member = nullptr;
        std::wstring owner; // the interface that declares it
    };
    struct State;

    const apidoc::TypeEntry* FindType(std::wstring_view name) const;
    Found FindMember(std::wstring_view interfaceName, std::wstring_view member) const;
    const apidoc::Member* DefaultMember(std::wstring_view interfaceName) const;
    std::wstring InterfaceOf(std::wstring_view typeName) const;
    const apidoc::TypeEntry* ClassOfProgId(std::wstring_view progId) const;

    void ScanLine(State& state, std::wstring raw) const;
    void Declare(State& state, const std::wstring& declarations) const;
    void ScanBasicStatement(State& state, const std::wstring& code, const std::wstring& raw) const;
    void ScanPowerShellStatement(State& state, const std::wstring& code, const std::wstring& raw) const;
    void ScanChains(State& state, const std::wstring& code) const;
    // The interface a chain starting at pos ends in ("" when it leaves the libraries), and
    // where it ends.
    std::wstring ResolveChain(State& state, const std::wstring& code, size_t& pos, std::wstring type,
                              bool startsAtVariable) const;
    std::wstring TypeOfExpression(State& state, const std::wstring& code, size_t pos) const;
    void CheckEvent(State& state, const std::wstring& variable, const std::wstring& event) const;

    std::vector<apidoc::Library> libraries_;
};

} // namespace test
