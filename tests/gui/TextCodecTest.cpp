// The form's text codec: UTF-8 when valid, Windows-1252 otherwise, same bytes back.
#include <gtest/gtest.h>

#include "base/TextRules.h"
#include "ui/TextCodec.h"

namespace {

std::string AllBytes() {
    std::string s;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            s += static_cast<char>(b);
    return s;
}

} // namespace

TEST(TextCodec, ValidUtf8IsUtf8AndAnythingElseWindows1252) {
    EXPECT_EQ(DetectEncoding("caf\xC3\xA9"), TextEncoding::Utf8);
    EXPECT_EQ(DetectEncoding("caf\xE9"), TextEncoding::Windows1252);
}

TEST(TextCodec, Windows1252ShowsItsCharactersAndKeepsTheUndefinedBytes) {
    EXPECT_EQ(DecodeBytes("\x80\x85\x93\x94\x99\xE9", TextEncoding::Windows1252),
              QString::fromUtf8("\xE2\x82\xAC\xE2\x80\xA6\xE2\x80\x9C\xE2\x80\x9D\xE2\x84\xA2\xC3\xA9"));
    // 0x81, 0x8D, 0x8F, 0x90, 0x9D have no character; they come back as themselves.
    const std::string undefined = "\x81\x8D\x8F\x90\x9D";
    const QString shown = DecodeBytes(undefined, TextEncoding::Windows1252);
    ASSERT_EQ(shown.size(), 5);
    EXPECT_EQ(shown[0].unicode(), 0x81);
    EXPECT_EQ(shown[4].unicode(), 0x9D);
    bool ok = false;
    EXPECT_EQ(EncodeString(shown, TextEncoding::Windows1252, &ok), undefined);
    EXPECT_TRUE(ok);
}

TEST(TextCodec, EveryByteSurvivesTheRoundTripThroughAField) {
    const std::string bytes = "first\r\n" + AllBytes() + "\r\nlast\r\n";
    FieldCodec codec;
    const QString shown = DecodeField(bytes, codec);
    EXPECT_EQ(codec.encoding, TextEncoding::Windows1252);
    EXPECT_FALSE(shown.contains(QLatin1Char('\r')));
    EXPECT_EQ(EncodeField(shown, codec), bytes);
}

TEST(TextCodec, Utf8TextRoundTripsAndLineEndsBecomeNewlines) {
    const std::string bytes = "na\xC3\xAFve \xE2\x86\x92 \xE2\x9C\x93\r\n\xC2\xA0no-break\r\n\xF0\x9F\x98\x80\r\n";
    FieldCodec codec;
    const QString shown = DecodeField(bytes, codec);
    EXPECT_EQ(codec.encoding, TextEncoding::Utf8);
    EXPECT_EQ(shown.count(QLatin1Char('\n')), 3);
    EXPECT_EQ(EncodeField(shown, codec), bytes);
}

TEST(TextCodec, ALoneCarriageReturnIsKept) {
    FieldCodec codec;
    const std::string bytes = "a\rb\r\nc\r\n";
    const QString shown = DecodeField(bytes, codec);
    EXPECT_TRUE(codec.mapsLoneCr);
    EXPECT_EQ(shown, QString::fromUtf8("a\xE2\x90\x8D" "b\nc\n"));
    EXPECT_EQ(EncodeField(shown, codec), bytes);

    // Text that already shows the symbol keeps it as a character.
    FieldCodec symbolCodec;
    const std::string withSymbol = "x\xE2\x90\x8D" "y\rz";
    EXPECT_FALSE((DecodeField(withSymbol, symbolCodec), symbolCodec.mapsLoneCr));
}

TEST(TextCodec, TypedTextIsEncodedTheWayTheFieldWasRead) {
    FieldCodec cp;
    QString shown = DecodeField("caf\xE9\r\n", cp);
    shown += QString::fromUtf8("cr\xC3\xA8me \xE2\x82\xAC");
    EXPECT_EQ(EncodeField(shown, cp), "caf\xE9\r\ncr\xE8me \x80");
    EXPECT_EQ(cp.encoding, TextEncoding::Windows1252);

    FieldCodec utf;
    shown = DecodeField("caf\xC3\xA9", utf);
    shown += QString::fromUtf8(" cr\xC3\xA8me");
    EXPECT_EQ(EncodeField(shown, utf), "caf\xC3\xA9 cr\xC3\xA8me");
}

TEST(TextCodec, ACharacterTheCodePageLacksTurnsTheFieldIntoUtf8) {
    FieldCodec codec;
    QString shown = DecodeField("caf\xE9", codec);
    shown += QString::fromUtf8(" \xE2\x86\x92"); // an arrow: not in Windows-1252
    EXPECT_EQ(EncodeField(shown, codec), "caf\xC3\xA9 \xE2\x86\x92");
    EXPECT_EQ(codec.encoding, TextEncoding::Utf8);
}

TEST(TextCodec, ParagraphSeparatorsFromTheEditorAreLineEnds) {
    FieldCodec codec;
    const QString fromEditor = QStringLiteral("one") + QChar(0x2029) + QStringLiteral("two");
    EXPECT_EQ(EncodeField(fromEditor, codec), "one\r\ntwo");
}

namespace {

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

} // namespace
