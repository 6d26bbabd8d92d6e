#pragma once
// Formatted input from a text stream by hand, with the C library's fscanf rules as glibc applies
// them: the same characters consumed, the same values, the same failures. The ASE reader reads
// every token and number of a model file, and the library's formatted-input calls cost several
// times more than the reading itself. Each function looks ahead by one character at most and
// leaves the character that ends an item in the stream.

#include <cstdio>

namespace textscan {

// "%255s": white space skipped, then at most 255 characters up to the next white space.
// Returns the token's length, 0 at the end of the file.
size_t readToken(std::FILE* stream, char (&token)[256]);

// A white-space directive (" " or "\t" in a pattern): any run of white space, including none.
void skipSpace(std::FILE* stream);

// An ordinary character of a pattern: consumed when it is the next character, else left.
bool match(std::FILE* stream, char expected);

// "%lld": an optionally signed decimal integer after white space, held at the limits of its
// type when it is beyond them. False (value unchanged) when no digit follows the sign.
bool scanInteger(std::FILE* stream, long long& value);

// "%f": an optionally signed decimal or hexadecimal floating-point number, "inf", "infinity"
// or "nan" (any case) after white space. An incomplete exponent ("1e", "1e+") is consumed and
// ignored. False (value unchanged) when the characters consumed form no number.
bool scanFloat(std::FILE* stream, float& value);

}  // namespace textscan
