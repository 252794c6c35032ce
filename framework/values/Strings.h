#pragma once

#include <string>

#include "framework/values/Types.h"

namespace kivra::framework {

// Text functions over UTF-8. Positions count characters from 1; the B forms
// count bytes, for scans whose markers are ASCII.

// Position of find in s at or after start (1-based; 0 or less means 1); 0 when absent.
// Letter case counts. An empty find is found at start when start lies within s, so an
// empty s gives 0. Invalid UTF-8 bytes count as one character each, and a match never
// begins or ends inside a character.
Int32 InStr(Int32 start, const std::string& s, const std::string& find);
Int32 InStr(const std::string& s, const std::string& find);
Int32 InStrB(Int32 start, const std::string& s, const std::string& find);
// length characters from start (1-based; 0 or less means 1); all the rest when
// length is omitted, empty when it is 0 or less.
std::string Mid(const std::string& s, Int32 start);
std::string Mid(const std::string& s, Int32 start, Int32 length);
std::string MidB(const std::string& s, Int32 start, Int32 length);
Int32 Len(const std::string& s);
Int32 LenB(const std::string& s);
// The number at the start of s, after leading ASCII white space: decimal (optional
// sign, digits with an optional fraction and exponent), or unsigned hexadecimal after
// "&h"/"&H", octal after "&o", binary after "&b". Reading stops at the first character
// that does not fit; an empty or unreadable start gives 0. Hexadecimal, octal and
// binary digits build up in a double, so any number of them is safe: "&h" and twelve
// F give 2^48 - 1, far longer runs give infinity, and ToInt32 saturates both.
double Val(const std::string& s);
// Hexadecimal digits (upper case) of the 32-bit pattern of value, no leading zeros.
std::string Hex(Int32 value);
std::string Str(Int32 value);
// The n-th (1-based) field of s split at separator; empty when there is none.
std::string NthField(const std::string& s, const std::string& separator, Int32 n);
// s with the first occurrence of find replaced.
std::string Replace(const std::string& s, const std::string& find, const std::string& replacement);
// The UTF-8 text of one code point; empty for a number that is none (negative, a
// surrogate, past 0x10FFFF).
std::string Chr(Int32 codePoint);
// The framework's String equality: ignores the case of ASCII letters, compares
// every other byte as it is.
bool StringEquals(const std::string& a, const std::string& b);

}  // namespace kivra::framework
