#pragma once
// ApiMarkdown: the API reference as one Markdown document: an introduction, a table of
// contents, per type library its classes, interfaces, event interfaces and enumerations, and
// the component's messages with their error codes.
#include "ApiModel.h"

namespace apidoc {

class ApiMarkdown {
public:
    ApiMarkdown(std::wstring intro, std::vector<Library> libraries, std::vector<Message> messages);

    std::wstring Write() const;

    // How a member reads in code: "ImportCall(ModuleName As String, [ignoreUnsupportedParams
    // As Boolean = False]) As IFunctionCall".
    static std::wstring Signature(const Member& member);
    // The anchor a Markdown renderer gives a heading.
    static std::wstring Anchor(std::wstring_view heading);

private:
    void WriteContents(std::wstring& out) const;
    void WriteLibrary(std::wstring& out, const Library& library) const;
    void WriteClasses(std::wstring& out, const Library& library) const;
    void WriteInterface(std::wstring& out, const Library& library, const TypeEntry& type) const;
    void WriteEnumeration(std::wstring& out, const TypeEntry& type) const;
    void WriteMessages(std::wstring& out) const;

    std::wstring intro_;
    std::vector<Library> libraries_;
    std::vector<Message> messages_;
};

} // namespace apidoc
