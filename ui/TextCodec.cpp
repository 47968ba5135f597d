#include "ui/TextCodec.h"

#include "base/TextRules.h"


namespace {

constexpr char16_t kLoneCrSymbol = 0x240D; // SYMBOL FOR CARRIAGE RETURN
constexpr char16_t kParagraphSeparator = 0x2029;

void AppendUtf16(QString& out, char32_t c) {
    if (c < 0x10000) {
        out += QChar(static_cast<char16_t>(c));
    } else {
        c -= 0x10000;
        out += QChar(static_cast<char16_t>(0xD800 + (c >> 10)));
        out += QChar(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
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
            out += QChar(static_cast<char16_t>(Windows1252Char(static_cast<unsigned char>(ch))));
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
        for (qsizetype i = 0; i < n; ++i) {
            unsigned char byte = 0;
            if (Windows1252Byte(p[i], byte))
                out += static_cast<char>(byte);
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
