#pragma once
// Formatted input from text held in memory, by hand, with the C library's fscanf rules as glibc
// applies them: the same characters consumed, the same values, the same failures. The ASE
// reader reads every token and number of a model file, and the library's formatted-input calls
// (or a stream call a character) cost several times more than the reading itself. Each function
// leaves the character that ends an item unread.

#include <cstddef>

namespace textscan {

// Where reading stands in a text held in memory, and where the text ends.
struct Cursor {
    const char* at;
    const char* end;
};

// White space as the C locale's isspace has it: blank, tab, line feed, carriage return,
// vertical tab and form feed.
inline bool isSpace(char c) {
    const unsigned u = static_cast<unsigned char>(c);
    return u == ' ' || (u - '\t') <= '\r' - '\t';
}

// A token as "%Ns" reads it: white space skipped, then at most limit characters up to the next
// white space. The text stays where it is; length 0 at the end of the text.
struct Token {
    const char* text;
    size_t length;
};
Token readToken(Cursor& cursor, size_t limit = 255);

// A white-space directive (" " or "\t" in a pattern): any run of white space, including none.
void skipSpace(Cursor& cursor);

// An ordinary character of a pattern: consumed when it is the next character, else left.
bool match(Cursor& cursor, char expected);

// "%lld": an optionally signed decimal integer after white space, held at the limits of its
// type when it is beyond them. False (value unchanged) when no digit follows the sign.
bool scanInteger(Cursor& cursor, long long& value);

// "%f": an optionally signed decimal or hexadecimal floating-point number, "inf", "infinity"
// or "nan" (any case) after white space. An incomplete exponent ("1e", "1e+") is consumed and
// ignored. False (value unchanged) when the characters consumed form no number.
bool scanFloat(Cursor& cursor, float& value);

}  // namespace textscan
