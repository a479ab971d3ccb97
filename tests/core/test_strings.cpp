#include <gtest/gtest.h>

#include <cmath>

#include "core/bits.h"
#include "core/strings.h"

TEST(Strings, PathPieces) {
    EXPECT_EQ(GetDirectoryPart("data\\stats\\soldiers.txt"), "data\\stats\\");
    EXPECT_EQ(GetDirectoryPart("soldiers.txt"), "");
    EXPECT_EQ(GetFileBaseName("data\\stats\\soldiers.txt"), "soldiers");
    EXPECT_EQ(GetFileBaseName("soldiers.txt"), "soldiers");
    EXPECT_EQ(GetFileBaseName("data\\readme"), "readme");
    EXPECT_EQ(GetFileExtension("a.b.mbm"), "mbm");
    EXPECT_EQ(GetFileExtension("noext"), "");
    EXPECT_EQ(StripExtension(".hidden"), "");
    EXPECT_EQ(StripExtension("noext"), "noext");
    EXPECT_EQ(StripExtension("data\\a.b.mbm"), "data\\a.b");
    // A dot in a folder name is not an extension.
    EXPECT_EQ(GetFileExtension("a.b\\x"), "");
    EXPECT_EQ(GetFileBaseName("a.b\\x"), "x");
    EXPECT_EQ(StripExtension("a.b\\x"), "a.b\\x");
}

// Names in data files may use '/' as well, alone or mixed with '\'.
TEST(Strings, PathPiecesSplitAtEitherSeparator) {
    for (const char* path : {"data/models/props/crate2.mbm", "data\\models/props/crate2.mbm",
                             "data/models\\props\\crate2.mbm"}) {
        const std::string p = path;
        EXPECT_EQ(GetDirectoryPart(p), p.substr(0, 18)) << p;
        EXPECT_EQ(GetFileBaseName(p), "crate2") << p;
        EXPECT_EQ(GetFileExtension(p), "mbm") << p;
        EXPECT_EQ(StripExtension(p), p.substr(0, 24)) << p;
    }
    EXPECT_EQ(GetFileBaseName("a.b/x"), "x");
    EXPECT_EQ(GetFileExtension("a.b/x"), "");
    EXPECT_EQ(StripExtension("a.b\\c.d/x"), "a.b\\c.d/x");
}

TEST(Strings, PlainFileNamesAndPathsBelowAFolder) {
    for (const char* plain : {"quad.col", "valley - segment 3, for 8x8", "con_quad", "a.b.c", "\xC9t\xE9",
                              "COM10", "nul_x"})
        EXPECT_TRUE(IsPlainFileName(plain)) << plain;
    for (const char* bad : {"", ".", "..", "a..b", "..\\x", "a\\b", "a/b", "C:", "x:y", "a\tb", "a\x7f",
                            "CON", "con.col", "Nul .x", "COM1", "lpt9.txt", "CONOUT$"})
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
    EXPECT_TRUE(IsPathBelowFolder("data\\models\\props\\crate.mbm"));
    EXPECT_TRUE(IsPathBelowFolder("data/models\\.\\x.mbm"));
    for (const char* bad : {"", "\\data\\x.mbm", "/x", "..\\x.mbm", "data\\..\\..\\x", "data/../x",
                            "C:\\x.mbm", "data\\con\\x.mbm"})
        EXPECT_FALSE(IsPathBelowFolder(bad)) << bad;
}

TEST(Strings, CaseAndControlBytes) {
    EXPECT_EQ(ToLowerCase("Data\\MODELS\\X.Mbm"), "data\\models\\x.mbm");
    EXPECT_EQ(ToLowerCase("\xC9T\xC9"), "\xC9t\xC9");  // only A-Z change
    EXPECT_TRUE(EqualIgnoringCase("Data\\UI\\Target.PNG", "data\\ui\\target.png"));
    EXPECT_FALSE(EqualIgnoringCase("target.png", "target.pn"));
    EXPECT_FALSE(EqualIgnoringCase("\xC9", "\xE9"));  // only A-Z fold
    EXPECT_FALSE(EqualIgnoringCase("[", "{"));       // 'Z' + 1 is not 'z' + 1

    std::string s = "word\trest of it";
    StripFirstToken(s);
    EXPECT_EQ(s, "rest of it");
    std::string accented = "caf\xE9 au lait";  // bytes >= 0x80 are not control bytes
    StripFirstToken(accented);
    EXPECT_EQ(accented, "caf\xE9 au lait");

    EXPECT_TRUE(IsPrintableChar('a'));
    EXPECT_TRUE(IsPrintableChar('\xE9'));
    EXPECT_FALSE(IsPrintableChar('\x1F'));
    EXPECT_FALSE(IsPrintableChar('\x7F'));
    EXPECT_TRUE(IsLetter('Q'));
    EXPECT_FALSE(IsLetter('1'));
}

TEST(Strings, SplitSkipsEmptyPieces) {
    std::vector<std::string> out = {"stale"};
    SplitString("two  words", out, " ");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], "two");
    EXPECT_EQ(out[1], "words");
    SplitString("Buggy\tbuggy.mbm\t(2,Seat_A,Seat_B)", out, "\t,()");
    EXPECT_EQ(out, (std::vector<std::string>{"Buggy", "buggy.mbm", "2", "Seat_A", "Seat_B"}));
    SplitString("\t\t", out, "\t");
    EXPECT_TRUE(out.empty());
}

TEST(Strings, Numbers) {
    EXPECT_EQ(IntToString(-42), "-42");
    EXPECT_EQ(FloatToString(0.1f), "0.1000000015");
    EXPECT_EQ(FloatToString(2.0f), "2");
    EXPECT_EQ(ParseHex("0xFF"), 255u);
    EXPECT_EQ(ParseHex("0x1aZ"), 0x1a0u);  // other characters add nothing
    EXPECT_EQ(ParseHex("x"), 0u);
    EXPECT_EQ(ParseHex(""), 0u);
    EXPECT_EQ(TextToInt(" 17x"), 17);
    EXPECT_EQ(TextToFloat("-2.5e1"), -25.0f);
    EXPECT_EQ(RoundFloatToInt(0.49999997f), 0);
    EXPECT_EQ(WholeNumberText(29.5f), "30");
    EXPECT_EQ(WholeNumberText(-0.3f), "0");
    EXPECT_EQ(WholeNumberText(-2.6f), "-3");
    EXPECT_EQ(WholeNumberText(1e19f), "9999999980506447872");
    EXPECT_EQ(WholeNumberText(-3.4028235e38f), "-340282346638528859811704183484516925440");
    EXPECT_EQ(WholeNumberText(std::nanf("")), "0");
    EXPECT_EQ(WholeNumberText(INFINITY), "0");
}

TEST(Bits, CountAndHighest) {
    EXPECT_EQ(CountSetBits(0), 0);
    EXPECT_EQ(CountSetBits(256), 1);
    EXPECT_EQ(CountSetBits(0xFFFFFFFFu), 32);
    EXPECT_EQ(HighestSetBit(0), -1);
    EXPECT_EQ(HighestSetBit(1), 0);
    EXPECT_EQ(HighestSetBit(0x80000000u), 31);
    EXPECT_EQ(HighestSetBit(300), 8);
}
