#include "modules/WhereClause.h"

#include <gtest/gtest.h>

using namespace sapsim;

namespace {

Structure rowType()
{
    Structure s;
    s.components = {{"NAME", {TypeKind::Scalar, {'C', 10, 0}, nullptr, ""}, ""},
                    {"QTY", {TypeKind::Scalar, {'I', 4, 0}, nullptr, ""}, ""},
                    {"DAY", {TypeKind::Scalar, {'D', 8, 0}, nullptr, ""}, ""}};
    return s;
}

std::vector<std::string> row(std::string name, std::string qty, std::string day = "20240101")
{
    return {std::move(name), std::move(qty), std::move(day)};
}

} // namespace

TEST(WhereClause, AndBindsBeforeOrAndNotNegatesOneTerm)
{
    const Structure s = rowType();
    const WhereClause w("NAME = 'a' OR NAME = 'b' AND QTY > 5", s);
    EXPECT_TRUE(w.matches(row("a", "1")));
    EXPECT_FALSE(w.matches(row("b", "1")));
    EXPECT_TRUE(w.matches(row("b", "6")));
    const WhereClause n("NOT NAME = 'a' AND QTY = 1", s);
    EXPECT_TRUE(n.matches(row("b", "1")));
    EXPECT_FALSE(n.matches(row("a", "1")));
    EXPECT_FALSE(n.matches(row("b", "2")));
}

TEST(WhereClause, LikeMatchesCharactersNotBytes)
{
    const Structure s = rowType();
    const WhereClause underscore("NAME LIKE 'M_ller'", s);
    EXPECT_TRUE(underscore.matches(row("Müller", "0")));
    EXPECT_FALSE(underscore.matches(row("Mueller", "0")));
    const WhereClause percent("NAME LIKE '%a%b%'", s);
    EXPECT_TRUE(percent.matches(row("xaxbx", "0")));
    EXPECT_TRUE(percent.matches(row("ab", "0")));
    EXPECT_FALSE(percent.matches(row("ba", "0")));
    EXPECT_TRUE(WhereClause("NAME LIKE 'it''s%'", s).matches(row("it's me", "0")));
    EXPECT_TRUE(WhereClause("DAY LIKE '2024%'", s).matches(row("x", "0")));
}

TEST(WhereClause, RefusesWhatItCannotEvaluate)
{
    const Structure s = rowType();
    for (const char* bad : {"NAME = ", "= 'a'", "NAME == 'a'", "NAME = 'a' OR", "(NAME = 'a'", "NAME = 'a')",
                            "QTY LIKE '1%'", "QTY = 'x'", "DAY = 'yesterday'", "OTHER = 1", "NAME NOT = 'a'",
                            "NAME BETWEEN 'a'", "NAME IN ('a' 'b')", "NAME = a"})
        EXPECT_THROW(WhereClause(bad, s), WhereError) << bad;
    EXPECT_TRUE(WhereClause("   ", s).matches(row("any", "0")));
}
