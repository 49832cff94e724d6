#pragma once
// Bounds on an XML text before a recursive parser sees it. rapidxml recurses once per nesting
// level, so a hostile document nested deep enough overflows the stack; and a document type
// declaration brings entities and markup of its own. One linear scan, for every text the
// component parses (SOAP responses, the XML form of calls), decides both.
//
// The scan knows the markup that can hide angle brackets: comments, CDATA sections, processing
// instructions (up to "?>", not the first ">"), declarations and quoted attribute values. It
// assumes nothing else about well-formedness: the parser checks that.
#include <cstddef>
#include <string_view>

namespace com::xml {

// Markup as the scan sees it.
enum class Markup { Other, Declaration, Open, Close, SelfClosing };

// The markup that starts with the '<' at `at`: its kind, and the position just after it (the
// end of the text when it is not closed).
size_t skip_markup(std::string_view text, size_t at, Markup& kind) noexcept;
size_t skip_markup(std::wstring_view text, size_t at, Markup& kind) noexcept;

// The deepest element nesting of `text`, stopping early once `stop_at` is exceeded.
unsigned nesting_depth(std::string_view text, unsigned stop_at) noexcept;
unsigned nesting_depth(std::wstring_view text, unsigned stop_at) noexcept;

enum class Verdict { Within, TooDeep, Declaration };

// Within: no declaration (<!DOCTYPE ...> and its kind) and no nesting deeper than `max_depth`.
Verdict check_bounds(std::string_view text, unsigned max_depth) noexcept;
Verdict check_bounds(std::wstring_view text, unsigned max_depth) noexcept;

} // namespace com::xml
