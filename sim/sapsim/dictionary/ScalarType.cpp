#include "dictionary/ScalarType.h"

#include <string_view>

namespace sapsim {

bool ScalarType::knownLetter(char letter)
{
    return std::string_view("CNDTXPFIsbgyae").find(letter) != std::string_view::npos;
}

int ScalarType::fixedLength(char letter)
{
    switch (letter) {
    case 'D': return 8;
    case 'T': return 6;
    case 'F': return 8;
    case 'I': return 4;
    case 's': return 2;
    case 'b': return 1;
    case 'g':
    case 'y':
    case 'a': return 8;
    case 'e': return 16;
    default: return 0;
    }
}

std::string ScalarType::predefinedName() const
{
    switch (letter) {
    case 'C': return "CHAR" + std::to_string(length);
    case 'N': return "NUMC" + std::to_string(length);
    case 'D': return "DATS";
    case 'T': return "TIMS";
    case 'X': return "RAW" + std::to_string(length);
    case 'P': return "DEC" + std::to_string(digits()) + "_" + std::to_string(decimals);
    case 'F': return "FLTP";
    case 'I': return "INT4";
    case 's': return "INT2";
    case 'b': return "INT1";
    case 'g': return "STRING";
    case 'y': return "RAWSTRING";
    case 'a': return "DECFLOAT16";
    case 'e': return "DECFLOAT34";
    default: return {};
    }
}

} // namespace sapsim
