#include "readers/TextScan.h"

#include <climits>
#include <cstdlib>
#include <string>

namespace textscan {
namespace {

#ifdef _WIN32
int next(std::FILE* f) { return std::getc(f); }
#else
int next(std::FILE* f) { return getc_unlocked(f); }  // each stream is read by one thread
#endif

// The character after an item goes back; nothing goes back at the end of the file.
void putBack(std::FILE* f, int c) {
    if (c != EOF) std::ungetc(c, f);
}

bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isHexDigit(int c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int lower(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

int firstAfterSpace(std::FILE* f) {
    int c;
    do c = next(f);
    while (isSpace(c));
    return c;
}

// Consumes the letters of word (lower case) that follow in any case; c is the first character
// to compare and, on return, the first one that did not match (not consumed). True when the
// whole word matched.
bool consumeWord(std::FILE* f, const char* word, int& c, std::string& item) {
    for (; *word; ++word) {
        if (lower(c) != *word) return false;
        item += static_cast<char>(c);
        c = next(f);
    }
    return true;
}

// Digits (hexadecimal ones when hex) with at most one point; c as in consumeWord. Returns the
// number of digits.
int consumeMantissa(std::FILE* f, bool hex, int& c, std::string& item) {
    int digits = 0;
    bool point = false;
    for (;; c = next(f)) {
        if (hex ? isHexDigit(c) : isDigit(c))
            ++digits;
        else if (c == '.' && !point)
            point = true;
        else
            return digits;
        item += static_cast<char>(c);
    }
}

}  // namespace

size_t readToken(std::FILE* f, char (&token)[256]) {
    int c = firstAfterSpace(f);
    if (c == EOF) return 0;
    size_t length = 0;
    token[length++] = static_cast<char>(c);
    while (length < sizeof token - 1) {
        c = next(f);
        if (c == EOF || isSpace(c)) {
            putBack(f, c);
            break;
        }
        token[length++] = static_cast<char>(c);
    }
    token[length] = '\0';
    return length;
}

void skipSpace(std::FILE* f) { putBack(f, firstAfterSpace(f)); }

bool match(std::FILE* f, char expected) {
    int c = next(f);
    if (c == static_cast<unsigned char>(expected)) return true;
    putBack(f, c);
    return false;
}

bool scanInteger(std::FILE* f, long long& value) {
    int c = firstAfterSpace(f);
    const bool negative = c == '-';
    if (c == '-' || c == '+') c = next(f);
    if (!isDigit(c)) {
        putBack(f, c);
        return false;
    }
    // Accumulated towards the sign, so that the most negative value fits.
    long long result = 0;
    bool beyond = false;
    for (; isDigit(c); c = next(f)) {
        const int digit = c - '0';
        if (negative ? result < (LLONG_MIN + digit) / 10 : result > (LLONG_MAX - digit) / 10)
            beyond = true;
        else
            result = result * 10 + (negative ? -digit : digit);
    }
    putBack(f, c);
    value = beyond ? (negative ? LLONG_MIN : LLONG_MAX) : result;
    return true;
}

bool scanFloat(std::FILE* f, float& value) {
    std::string item;  // short numbers stay in the string's own storage
    int c = firstAfterSpace(f);
    if (c == '-' || c == '+') {
        item += static_cast<char>(c);
        c = next(f);
    }
    bool complete;
    if (lower(c) == 'i') {
        complete =
            consumeWord(f, "inf", c, item) && (lower(c) != 'i' || consumeWord(f, "inity", c, item));
    } else if (lower(c) == 'n') {
        complete = consumeWord(f, "nan", c, item);
    } else {
        bool hex = false;
        int digits = 0;
        if (c == '0') {
            item += '0';
            c = next(f);
            if (lower(c) == 'x') {
                hex = true;
                item += static_cast<char>(c);
                c = next(f);
            } else {
                digits = 1;
            }
        }
        digits += consumeMantissa(f, hex, c, item);
        complete = digits > 0;
        if (complete && lower(c) == (hex ? 'p' : 'e')) {
            // An exponent without digits is consumed; the number converts without it.
            item += static_cast<char>(c);
            c = next(f);
            if (c == '-' || c == '+') {
                item += static_cast<char>(c);
                c = next(f);
            }
            for (; isDigit(c); c = next(f)) item += static_cast<char>(c);
        }
    }
    putBack(f, c);
    if (!complete) return false;
    value = std::strtof(item.c_str(), nullptr);
    return true;
}

}  // namespace textscan
