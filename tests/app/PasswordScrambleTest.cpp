// The stored form of the viewing password and its reading from "view".
#include "app/PasswordScramble.h"

#include "AppCard.h"

#include <gtest/gtest.h>

namespace {

using app_test::AppCard;

TEST(PasswordScramble, RoundTripsEveryByteAndRepeatsTheKey)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const AnsiString texts[] = {AnsiString(), AnsiString("3804"), AnsiString(u"パスワード日本語"), AnsiString(all)};
    for (const AnsiString& text : texts) {
        SCOPED_TRACE(text.Length());
        const AnsiString stored = EncodePassword(text);
        EXPECT_EQ(stored.Length(), text.Length());
        EXPECT_EQ(DecodePassword(stored), text);
    }
    // Byte i is (key XOR byte) + 48; byte 21 takes the first key character again.
    const AnsiString zeros(std::string(21, '\0'));
    const AnsiString stored = EncodePassword(zeros);
    EXPECT_EQ(static_cast<unsigned char>(stored[1]), ('T' + 48) & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(stored[20]), ('p' + 48) & 0xFF);
    EXPECT_EQ(stored[21], stored[1]);
    EXPECT_EQ(EncodePassword("A"), AnsiString(std::string(1, static_cast<char>(('A' ^ 'T') + 48))));
}

TEST(PasswordScramble, ReadsEveryByteTheValueHolds)
{
    struct Case {
        const char* value;
        std::string stored;
        bool intact;
    };
    const Case cases[] = {
        {"", "", true},
        {"4D6F7373", "Moss", true},
        {"4d6f7373", "Moss", true},
        {"4D6F737", "Mos", false}, // odd length: the last digit is no byte
        {"4D6F7Z73", "Mo", false}, // a bad pair ends the bytes
        {"ZZ", "", false},
        {"41004242", std::string("A\0BB", 4), true}, // zero bytes are bytes too
        {"00", std::string(1, '\0'), true},
    };
    AppCard card;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        card.Write("Icon/view", std::string("[SYSTEM]\r\np_m=") + c.value + "\r\n");
        const TIniFile ini(u"E:\\Icon\\view");
        const TStoredPassword stored = ReadStoredPassword(ini, u"SYSTEM", u"p_m");
        EXPECT_EQ(stored.Bytes, AnsiString(c.stored));
        EXPECT_EQ(stored.Intact, c.intact);
    }
    const TIniFile missing(u"E:\\Icon\\none");
    EXPECT_EQ(ReadStoredPassword(missing, u"SYSTEM", u"p_m").Bytes, AnsiString());
    EXPECT_TRUE(ReadStoredPassword(missing, u"SYSTEM", u"p_m").Intact);
}

TEST(PasswordScramble, EitherMarkerMeansTheDefaultPassword)
{
    EXPECT_EQ(PasswordFromStoredForm("MossTideFern"), AnsiString("3804"));
    EXPECT_EQ(PasswordFromStoredForm("KelpRiftOats"), AnsiString("3804"));
    EXPECT_EQ(PasswordFromStoredForm(""), AnsiString());
    EXPECT_EQ(PasswordFromStoredForm(EncodePassword("abc")), AnsiString("abc"));
}

} // namespace
