#include "readers/TextScan.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace textscan {
namespace {

// The character at p, or -1 at the end of the text (bytes above 127 are positive).
int peek(const char* p, const char* end) {
    return p < end ? static_cast<unsigned char>(*p) : -1;
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isHexDigit(int c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int lower(int c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

const char* afterSpace(const char* p, const char* end) {
    while (p < end && isSpace(*p)) ++p;
    return p;
}

// Consumes the letters of word (lower case) that follow p in any case. True when the whole
// word matched; p stops at the first character that did not.
bool consumeWord(const char*& p, const char* end, const char* word) {
    for (; *word; ++word, ++p)
        if (lower(peek(p, end)) != *word) return false;
    return true;
}

// A decimal number of at most this many digits, none after an exponent, converts exactly by
// one division of floats: its digits and the power of ten are both exact in a float, and an
// IEEE division rounds the exact quotient once, as strtof rounds the decimal value (also where
// the x87 divides at a wider precision: 53 or 64 bits are more than twice 24, so rounding
// twice gives the same float).
constexpr uint32_t kExactDigits = 1u << 24;
constexpr int kExactPowers = 11;
const float kPowersOfTen[kExactPowers] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                          1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

// The common case first: digits with at most one point, short enough to convert exactly (see
// above), followed by neither more digits, an exponent nor a hexadecimal 'x'. Anything else is
// left to the general reading below (p is then unchanged).
bool shortDecimal(const char*& p, const char* end, bool negative, float& value) {
    const char* q = p;
    uint32_t digitsValue = 0;
    int digits = 0, fractionDigits = 0;
    bool point = false;
    for (; q < end; ++q) {
        const unsigned digit = static_cast<unsigned char>(*q) - '0';
        if (digit <= 9) {
            if (digitsValue > kExactDigits / 10) return false;
            digitsValue = digitsValue * 10 + digit;
            if (digitsValue > kExactDigits) return false;
            ++digits;
            fractionDigits += point;
        } else if (*q == '.' && !point) {
            point = true;
        } else {
            const int next = lower(static_cast<unsigned char>(*q));
            if (next == 'e' || next == 'x') return false;
            break;
        }
    }
    if (digits == 0 || fractionDigits >= kExactPowers) return false;
    const float magnitude = static_cast<float>(digitsValue) / kPowersOfTen[fractionDigits];
    value = negative ? -magnitude : magnitude;
    p = q;
    return true;
}

}  // namespace

Token readToken(Cursor& c, size_t limit) {
    const char* start = afterSpace(c.at, c.end);
    const char* stop = static_cast<size_t>(c.end - start) > limit ? start + limit : c.end;
    const char* p = start;
    // Eight characters at a time while none of them is a control character or a blank (white
    // space is among those), then one at a time.
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    for (uint64_t word; stop - p >= 8; p += 8) {
        std::memcpy(&word, p, sizeof word);
        if (((word - kOnes * 0x21) & ~word & kHighs) != 0) break;
    }
    while (p < stop && !isSpace(*p)) ++p;
    c.at = p;
    return {start, static_cast<size_t>(p - start)};
}

void skipSpace(Cursor& c) { c.at = afterSpace(c.at, c.end); }

bool match(Cursor& c, char expected) {
    if (c.at == c.end || *c.at != expected) return false;
    ++c.at;
    return true;
}

bool scanInteger(Cursor& c, long long& value) {
    const char* p = afterSpace(c.at, c.end);
    const bool negative = peek(p, c.end) == '-';
    if (negative || peek(p, c.end) == '+') ++p;
    if (!isDigit(peek(p, c.end))) {
        c.at = p;  // the sign is consumed, as fscanf consumes it
        return false;
    }
    // Accumulated towards the sign, so that the most negative value fits.
    long long result = 0;
    bool beyond = false;
    for (; isDigit(peek(p, c.end)); ++p) {
        const int digit = *p - '0';
        if (negative ? result < (LLONG_MIN + digit) / 10 : result > (LLONG_MAX - digit) / 10)
            beyond = true;
        else
            result = result * 10 + (negative ? -digit : digit);
    }
    c.at = p;
    value = beyond ? (negative ? LLONG_MIN : LLONG_MAX) : result;
    return true;
}

bool scanFloat(Cursor& c, float& value) {
    const char* const start = afterSpace(c.at, c.end);
    const char* p = start;
    const char* const end = c.end;
    const bool negative = peek(p, end) == '-';
    if (negative || peek(p, end) == '+') ++p;
    if (shortDecimal(p, end, negative, value)) {
        c.at = p;
        return true;
    }
    bool complete;
    bool exact = false;  // a short decimal: converted here, without strtof
    uint32_t digitsValue = 0;
    int fractionDigits = 0;
    if (lower(peek(p, end)) == 'i') {
        complete = consumeWord(p, end, "inf") &&
                   (lower(peek(p, end)) != 'i' || consumeWord(p, end, "inity"));
    } else if (lower(peek(p, end)) == 'n') {
        complete = consumeWord(p, end, "nan");
    } else {
        bool hex = false;
        int digits = 0;
        if (peek(p, end) == '0') {
            ++p;
            if (lower(peek(p, end)) == 'x') {
                hex = true;
                ++p;
            } else {
                digits = 1;
            }
        }
        // Digits with at most one point.
        exact = !hex;
        bool point = false;
        for (;; ++p) {
            const int ch = peek(p, end);
            if (hex ? isHexDigit(ch) : isDigit(ch)) {
                ++digits;
                if (exact) {
                    const uint64_t next = uint64_t{digitsValue} * 10 + static_cast<unsigned>(ch - '0');
                    exact = next <= kExactDigits && (!point || fractionDigits < kExactPowers - 1);
                    digitsValue = static_cast<uint32_t>(next);
                    fractionDigits += point;
                }
            } else if (ch == '.' && !point) {
                point = true;
            } else {
                break;
            }
        }
        complete = digits > 0;
        if (complete && lower(peek(p, end)) == (hex ? 'p' : 'e')) {
            // An exponent without digits is consumed; the number converts without it.
            exact = false;
            ++p;
            if (peek(p, end) == '-' || peek(p, end) == '+') ++p;
            while (isDigit(peek(p, end))) ++p;
        }
    }
    c.at = p;
    if (!complete) return false;
    if (exact) {
        const float magnitude = static_cast<float>(digitsValue) / kPowersOfTen[fractionDigits];
        value = negative ? -magnitude : magnitude;
        return true;
    }
    // The characters consumed, as strtof reads them (short numbers stay in the string's own
    // storage).
    const std::string item(start, p);
    value = std::strtof(item.c_str(), nullptr);
    return true;
}

}  // namespace textscan
