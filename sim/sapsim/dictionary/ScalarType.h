#pragma once

#include <string>

namespace sapsim {

// One scalar ABAP type by its dictionary letter: C character, N numeric text, D date, T time,
// X bytes, P packed number, F float, I 4-byte integer, s 2-byte integer, b 1-byte unsigned
// integer, g string, y byte string, a and e decimal floating point numbers of 16 and 34 digits.
//
// `length` is what the one-byte-per-character layout gives the field: characters for C, N, D
// and T, bytes for X and P, the storage size for F, I, s and b, and the size of a reference (8)
// for the two string types; 8 and 16 bytes for the decimal floating point types.
struct ScalarType {
    char letter = 'C';
    int length = 1;
    int decimals = 0;

    static bool knownLetter(char letter);
    // The length a letter always has, or 0 when the letter takes a length from its declaration.
    static int fixedLength(char letter);

    bool characterLike() const { return letter == 'C' || letter == 'N' || letter == 'D' || letter == 'T'; }
    bool integer() const { return letter == 'I' || letter == 's' || letter == 'b'; }
    bool variableLength() const { return letter == 'g' || letter == 'y'; }
    int digits() const { return 2 * length - 1; }
    // Name of the predefined dictionary type, used where a parameter has no type name of its own.
    std::string predefinedName() const;
};

} // namespace sapsim
