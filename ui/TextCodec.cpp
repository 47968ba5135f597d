#include "ui/TextCodec.h"

#include <array>
#include <unordered_map>

namespace {

// Windows-1252 bytes 0x80-0x9F. The five bytes the code page leaves undefined map to
// the C1 control with the same number, so they survive a round trip.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t kLoneCrSymbol = 0x240D; // SYMBOL FOR CARRIAGE RETURN
constexpr char16_t kParagraphSeparator = 0x2029;

const std::unordered_map<char16_t, unsigned char>& Cp1252Reverse() {
    static const std::unordered_map<char16_t, unsigned char> map = [] {
        std::unordered_map<char16_t, unsigned char> m;
        for (int i = 0; i < 32; ++i)
            m.emplace(kCp1252High[static_cast<size_t>(i)], static_cast<unsigned char>(0x80 + i));
        return m;
    }();
    return map;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(QString& out, char32_t c) {
    if (c < 0x10000) {
        out += QChar(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out += QChar(static_cast<char16_t>(0xD800 + (c >> 10)));
        out += QChar(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
}

// Decodes one UTF-8 sequence at i; false when it is not well formed (overlong forms,
// surrogates and values above U+10FFFF are not).
bool NextUtf8(std::string_view s, size_t& i, char32_t& out) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    if (c < 0x80) {
        out = c;
        ++i;
        return true;
    }
    int len;
    char32_t cp;
    char32_t min;
    if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
        min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
        min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
        min = 0x10000;
    } else {
        return false;
    }
    if (i + static_cast<size_t>(len) > s.size())
        return false;
    for (int k = 1; k < len; ++k) {
        unsigned char cc = b(i + static_cast<size_t>(k));
        if ((cc & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return false;
    out = cp;
    i += static_cast<size_t>(len);
    return true;
}

} // namespace


TextEncoding DetectEncoding(std::string_view bytes) {
    return IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

QString DecodeBytes(std::string_view bytes, TextEncoding encoding) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    if (encoding == TextEncoding::Utf8) {
        size_t i = 0;
        char32_t c;
        while (i < bytes.size()) {
            if (NextUtf8(bytes, i, c)) {
                AppendUtf16(out, c);
            } else {
                // Not reached for text that passed IsValidUtf8.
                out += QChar(0xFFFD);
                ++i;
            }
        }
    } else {
        for (char ch : bytes) {
            auto b = static_cast<unsigned char>(ch);
            if (b >= 0x80 && b < 0xA0)
                out += QChar(kCp1252High[b - 0x80]);
            else
                out += QChar(static_cast<char16_t>(b));
        }
    }
    return out;
}

std::string EncodeString(const QString& text, TextEncoding encoding, bool* ok) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    bool good = true;
    const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    if (encoding == TextEncoding::Utf8) {
        for (qsizetype i = 0; i < n; ++i) {
            char32_t c = p[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (p[i + 1] - 0xDC00);
                ++i;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                good = false; // a lone surrogate has no UTF-8 form
                continue;
            }
            AppendUtf8(out, c);
        }
    } else {
        const auto& reverse = Cp1252Reverse();
        for (qsizetype i = 0; i < n; ++i) {
            char16_t c = p[i];
            if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
                out += static_cast<char>(c);
                continue;
            }
            auto it = reverse.find(c);
            if (it != reverse.end())
                out += static_cast<char>(it->second);
            else
                good = false;
        }
    }
    if (ok)
        *ok = good;
    return out;
}

QString DecodeName(std::string_view bytes) {
    // Most names are plain ASCII.
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return DecodeBytes(bytes, DetectEncoding(bytes));
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QString DecodeField(std::string_view bytes, FieldCodec& codec) {
    codec.encoding = DetectEncoding(bytes);
    QString text = DecodeBytes(bytes, codec.encoding);
    // CR LF pairs become "\n"; a CR on its own is kept visible as a symbol, unless the
    // text already holds that symbol (then it could not be told apart on the way back).
    bool hasLoneCr = false;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'))
            hasLoneCr = true;
    codec.mapsLoneCr = hasLoneCr && !text.contains(QChar(kLoneCrSymbol));
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                out += u'\n';
                ++i;
            } else {
                out += codec.mapsLoneCr ? QChar(kLoneCrSymbol) : c;
            }
        } else {
            out += c;
        }
    }
    return out;
}

std::string EncodeField(const QString& text, FieldCodec& codec) {
    QString lib;
    lib.reserve(text.size() + text.size() / 16);
    for (QChar c : text) {
        if (c == u'\n' || c == QChar(kParagraphSeparator))
            lib += QStringLiteral("\r\n");
        else if (codec.mapsLoneCr && c == QChar(kLoneCrSymbol))
            lib += u'\r';
        else
            lib += c;
    }
    bool ok = true;
    std::string bytes = EncodeString(lib, codec.encoding, &ok);
    if (!ok && codec.encoding == TextEncoding::Windows1252) {
        codec.encoding = TextEncoding::Utf8;
        bytes = EncodeString(lib, codec.encoding, &ok);
    }
    return bytes;
}

QString DecodeLines(const std::string& bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    size_t start = 0;
    while (start <= bytes.size()) {
        size_t lf = bytes.find('\n', start);
        const size_t end = lf == std::string::npos ? bytes.size() : lf;
        size_t lineEnd = end;
        if (lf != std::string::npos && lineEnd > start && bytes[lineEnd - 1] == '\r')
            --lineEnd;
        out += DecodeName(std::string_view(bytes).substr(start, lineEnd - start));
        if (lf == std::string::npos)
            break;
        out += QLatin1Char('\n');
        start = lf + 1;
    }
    return out;
}
