// The form's text codec: UTF-8 when valid, Windows-1252 otherwise, same bytes back (the
// round trips of every byte value are in CodeEditorTest), typed text in the field's encoding.
#include <gtest/gtest.h>

#include "base/TextRules.h"
#include "ui/TextCodec.h"

TEST(TextCodec, TypedTextIsEncodedTheWayTheFieldWasRead) {
    const struct {
        const char* read;
        const char* typed; // UTF-8
        const char* written;
        TextEncoding after;
    } cases[] = {
        {"caf\xE9\r\n", "cr\xC3\xA8me \xE2\x82\xAC", "caf\xE9\r\ncr\xE8me \x80", TextEncoding::Windows1252},
        {"caf\xC3\xA9", " cr\xC3\xA8me", "caf\xC3\xA9 cr\xC3\xA8me", TextEncoding::Utf8},
        // A character the code page lacks turns the field into UTF-8.
        {"caf\xE9", " \xE2\x86\x92", "caf\xC3\xA9 \xE2\x86\x92", TextEncoding::Utf8},
        // A paragraph separator from the editor is a line end.
        {"one", "\xE2\x80\xA9two", "one\r\ntwo", TextEncoding::Utf8},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        FieldCodec codec;
        const QString shown = DecodeField(c.read, codec) + QString::fromUtf8(c.typed);
        EXPECT_EQ(EncodeField(shown, codec), c.written);
        EXPECT_EQ(codec.encoding, c.after);
    }
}

// The library's lower case agrees with Qt's over the two-byte characters: where Qt's
// lower case is one character of that range, FoldCase gives it; otherwise FoldCase
// leaves the character alone (its length never changes).
TEST(TextCodec, FoldCaseAgreesWithQtOverTwoByteCharacters) {
    for (char32_t cp = 0x80; cp < 0x800; ++cp) {
        const QString upper = QString::fromUcs4(&cp, 1);
        const QString lower = upper.toLower();
        const bool single = lower.size() == 1 && lower.at(0).unicode() >= 0x80 && lower.at(0).unicode() < 0x800;
        const QString expected = single ? lower : upper;
        EXPECT_EQ(QString::fromUtf8(FoldCase(upper.toStdString())), expected) << std::hex << static_cast<unsigned>(cp);
    }
}
