// The library's rules for its 8-bit text: what counts as UTF-8, the two encodings a
// field may be in (valid UTF-8 is UTF-8, anything else Windows-1252), blanks, lower case
// for the search and the order in which names are listed. No Qt: the window, the tool
// and the command-line program all use these.
#pragma once

#include <string>
#include <string_view>

// text without the blanks (space, tab, CR, LF, VT, FF) at its two ends.
std::string_view Trim(std::string_view text);

// True when text is valid UTF-8: no overlong forms, surrogates or code points past
// U+10FFFF. Text that is not is taken as Windows-1252.
bool IsValidUtf8(std::string_view text);

// True when every byte is below 0x80: the same bytes in UTF-8 and Windows-1252.
bool IsAscii(std::string_view text);

// Decodes the UTF-8 sequence at i into cp and moves i past it; false (i unchanged) when
// the bytes there are not a well-formed sequence.
bool NextUtf8(std::string_view text, size_t& i, char32_t& cp);
void AppendUtf8(std::string& out, char32_t cp);

// The character of a Windows-1252 byte. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the same number.
char32_t Windows1252Char(unsigned char byte);
// The Windows-1252 byte of a character; false when the code page has none.
bool Windows1252Byte(char32_t cp, unsigned char& byte);
// UTF-8 text in Windows-1252; false (out unspecified) when a character has no byte.
bool Utf8ToWindows1252(std::string_view utf8, std::string& out);
// The same characters in both encodings: text is UTF-8 when it is valid UTF-8, else
// Windows-1252. windows1252 is empty when a character has no byte there.
void InBothEncodings(std::string_view text, std::string& utf8, std::string& windows1252);

// The lower case of one character as the search uses it: ASCII, and the capitals of
// U+0080-U+07FF whose lower case is one character of that range (Latin, Greek, Cyrillic,
// Armenian). Every other character is its own lower case.
char32_t LowerChar(char32_t cp);

// Lower-cases text for the case-insensitive search, keeping its encoding and its length:
// ASCII always; when the text is valid UTF-8, the two-byte characters as LowerChar does;
// otherwise the Windows-1252 capitals 0xC0-0xDE (but 0xD7) and 0x8A, 0x8C, 0x8E, 0x9F.
std::string FoldCase(std::string_view text);
// The Windows-1252 branch of FoldCase, also for text that happens to be valid UTF-8.
std::string FoldWindows1252(std::string_view text);

// The order in which names (categories, sub-categories, titles) are listed: compared
// as characters (each name decoded by its own encoding) in lower case first; names equal
// but for letter case are then ordered by their characters themselves, and names with
// the same characters by their bytes, so the order is total. Negative, 0 or positive.
int CompareNames(std::string_view a, std::string_view b);
inline bool NameLess(std::string_view a, std::string_view b) {
    return CompareNames(a, b) < 0;
}

// A count with its noun in the right number: "1 sample", "2 samples", "0 samples".
std::string CountOf(size_t n, std::string_view one, std::string_view many);
