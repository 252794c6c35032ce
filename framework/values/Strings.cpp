#include "framework/values/Strings.h"

#include <locale.h>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kivra::framework {

namespace {

constexpr std::size_t npos = std::string::npos;

Int32 Saturate(std::size_t n) {
    constexpr auto max = static_cast<std::size_t>(std::numeric_limits<Int32>::max());
    return static_cast<Int32>(n > max ? max : n);
}

bool InRange(unsigned char c, unsigned char lo, unsigned char hi) { return c >= lo && c <= hi; }

// Bytes in the character at i: a well-formed UTF-8 sequence, or 1 for a byte
// that starts none, so that any byte string splits into characters.
std::size_t CharLength(const std::string& s, std::size_t i) {
    const auto at = [&](std::size_t k) -> unsigned char {
        return i + k < s.size() ? static_cast<unsigned char>(s[i + k]) : 0;
    };
    const unsigned char lead = at(0);
    const auto cont = [&](std::size_t k) { return InRange(at(k), 0x80, 0xBF); };
    if (lead < 0x80) return 1;
    if (InRange(lead, 0xC2, 0xDF)) return cont(1) ? 2 : 1;
    if (InRange(lead, 0xE0, 0xEF)) {
        const unsigned char lo = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = lead == 0xED ? 0x9F : 0xBF;
        return InRange(at(1), lo, hi) && cont(2) ? 3 : 1;
    }
    if (InRange(lead, 0xF0, 0xF4)) {
        const unsigned char lo = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = lead == 0xF4 ? 0x8F : 0xBF;
        return InRange(at(1), lo, hi) && cont(2) && cont(3) ? 4 : 1;
    }
    return 1;
}

// The byte offset count characters after byte offset from (s.size() at most);
// skipped receives how many characters there were.
std::size_t AdvanceChars(const std::string& s, std::size_t from, std::size_t count, std::size_t* skipped = nullptr) {
    std::size_t n = 0;
    while (n < count && from < s.size()) {
        from += CharLength(s, from);
        ++n;
    }
    if (skipped) *skipped = n;
    return from;
}

std::size_t ClampedStart(Int32 start) { return start < 1 ? 0 : static_cast<std::size_t>(start) - 1; }

int DigitValue(char c, int base) {
    int d;
    if (c >= '0' && c <= '9')
        d = c - '0';
    else if (c >= 'a' && c <= 'f')
        d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        d = c - 'A' + 10;
    else
        return -1;
    return d < base ? d : -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Val reads '.' as the decimal point whatever locale the application runs in.
double ParseDecimalC(const std::string& text) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text.c_str(), nullptr, cLocale);
}

}  // namespace

Int32 InStr(Int32 start, const std::string& s, const std::string& find) {
    const std::size_t wanted = ClampedStart(start);
    std::size_t skipped = 0;
    std::size_t cursor = AdvanceChars(s, 0, wanted, &skipped);
    if (skipped < wanted || cursor >= s.size()) return 0;
    std::size_t charIndex = wanted;
    if (find.empty()) return Saturate(charIndex + 1);
    // A byte match that starts or ends inside a character is no match of characters.
    for (std::size_t pos = s.find(find, cursor); pos != npos; pos = s.find(find, pos + 1)) {
        while (cursor < pos) {
            cursor += CharLength(s, cursor);
            ++charIndex;
        }
        if (cursor != pos) continue;
        const std::size_t end = pos + find.size();
        std::size_t boundary = pos;
        while (boundary < end) boundary += CharLength(s, boundary);
        if (boundary == end) return Saturate(charIndex + 1);
    }
    return 0;
}

Int32 InStr(const std::string& s, const std::string& find) { return InStr(1, s, find); }

Int32 InStrB(Int32 start, const std::string& s, const std::string& find) {
    const std::size_t from = ClampedStart(start);
    if (from >= s.size()) return 0;
    const std::size_t pos = s.find(find, from);
    return pos == npos ? 0 : Saturate(pos + 1);
}

std::string Mid(const std::string& s, Int32 start) { return s.substr(AdvanceChars(s, 0, ClampedStart(start))); }

std::string Mid(const std::string& s, Int32 start, Int32 length) {
    if (length <= 0) return {};
    const std::size_t begin = AdvanceChars(s, 0, ClampedStart(start));
    const std::size_t end = AdvanceChars(s, begin, static_cast<std::size_t>(length));
    return s.substr(begin, end - begin);
}

std::string MidB(const std::string& s, Int32 start, Int32 length) {
    const std::size_t begin = ClampedStart(start);
    if (length <= 0 || begin >= s.size()) return {};
    return s.substr(begin, static_cast<std::size_t>(length));
}

Int32 Len(const std::string& s) {
    std::size_t n = 0;
    AdvanceChars(s, 0, npos, &n);
    return Saturate(n);
}

Int32 LenB(const std::string& s) { return Saturate(s.size()); }

double Val(const std::string& s) {
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n && IsBlank(s[i])) ++i;

    if (i + 1 < n && s[i] == '&') {
        int base = 0;
        switch (AsciiLower(s[i + 1])) {
            case 'h':
                base = 16;
                break;
            case 'o':
                base = 8;
                break;
            case 'b':
                base = 2;
                break;
            default:
                return 0.0;
        }
        // A double holds any length of digits: past 2^53 it loses the low
        // digits, far past it becomes infinity, never undefined.
        double value = 0.0;
        for (i += 2; i < n; ++i) {
            const int d = DigitValue(s[i], base);
            if (d < 0) break;
            value = value * base + d;
        }
        return value;
    }

    const std::size_t begin = i;
    if (i < n && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < n && IsDigit(s[i])) ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < n && IsDigit(s[j])) {
            while (j < n && IsDigit(s[j])) ++j;
            i = j;
        }
    }
    return ParseDecimalC(s.substr(begin, i - begin));
}

std::string Hex(Int32 value) {
    char buffer[9];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<unsigned>(static_cast<std::uint32_t>(value)));
    return buffer;
}

std::string Str(Int32 value) { return std::to_string(value); }

std::string NthField(const std::string& s, const std::string& separator, Int32 n) {
    if (n < 1) return {};
    if (separator.empty()) return n == 1 ? s : std::string();
    std::size_t begin = 0;
    for (Int32 field = 1; field < n; ++field) {
        const std::size_t pos = s.find(separator, begin);
        if (pos == npos) return {};
        begin = pos + separator.size();
    }
    const std::size_t end = s.find(separator, begin);
    return s.substr(begin, end == npos ? npos : end - begin);
}

std::string Replace(const std::string& s, const std::string& find, const std::string& replacement) {
    if (find.empty()) return s;
    const std::size_t pos = s.find(find);
    if (pos == npos) return s;
    std::string result = s;
    result.replace(pos, find.size(), replacement);
    return result;
}

std::string Chr(Int32 codePoint) {
    if (codePoint < 0 || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return {};
    const auto cp = static_cast<std::uint32_t>(codePoint);
    const auto byte = [](std::uint32_t b) { return static_cast<char>(b); };
    if (cp < 0x80) return std::string(1, byte(cp));
    if (cp < 0x800) return {byte(0xC0 | (cp >> 6)), byte(0x80 | (cp & 0x3F))};
    if (cp < 0x10000) return {byte(0xE0 | (cp >> 12)), byte(0x80 | ((cp >> 6) & 0x3F)), byte(0x80 | (cp & 0x3F))};
    return {byte(0xF0 | (cp >> 18)), byte(0x80 | ((cp >> 12) & 0x3F)), byte(0x80 | ((cp >> 6) & 0x3F)),
            byte(0x80 | (cp & 0x3F))};
}

bool StringEquals(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

}  // namespace kivra::framework
