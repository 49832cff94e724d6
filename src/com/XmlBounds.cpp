#include "XmlBounds.h"

namespace com::xml {
namespace {

template <class Ch>
using text_view = std::basic_string_view<Ch>;

// Whether `text` continues at `at` with the ASCII characters of `ascii`.
template <class Ch>
bool continues_with(text_view<Ch> text, size_t at, std::string_view ascii) noexcept
{
    if (text.size() - at < ascii.size())
        return false;
    for (size_t i = 0; i < ascii.size(); ++i)
        if (text[at + i] != static_cast<Ch>(ascii[i]))
            return false;
    return true;
}

// Position just after `terminator`, searched from `from`; the end when it is missing.
template <class Ch>
size_t skip_past(text_view<Ch> text, size_t from, std::string_view terminator) noexcept
{
    for (size_t i = from; i < text.size(); ++i)
        if (continues_with(text, i, terminator))
            return i + terminator.size();
    return text.size();
}

// Position just after the '>' that ends a tag starting at `from`, honouring quoted values.
template <class Ch>
size_t skip_tag(text_view<Ch> text, size_t from, bool& self_closing) noexcept
{
    Ch quote = 0;
    for (size_t i = from; i < text.size(); ++i) {
        const Ch c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == Ch('"') || c == Ch('\'')) {
            quote = c;
        } else if (c == Ch('>')) {
            self_closing = i > from && text[i - 1] == Ch('/');
            return i + 1;
        }
    }
    self_closing = false;
    return text.size();
}

template <class Ch>
size_t skip(text_view<Ch> text, size_t at, Markup& kind) noexcept
{
    kind = Markup::Other;
    if (continues_with(text, at, "<!--"))
        return skip_past(text, at + 4, "-->");
    if (continues_with(text, at, "<![CDATA["))
        return skip_past(text, at + 9, "]]>");
    if (continues_with(text, at, "<?"))
        return skip_past(text, at + 2, "?>");
    if (continues_with(text, at, "<!")) {
        kind = Markup::Declaration;
        return skip_past(text, at + 2, ">");
    }
    if (continues_with(text, at, "</")) {
        kind = Markup::Close;
        return skip_past(text, at + 2, ">");
    }
    bool self_closing = false;
    const size_t end = skip_tag(text, at + 1, self_closing);
    kind = self_closing ? Markup::SelfClosing : Markup::Open;
    return end;
}

// The deepest element nesting of `text`, stopping once past `stop_at`. With `declaration`
// given, a declaration stops the walk too and is reported there.
template <class Ch>
unsigned walk(text_view<Ch> text, unsigned stop_at, bool* declaration) noexcept
{
    unsigned depth = 0, deepest = 0;
    for (size_t i = text.find(Ch('<')); i != text_view<Ch>::npos; i = text.find(Ch('<'), i)) {
        Markup kind = Markup::Other;
        i = skip(text, i, kind);
        if (kind == Markup::Declaration && declaration) {
            *declaration = true;
            return deepest;
        }
        if (kind == Markup::Close) {
            if (depth > 0)
                --depth;
        } else if (kind == Markup::Open || kind == Markup::SelfClosing) {
            if (depth + 1 > deepest)
                deepest = depth + 1;
            if (deepest > stop_at)
                return deepest;
            if (kind == Markup::Open)
                ++depth;
        }
    }
    return deepest;
}

template <class Ch>
Verdict check(text_view<Ch> text, unsigned max_depth) noexcept
{
    bool declaration = false;
    const unsigned deepest = walk(text, max_depth, &declaration);
    if (declaration)
        return Verdict::Declaration;
    return deepest > max_depth ? Verdict::TooDeep : Verdict::Within;
}

} // namespace

size_t skip_markup(std::string_view text, size_t at, Markup& kind) noexcept { return skip(text, at, kind); }
size_t skip_markup(std::wstring_view text, size_t at, Markup& kind) noexcept { return skip(text, at, kind); }

unsigned nesting_depth(std::string_view text, unsigned stop_at) noexcept { return walk(text, stop_at, nullptr); }
unsigned nesting_depth(std::wstring_view text, unsigned stop_at) noexcept { return walk(text, stop_at, nullptr); }

Verdict check_bounds(std::string_view text, unsigned max_depth) noexcept { return check(text, max_depth); }
Verdict check_bounds(std::wstring_view text, unsigned max_depth) noexcept { return check(text, max_depth); }

} // namespace com::xml
