// The Markdown of the reference: rows that stay rows whatever the help text holds, messages
// with both forms of their error code, and the parts a reader looks for.
#include "ApiMarkdown.h"

#include <gtest/gtest.h>

namespace {

using namespace apidoc;

TypeEntry Type(TypeKind kind, std::wstring name, std::wstring help)
{
    TypeEntry type;
    type.kind = kind;
    type.name = std::move(name);
    type.help = std::move(help);
    return type;
}

Member Property(std::wstring name, bool readable, bool writable, std::wstring result, std::wstring help)
{
    Member member;
    member.kind = MemberKind::Property;
    member.name = std::move(name);
    member.readable = readable;
    member.writable = writable;
    member.result = std::move(result);
    member.help = std::move(help);
    return member;
}

Library SmallLibrary()
{
    Member item = Property(L"Item", true, false, L"IThing", L"The thing at a position; a | b.");
    item.defaultMember = true;
    item.parameters.emplace_back();
    item.parameters.back().name = L"index";
    item.parameters.back().type = L"Long";
    TypeEntry things = Type(TypeKind::Interface, L"IThings", L"A list.");
    things.base = L"IDispatch";
    things.members = {item, Property(L"Size", false, true, L"Long", L"Sets the size.")};
    TypeEntry more = Type(TypeKind::Interface, L"IMoreThings", L"More.");
    more.base = L"IThings";
    TypeEntry creatable = Type(TypeKind::Class, L"Things", L"Makes things.");
    creatable.defaultInterface = L"IThings";
    creatable.creatable = true;
    TypeEntry made = Type(TypeKind::Class, L"Thing", L"One thing.");
    made.defaultInterface = L"IThing";
    TypeEntry kinds = Type(TypeKind::Enumeration, L"KIND", L"Kinds.");
    kinds.values.push_back({L"KIND_A", -1, L"First."});

    Library library;
    library.name = L"ThingLib";
    library.help = L"Things library";
    library.types = {kinds, things, more, creatable, made};
    return library;
}

std::wstring LineWith(const std::wstring& text, std::wstring_view part)
{
    const size_t at = text.find(part);
    if (at == std::wstring::npos)
        return L"";
    const size_t start = text.rfind(L'\n', at) + 1;
    return text.substr(start, text.find(L'\n', at) - start);
}

size_t CellSeparators(const std::wstring& row)
{
    size_t count = 0;
    for (size_t i = 0; i < row.size(); ++i)
        count += row[i] == L'|' && (i == 0 || row[i - 1] != L'\\');
    return count;
}

TEST(ApiMarkdown, TableRowsStayWholeAndSayWhatAMemberIs)
{
    const std::wstring text = ApiMarkdown(L"# Intro", {SmallLibrary()}, {}).Write();
    const std::wstring itemRow = LineWith(text, L"`Item(index As Long) As IThing`");
    EXPECT_EQ(CellSeparators(itemRow), 3u) << std::string(itemRow.begin(), itemRow.end());
    EXPECT_NE(itemRow.find(L"*Property, read-only. Default member.* The thing at a position; a \\| b."), std::wstring::npos);
    EXPECT_NE(LineWith(text, L"`Size As Long`").find(L"*Property, write-only.*"), std::wstring::npos);
    EXPECT_NE(LineWith(text, L"`KIND_A`").find(L"| -1 | First. |"), std::wstring::npos);
    EXPECT_NE(text.find(L"Extends [IThings](#ithings):"), std::wstring::npos);
    EXPECT_EQ(text.find(L"Extends `IDispatch`"), std::wstring::npos);
}

TEST(ApiMarkdown, ClassesAreSplitByWhoCreatesThem)
{
    const std::wstring text = ApiMarkdown(L"", {SmallLibrary()}, {}).Write();
    const size_t byClient = text.find(L"Created by the client");
    const size_t byComponent = text.find(L"Created by the component");
    ASSERT_NE(byClient, std::wstring::npos);
    ASSERT_NE(byComponent, std::wstring::npos);
    const size_t things = text.find(L"| `Things` |"), thing = text.find(L"| `Thing` |");
    EXPECT_TRUE(byClient < things && things < byComponent && byComponent < thing);
    // IThing is not described by the library: named, not linked.
    EXPECT_NE(LineWith(text, L"| `Thing` |").find(L"| `IThing` |"), std::wstring::npos);
}

TEST(ApiMarkdown, MessagesWithBothFormsOfTheirCode)
{
    const std::wstring text =
        ApiMarkdown(L"", {}, {{513, L"Already initialized"}, {547, L"Not found\nSee README.md"}}).Write();
    EXPECT_NE(text.find(L"| 513 | &H80040201 | -2147220991 | Already initialized |"), std::wstring::npos);
    EXPECT_NE(text.find(L"| 547 | &H80040223 | -2147220957 | Not found<br>See README.md |"), std::wstring::npos);
    EXPECT_NE(text.find(L"- [Messages](#messages)"), std::wstring::npos);
}

TEST(ApiMarkdown, AnchorsAsMarkdownRenderersMakeThem)
{
    EXPECT_EQ(ApiMarkdown::Anchor(L"_SessionEvents"), L"_sessionevents");
    EXPECT_EQ(ApiMarkdown::Anchor(L"TOLVANELib classes"), L"tolvanelib-classes");
    EXPECT_EQ(ApiMarkdown::Anchor(L"A (b), c!"), L"a-b-c");
}

} // namespace
