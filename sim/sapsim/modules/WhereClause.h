#pragma once

#include "dictionary/Structure.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace sapsim {

class WhereError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The selection of table reading: comparisons of a field with a literal (= EQ <> NE < LT > GT
// <= LE >= GE), [NOT] LIKE with % and _, [NOT] BETWEEN ... AND ..., [NOT] IN (...), combined
// with AND, OR, NOT and parentheses. Keywords and field names are case-insensitive; literals
// are quoted ('it''s') or plain numbers. An empty text selects every row.
class WhereClause {
public:
    WhereClause(std::string_view text, const Structure& structure);

    bool matches(const std::vector<std::string>& row) const;

    static constexpr int maxNesting = 50;
    static constexpr size_t maxTokens = 20000;

private:
    enum class Kind { All, Any, Not, Compare, Like, Between, In, True };
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

    struct Node {
        Kind kind = Kind::True;
        std::vector<int> children;
        int field = -1;
        Op op = Op::Eq;
        std::vector<std::string> values;
    };

    struct Token {
        enum class Type { Word, Literal, Number, Symbol, End } type;
        std::string text;
    };

    void tokenize(std::string_view text);
    int parseOr(int depth);
    int parseAnd(int depth);
    int parseUnary(int depth);
    int parseCondition();
    std::string literalFor(int field);
    bool keyword(const char* word) const;
    bool symbol(const char* s) const;
    void expectSymbol(const char* s);
    int add(Node node);
    bool evaluate(int node, const std::vector<std::string>& row) const;
    bool like(std::string_view value, std::string_view pattern) const;

    const Structure& m_structure;
    std::vector<Token> m_tokens;
    size_t m_pos = 0;
    std::vector<Node> m_nodes;
    int m_root = -1;
};

} // namespace sapsim
