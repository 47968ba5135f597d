// Bytes of what the user typed into a one-line edit. An edit that still shows the bytes
// it was given keeps exactly those bytes (a name read from a file may be in another
// encoding); anything typed is stored as UTF-8.
#pragma once

#include <QString>
#include <string>

#include "ui/TextCodec.h"

inline QString ShownBytes(const std::string& bytes) {
    return DecodeName(bytes);
}

inline std::string TypedBytes(const QString& text, const std::string& shownBytes) {
    if (text == DecodeName(shownBytes))
        return shownBytes;
    return EncodeString(text, TextEncoding::Utf8);
}
