#include "ExampleScanner.h"

#include <algorithm>
#include <cwctype>
#include <regex>
#include <set>
#include <sstream>
#include <utility>

namespace test {

namespace {

std::wstring Lower(std::wstring_view text)
{
    std::wstring lower(text);
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    return lower;
}

bool SameName(std::wstring_view a, std::wstring_view b) { return Lower(a) == Lower(b); }

bool IsWordStart(wchar_t c) { return std::iswalpha(c) || c == L'_'; }
bool IsWordChar(wchar_t c) { return std::iswalnum(c) || c == L'_'; }

size_t WordEnd(const std::wstring& code, size_t pos)
{
    while (pos < code.size() && IsWordChar(code[pos]))
        ++pos;
    return pos;
}

size_t AfterParens(const std::wstring& code, size_t open)
{
    int depth = 0;
    for (size_t pos = open; pos < code.size(); ++pos) {
        if (code[pos] == L'(')
            ++depth;
        else if (code[pos] == L')' && --depth == 0)
            return pos + 1;
    }
    return code.size();
}

// The code of a line with comments removed and every string literal reduced to "".
std::wstring CodeOf(const std::wstring& raw, ScriptLanguage language)
{
    const wchar_t comment = language == ScriptLanguage::Basic ? L'\'' : L'#';
    std::wstring code;
    for (size_t pos = 0; pos < raw.size(); ++pos) {
        const wchar_t c = raw[pos];
        if (c == comment)
            break;
        const bool quote = c == L'"' || (language == ScriptLanguage::PowerShell && c == L'\'');
        if (!quote) {
            code += c;
            continue;
        }
        // Skip to the closing quote; a doubled quote (or a backquoted one) stays inside.
        for (++pos; pos < raw.size(); ++pos) {
            if (language == ScriptLanguage::PowerShell && raw[pos] == L'`')
                ++pos;
            else if (raw[pos] == c && pos + 1 < raw.size() && raw[pos + 1] == c)
                ++pos;
            else if (raw[pos] == c)
                break;
        }
        code += L"\"\"";
    }
    if (language == ScriptLanguage::Basic && std::regex_search(code, std::wregex(LR"(^\s*Rem\b)", std::regex::icase)))
        return L"";
    return code;
}

std::wsmatch Match(const std::wstring& text, const wchar_t* pattern)
{
    std::wsmatch match;
    std::regex_search(text, match, std::wregex(pattern, std::regex::icase));
    return match;
}

} // namespace

struct ExampleScanner::State {
    ScriptLanguage language;
    int line = 0;
    std::map<std::wstring, Variable> variables; // by lower-case name
    std::vector<std::wstring> withTypes;
    std::set<std::wstring> functions; // by lower-case name
    ScanResult result;

    void Problem(const std::wstring& text) { result.problems.push_back(L"line " + std::to_wstring(line) + L": " + text); }
    const Variable* Find(std::wstring_view name) const
    {
        auto at = variables.find(Lower(name));
        return at == variables.end() ? nullptr : &at->second;
    }
};

ExampleScanner::ExampleScanner(std::vector<apidoc::Library> libraries) : libraries_(std::move(libraries)) {}

const apidoc::TypeEntry* ExampleScanner::FindType(std::wstring_view name) const
{
    for (const apidoc::Library& library : libraries_)
        for (const apidoc::TypeEntry& type : library.types)
            if (SameName(type.name, name))
                return &type;
    return nullptr;
}

ExampleScanner::Found ExampleScanner::FindMember(std::wstring_view interfaceName, std::wstring_view member) const
{
    for (const apidoc::TypeEntry* type = FindType(interfaceName); type; type = FindType(type->base)) {
        for (const apidoc::Member& candidate : type->members)
            if (SameName(candidate.name, member))
                return {&candidate, type->name};
        if (type->base.empty())
            break;
    }
    return {};
}

const apidoc::Member* ExampleScanner::DefaultMember(std::wstring_view interfaceName) const
{
    for (const apidoc::TypeEntry* type = FindType(interfaceName); type; type = FindType(type->base)) {
        for (const apidoc::Member& candidate : type->members)
            if (candidate.defaultMember)
                return &candidate;
        if (type->base.empty())
            break;
    }
    return nullptr;
}

std::wstring ExampleScanner::InterfaceOf(std::wstring_view typeName) const
{
    const apidoc::TypeEntry* type = typeName.empty() ? nullptr : FindType(typeName);
    if (!type)
        return L"";
    switch (type->kind) {
    case apidoc::TypeKind::Class: return type->defaultInterface;
    case apidoc::TypeKind::Interface:
    case apidoc::TypeKind::EventInterface: return type->name;
    default: return L"";
    }
}

const apidoc::TypeEntry* ExampleScanner::ClassOfProgId(std::wstring_view progId) const
{
    // Tolvane.SoapSession, Tolvane.SoapSession.1, TolvaneSoap.HttpTransport
    const size_t dot = progId.find(L'.');
    if (dot == std::wstring_view::npos)
        return nullptr;
    std::wstring_view name = progId.substr(dot + 1);
    name = name.substr(0, name.find(L'.'));
    const apidoc::TypeEntry* type = FindType(name);
    return type && type->kind == apidoc::TypeKind::Class ? type : nullptr;
}

ScanResult ExampleScanner::Scan(std::wstring_view source, ScriptLanguage language) const
{
    State state;
    state.language = language;
    std::wistringstream lines{std::wstring(source)};
    std::wstring line, statement;
    const wchar_t continuation = language == ScriptLanguage::Basic ? L'_' : L'`';
    while (std::getline(lines, line)) {
        ++state.line;
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        statement += line;
        if (!statement.empty() && statement.back() == continuation &&
            (language == ScriptLanguage::PowerShell || (statement.size() > 1 && statement[statement.size() - 2] == L' '))) {
            statement.pop_back();
            continue;
        }
        ScanLine(state, std::exchange(statement, L""));
    }
    if (!statement.empty())
        ScanLine(state, statement);
    return std::move(state.result);
}

void ExampleScanner::ScanLine(State& state, std::wstring raw) const
{
    // Declarations first, so that a loop variable is known on the line that opens the loop.
    const std::wstring code = CodeOf(raw, state.language);
    if (state.language == ScriptLanguage::Basic)
        ScanBasicStatement(state, code, raw);
    else
        ScanPowerShellStatement(state, code, raw);
    ScanChains(state, code);
}

void ExampleScanner::Declare(State& state, const std::wstring& declarations) const
{
    static const std::wregex declaration(
        LR"((?:(WithEvents)\s+)?(?:(?:ByVal|ByRef|Optional)\s+)*(\w+)(?:\(\))?\s+As\s+(?:New\s+)?(?:(\w+)\.)?(\w+))",
        std::regex::icase);
    for (std::wsregex_iterator it(declarations.begin(), declarations.end(), declaration), end; it != end; ++it) {
        const std::wstring qualifier = (*it)[3], typeName = (*it)[4];
        const apidoc::TypeEntry* type = FindType(typeName);
        if (!type) {
            if (std::any_of(libraries_.begin(), libraries_.end(),
                            [&](const apidoc::Library& l) { return SameName(l.name, qualifier); }))
                state.Problem(qualifier + L" has no type '" + typeName + L"'");
            continue;
        }
        Variable variable{InterfaceOf(type->name), L"", true};
        if ((*it)[1].matched && type->kind == apidoc::TypeKind::Class)
            variable.events = type->eventInterface;
        state.variables[Lower((*it)[2].str())] = variable;
    }
}

void ExampleScanner::ScanBasicStatement(State& state, const std::wstring& code, const std::wstring& raw) const
{
    if (auto m = Match(code, LR"(^\s*(?:(?:Private|Public|Friend)\s+)?(Sub|Function)\s+(\w+?)(?:_([A-Za-z0-9]+))?\s*\((.*)\))");
        !m.empty()) {
        if (m[3].matched && SameName(m[1].str(), L"Sub"))
            CheckEvent(state, m[2], m[3]);
        if (SameName(m[1].str(), L"Function")) // assigning its name sets the result
            state.functions.insert(Lower(m[2].str() + (m[3].matched ? L"_" + m[3].str() : L"")));
        Declare(state, m[4]);
        return;
    }
    if (auto m = Match(code, LR"(^\s*(Dim|Private|Public|Static|Global)\s+)"); !m.empty()) {
        Declare(state, m.suffix());
        return;
    }
    if (auto m = Match(code, LR"(^\s*Set\s+(\w+)\s*=\s*)"); !m.empty()) {
        const Variable* known = state.Find(m[1].str());
        if (state.functions.count(Lower(m[1].str())) || (known && known->declared))
            return;
        const auto progId = Match(raw, LR"(CreateObject\(\s*"([^"]+)\")");
        const apidoc::TypeEntry* created = progId.empty() ? nullptr : ClassOfProgId(progId[1].str());
        Variable variable{created ? created->defaultInterface : TypeOfExpression(state, code, m.length(0)),
                          created ? created->eventInterface : L""};
        if (!variable.type.empty())
            state.variables[Lower(m[1].str())] = variable;
        return;
    }
    if (auto m = Match(code, LR"(^\s*For\s+Each\s+(\w+)\s+In\s+)"); !m.empty()) {
        const apidoc::Member* item = DefaultMember(TypeOfExpression(state, code, m.length(0)));
        if (item && !InterfaceOf(item->result).empty())
            state.variables[Lower(m[1].str())] = Variable{InterfaceOf(item->result), L""};
        return;
    }
    if (auto m = Match(code, LR"(^\s*With\s+)"); !m.empty()) {
        state.withTypes.push_back(TypeOfExpression(state, code, m.length(0)));
        return;
    }
    if (!Match(code, LR"(^\s*End\s+With\b)").empty()) {
        if (!state.withTypes.empty())
            state.withTypes.pop_back();
        return;
    }
}

void ExampleScanner::ScanPowerShellStatement(State& state, const std::wstring& code, const std::wstring& raw) const
{
    if (auto m = Match(code, LR"(Register-ObjectEvent\b.*-InputObject\s+\$(\w+).*-EventName\s+(\w+))"); !m.empty()) {
        CheckEvent(state, m[1], m[2]);
        return;
    }
    if (auto m = Match(code, LR"(foreach\s*\(\s*\$(\w+)\s+in\s+)"); !m.empty()) {
        const apidoc::Member* item = DefaultMember(TypeOfExpression(state, code, m.position(0) + m.length(0)));
        if (item && !InterfaceOf(item->result).empty())
            state.variables[Lower(m[1].str())] = Variable{InterfaceOf(item->result), L""};
        return;
    }
    if (auto m = Match(code, LR"(^\s*\$(\w+)\s*=\s*)"); !m.empty()) {
        const auto progId = Match(raw, LR"(-ComObject\s+['"]?([\w.]+))");
        const apidoc::TypeEntry* created = progId.empty() ? nullptr : ClassOfProgId(progId[1].str());
        Variable variable{created ? created->defaultInterface : TypeOfExpression(state, code, m.length(0)),
                          created ? created->eventInterface : L""};
        if (!variable.type.empty())
            state.variables[Lower(m[1].str())] = variable;
    }
}

void ExampleScanner::ScanChains(State& state, const std::wstring& code) const
{
    const bool basic = state.language == ScriptLanguage::Basic;
    for (size_t pos = 0; pos < code.size();) {
        const wchar_t c = code[pos];
        const bool variableStart = basic ? IsWordStart(c) && (pos == 0 || (code[pos - 1] != L'.' && !IsWordChar(code[pos - 1])))
                                         : c == L'$' && pos + 1 < code.size() && IsWordStart(code[pos + 1]);
        if (variableStart) {
            const size_t nameStart = basic ? pos : pos + 1;
            const size_t end = WordEnd(code, nameStart);
            if (const Variable* variable = state.Find(std::wstring_view(code).substr(nameStart, end - nameStart))) {
                size_t chain = end;
                ResolveChain(state, code, chain, variable->type, true);
            }
            pos = end;
            continue;
        }
        if (basic && c == L'.' && !state.withTypes.empty() && pos + 1 < code.size() && IsWordStart(code[pos + 1])) {
            size_t before = pos;
            while (before > 0 && code[before - 1] == L' ')
                --before;
            const wchar_t previous = before > 0 ? code[before - 1] : L' ';
            if (!IsWordChar(previous) && previous != L')' && previous != L']' && previous != L'"') {
                size_t chain = pos;
                ResolveChain(state, code, chain, state.withTypes.back(), true);
            }
        }
        ++pos;
    }
}

std::wstring ExampleScanner::TypeOfExpression(State& state, const std::wstring& code, size_t pos) const
{
    while (pos < code.size() && code[pos] == L' ')
        ++pos;
    const bool basic = state.language == ScriptLanguage::Basic;
    if (basic && pos < code.size() && code[pos] == L'.' && !state.withTypes.empty())
        return ResolveChain(state, code, pos, state.withTypes.back(), false);
    const size_t nameStart = basic ? pos : pos + 1;
    if ((!basic && (pos >= code.size() || code[pos] != L'$')) || nameStart >= code.size())
        return L"";
    const size_t end = WordEnd(code, nameStart);
    const Variable* variable = state.Find(std::wstring_view(code).substr(nameStart, end - nameStart));
    if (!variable)
        return L"";
    size_t chain = end;
    return ResolveChain(state, code, chain, variable->type, false);
}

std::wstring ExampleScanner::ResolveChain(State& state, const std::wstring& code, size_t& pos, std::wstring type,
                                          bool record) const
{
    // Arguments after a variable, or after a property that takes none, go to the default member.
    bool argumentsOfMember = false;
    while (pos < code.size() && !type.empty()) {
        if (code[pos] == L'(') {
            pos = AfterParens(code, pos);
            if (argumentsOfMember) {
                argumentsOfMember = false;
                continue;
            }
            const apidoc::Member* item = DefaultMember(type);
            if (!item) {
                if (record)
                    state.Problem(type + L" has no default member to take arguments");
                return L"";
            }
            if (record)
                state.result.uses.push_back(type + L"." + item->name);
            type = InterfaceOf(item->result);
            continue;
        }
        if (code[pos] != L'.' || pos + 1 >= code.size() || !IsWordStart(code[pos + 1]))
            break;
        const size_t end = WordEnd(code, pos + 1);
        const std::wstring name = code.substr(pos + 1, end - pos - 1);
        const auto [member, owner] = FindMember(type, name);
        if (!member) {
            if (record)
                state.Problem(type + L" has no member '" + name + L"'");
            return L"";
        }
        if (record)
            state.result.uses.push_back(owner + L"." + member->name);
        argumentsOfMember = member->kind == apidoc::MemberKind::Method || !member->parameters.empty();
        type = InterfaceOf(member->result);
        pos = end;
    }
    return type;
}

void ExampleScanner::CheckEvent(State& state, const std::wstring& variableName, const std::wstring& event) const
{
    const Variable* variable = state.Find(variableName);
    if (!variable || variable->events.empty())
        return;
    const apidoc::Member* member = FindMember(variable->events, event).member;
    if (!member || member->kind != apidoc::MemberKind::Event)
        state.Problem(variable->events + L" has no event '" + event + L"'");
    else
        state.result.uses.push_back(variable->events + L"." + member->name);
}

} // namespace test
