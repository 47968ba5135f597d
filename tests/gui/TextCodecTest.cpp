// The library's case folding against Qt's (the round trips of every byte value through the
// form's codec are in CodeEditorTest).
#include <gtest/gtest.h>

#include "base/TextRules.h"
#include <QString>

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
