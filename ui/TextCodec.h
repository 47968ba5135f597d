// Text between the library's 8-bit strings and the widgets. Category files hold bytes:
// text that is valid UTF-8 is shown as UTF-8, anything else as Windows-1252, and each
// field remembers how it was decoded so that it is written back as the same bytes.
// Line ends are CR LF in the library and "\n" in the widgets.
#pragma once

#include <QString>
#include <string>
#include <string_view>


enum class TextEncoding { Utf8, Windows1252 };

// How one form field was decoded; EncodeField writes it back the same way.
struct FieldCodec {
    TextEncoding encoding = TextEncoding::Utf8;
    // The field held a CR that did not start a CR LF pair; it is shown as U+240D and
    // turned back into a CR on the way out.
    bool mapsLoneCr = false;
};

// Valid UTF-8 (IsValidUtf8, from the library) is UTF-8; anything else Windows-1252.
TextEncoding DetectEncoding(std::string_view bytes);

// Plain conversions without any line-end handling.
QString DecodeBytes(std::string_view bytes, TextEncoding encoding);
// False in ok when a character has no byte in the encoding (it is then left out).
std::string EncodeString(const QString& text, TextEncoding encoding, bool* ok = nullptr);

// A name (category, sub-category, title) or a message: detected, no line-end handling.
QString DecodeName(std::string_view bytes);

// Library text (CR LF line ends) to widget text ("\n" line ends).
QString DecodeField(std::string_view bytes, FieldCodec& codec);
// Widget text back to library bytes in the field's encoding. "\n" and U+2029 become
// CR LF. When the text holds a character the field's 8-bit code page cannot hold,
// the field changes to UTF-8, so nothing the user typed is lost.
std::string EncodeField(const QString& text, FieldCodec& codec);

// Multi-line library text for a read-only view: each line is decoded on its own (a
// report mixes names of either encoding) and CR LF becomes "\n".
QString DecodeLines(const std::string& bytes);

