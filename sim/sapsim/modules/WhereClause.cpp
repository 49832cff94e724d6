#include "modules/WhereClause.h"

#include "dictionary/ScalarCodec.h"
#include "text/Utf8.h"

#include <cctype>

namespace sapsim {
namespace {

std::string upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool wordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '/';
}

std::string rightTrimmed(std::string_view s)
{
    const size_t last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(s.substr(0, last + 1));
}

} // namespace

WhereClause::WhereClause(std::string_view text, const Structure& structure) : m_structure(structure)
{
    tokenize(text);
    if (m_tokens.front().type == Token::Type::End) {
        m_root = add(Node{});
        return;
    }
    m_root = parseOr(0);
    if (m_tokens[m_pos].type != Token::Type::End)
        throw WhereError("unexpected '" + m_tokens[m_pos].text + "'");
}

bool WhereClause::matches(const std::vector<std::string>& row) const
{
    return evaluate(m_root, row);
}

void WhereClause::tokenize(std::string_view text)
{
    size_t i = 0;
    while (i < text.size()) {
        if (m_tokens.size() >= maxTokens)
            throw WhereError("selection too long");
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '\'') {
            std::string literal;
            for (++i;; ++i) {
                if (i >= text.size())
                    throw WhereError("unterminated literal");
                if (text[i] == '\'') {
                    if (i + 1 < text.size() && text[i + 1] == '\'') {
                        literal += '\'';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal += text[i];
            }
            m_tokens.push_back({Token::Type::Literal, literal});
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '-' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1])))) {
            const size_t start = i++;
            while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.'))
                ++i;
            m_tokens.push_back({Token::Type::Number, std::string(text.substr(start, i - start))});
        } else if (wordChar(c)) {
            const size_t start = i;
            while (i < text.size() && wordChar(text[i]))
                ++i;
            m_tokens.push_back({Token::Type::Word, upper(text.substr(start, i - start))});
        } else {
            const std::string_view two = text.substr(i, 2);
            const bool pair = two == "<=" || two == ">=" || two == "<>";
            if (!pair && std::string_view("=<>(),").find(c) == std::string_view::npos)
                throw WhereError(std::string("unexpected character '") + c + "'");
            m_tokens.push_back({Token::Type::Symbol, std::string(text.substr(i, pair ? 2 : 1))});
            i += pair ? 2 : 1;
        }
    }
    m_tokens.push_back({Token::Type::End, "end of selection"});
}

int WhereClause::parseOr(int depth)
{
    Node any;
    any.kind = Kind::Any;
    any.children.push_back(parseAnd(depth));
    while (keyword("OR")) {
        ++m_pos;
        any.children.push_back(parseAnd(depth));
    }
    return any.children.size() == 1 ? any.children.front() : add(std::move(any));
}

int WhereClause::parseAnd(int depth)
{
    Node all;
    all.kind = Kind::All;
    all.children.push_back(parseUnary(depth));
    while (keyword("AND")) {
        ++m_pos;
        all.children.push_back(parseUnary(depth));
    }
    return all.children.size() == 1 ? all.children.front() : add(std::move(all));
}

int WhereClause::parseUnary(int depth)
{
    if (depth >= maxNesting)
        throw WhereError("selection nested too deeply");
    if (keyword("NOT")) {
        ++m_pos;
        Node negation;
        negation.kind = Kind::Not;
        negation.children.push_back(parseUnary(depth + 1));
        return add(std::move(negation));
    }
    if (symbol("(")) {
        ++m_pos;
        const int inner = parseOr(depth + 1);
        expectSymbol(")");
        return inner;
    }
    return parseCondition();
}

int WhereClause::parseCondition()
{
    const Token& name = m_tokens[m_pos];
    if (name.type != Token::Type::Word)
        throw WhereError("field name expected instead of '" + name.text + "'");
    Node node;
    node.field = m_structure.indexOf(name.text);
    if (node.field < 0)
        throw WhereError("unknown field " + name.text);
    ++m_pos;
    const bool negated = keyword("NOT");
    if (negated)
        ++m_pos;
    if (keyword("LIKE")) {
        ++m_pos;
        const ScalarType& t = m_structure.components[static_cast<size_t>(node.field)].type.scalar;
        if (!t.characterLike() && t.letter != 'g')
            throw WhereError("LIKE needs a character field, " + name.text + " is not one");
        if (m_tokens[m_pos].type != Token::Type::Literal)
            throw WhereError("LIKE needs a quoted pattern");
        node.kind = Kind::Like;
        node.values.push_back(rightTrimmed(m_tokens[m_pos++].text));
    } else if (keyword("BETWEEN")) {
        ++m_pos;
        node.kind = Kind::Between;
        node.values.push_back(literalFor(node.field));
        if (!keyword("AND"))
            throw WhereError("BETWEEN needs AND");
        ++m_pos;
        node.values.push_back(literalFor(node.field));
    } else if (keyword("IN")) {
        ++m_pos;
        node.kind = Kind::In;
        expectSymbol("(");
        node.values.push_back(literalFor(node.field));
        while (symbol(",")) {
            ++m_pos;
            node.values.push_back(literalFor(node.field));
        }
        expectSymbol(")");
    } else {
        if (negated)
            throw WhereError("NOT must be followed by LIKE, BETWEEN or IN here");
        static const std::pair<const char*, Op> operators[] = {
            {"=", Op::Eq}, {"EQ", Op::Eq}, {"<>", Op::Ne}, {"NE", Op::Ne}, {"<", Op::Lt}, {"LT", Op::Lt},
            {">", Op::Gt}, {"GT", Op::Gt}, {"<=", Op::Le}, {"LE", Op::Le}, {">=", Op::Ge}, {"GE", Op::Ge}};
        const Token& op = m_tokens[m_pos];
        bool found = false;
        for (const auto& [text, value] : operators)
            if ((op.type == Token::Type::Symbol || op.type == Token::Type::Word) && op.text == text) {
                node.op = value;
                found = true;
            }
        if (!found)
            throw WhereError("comparison operator expected after " + name.text + " instead of '" + op.text + "'");
        ++m_pos;
        node.kind = Kind::Compare;
        node.values.push_back(literalFor(node.field));
    }
    const int condition = add(std::move(node));
    if (!negated)
        return condition;
    Node negation;
    negation.kind = Kind::Not;
    negation.children.push_back(condition);
    return add(std::move(negation));
}

// A literal converted to the field's canonical form, so rows compare without converting.
// Character literals are not cut to the field length: a longer literal equals no value.
std::string WhereClause::literalFor(int field)
{
    const Token& token = m_tokens[m_pos];
    if (token.type != Token::Type::Literal && token.type != Token::Type::Number)
        throw WhereError("literal expected instead of '" + token.text + "'");
    ++m_pos;
    const ScalarType& type = m_structure.components[static_cast<size_t>(field)].type.scalar;
    if (type.letter == 'C')
        return rightTrimmed(token.text);
    try {
        return ScalarCodec::fromText(type, token.text, ScalarCodec::Binary::Hex);
    } catch (const ConversionError& e) {
        throw WhereError(m_structure.components[static_cast<size_t>(field)].name + ": " + e.what());
    }
}

bool WhereClause::keyword(const char* word) const
{
    return m_tokens[m_pos].type == Token::Type::Word && m_tokens[m_pos].text == word;
}

bool WhereClause::symbol(const char* s) const
{
    return m_tokens[m_pos].type == Token::Type::Symbol && m_tokens[m_pos].text == s;
}

void WhereClause::expectSymbol(const char* s)
{
    if (!symbol(s))
        throw WhereError(std::string("'") + s + "' expected instead of '" + m_tokens[m_pos].text + "'");
    ++m_pos;
}

int WhereClause::add(Node node)
{
    m_nodes.push_back(std::move(node));
    return static_cast<int>(m_nodes.size()) - 1;
}

bool WhereClause::evaluate(int index, const std::vector<std::string>& row) const
{
    const Node& n = m_nodes[static_cast<size_t>(index)];
    switch (n.kind) {
    case Kind::True: return true;
    case Kind::All:
        for (int c : n.children)
            if (!evaluate(c, row))
                return false;
        return true;
    case Kind::Any:
        for (int c : n.children)
            if (evaluate(c, row))
                return true;
        return false;
    case Kind::Not: return !evaluate(n.children.front(), row);
    default: break;
    }
    const ScalarType& type = m_structure.components[static_cast<size_t>(n.field)].type.scalar;
    const std::string& value = row[static_cast<size_t>(n.field)];
    auto cmp = [&](const std::string& literal) { return ScalarCodec::compare(type, value, literal); };
    switch (n.kind) {
    case Kind::Like: return like(value, n.values.front());
    case Kind::Between: return cmp(n.values[0]) >= 0 && cmp(n.values[1]) <= 0;
    case Kind::In:
        for (const std::string& v : n.values)
            if (cmp(v) == 0)
                return true;
        return false;
    default: break;
    }
    const int r = cmp(n.values.front());
    switch (n.op) {
    case Op::Eq: return r == 0;
    case Op::Ne: return r != 0;
    case Op::Lt: return r < 0;
    case Op::Gt: return r > 0;
    case Op::Le: return r <= 0;
    case Op::Ge: return r >= 0;
    }
    return false;
}

// Wildcard match without recursion: '%' any run of characters, '_' exactly one character.
bool WhereClause::like(std::string_view value, std::string_view pattern) const
{
    auto next = [](std::string_view s, size_t i) { return i + Utf8::prefix(s.substr(i), 1).size(); };
    size_t v = 0, p = 0;
    size_t starP = std::string_view::npos, starV = 0;
    while (v < value.size()) {
        if (p < pattern.size() && pattern[p] == '%') {
            starP = ++p;
            starV = v;
        } else if (p < pattern.size() && pattern[p] == '_') {
            p = next(pattern, p);
            v = next(value, v);
        } else if (p < pattern.size() && pattern.substr(p, next(pattern, p) - p) == value.substr(v, next(value, v) - v)) {
            p = next(pattern, p);
            v = next(value, v);
        } else if (starP != std::string_view::npos) {
            p = starP;
            v = starV = next(value, starV);
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

} // namespace sapsim
