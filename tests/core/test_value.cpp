#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>

#include "core/value.h"

TEST(Value, DefaultHasAllFormsCurrent) {
    CValue v;
    EXPECT_EQ(v.GetType(), CValue::TypeText);
    EXPECT_EQ(v.GetFlags(), 7);
    EXPECT_EQ(v.AsString(), "");
    EXPECT_EQ(v.AsInt(), 0);
    EXPECT_EQ(v.AsFloat(), 0.0f);
}

TEST(Value, FloatToIntRoundsHalfAndTruncatesTowardZero) {
    EXPECT_EQ(CValue(2.5f).AsInt(), 3);
    EXPECT_EQ(CValue(-2.5f).AsInt(), -2);
    EXPECT_EQ(CValue(-2.7f).AsInt(), -2);
    // Out of range and NaN stay defined.
    EXPECT_EQ(CValue(3.0e38f).AsInt(), INT_MAX);
    EXPECT_EQ(CValue(-3.0e38f).AsInt(), INT_MIN);
    EXPECT_EQ(CValue(std::nanf("")).AsInt(), 0);
}

TEST(Value, NumberText) {
    CValue v(2.5f);
    EXPECT_EQ(v.AsString(), "2.500000");
    EXPECT_EQ(v.GetFlags(), CValue::FloatCurrent | CValue::TextCurrent);
    v = 7;
    EXPECT_EQ(v.GetFlags(), CValue::IntCurrent);
    EXPECT_EQ(v.AsString(), "7");
    EXPECT_EQ(CValue(-1.25f).AsString(), "-1.250000");
    // The largest float still prints in full.
    EXPECT_EQ(CValue(FLT_MAX).AsString().size(), 46u);
}

TEST(Value, TextToNumbers) {
    CValue a("12abc");
    EXPECT_EQ(a.AsInt(), 12);
    EXPECT_EQ(a.AsFloat(), 12.0f);
    CValue b("abc");
    EXPECT_EQ(b.AsInt(), 0);
    EXPECT_EQ(b.AsFloat(), 0.0f);
    EXPECT_EQ(CValue("99999999999999").AsInt(), INT_MAX);
    EXPECT_EQ(CValue("-99999999999999").AsInt(), INT_MIN);
    EXPECT_TRUE(std::isinf(CValue("1e300").AsFloat()));
    EXPECT_EQ(CValue((const char*)nullptr).AsString(), "");
    CValue r;
    const char text[] = "hello";
    r.Assign(text + 1, text + 4);
    EXPECT_EQ(r.AsString(), "ell");
}

TEST(Value, CopyTakesOnlyTheOwnForm) {
    CValue a("42");
    a.AsInt();
    CValue b(a);
    EXPECT_EQ(b.GetType(), CValue::TypeText);
    EXPECT_EQ(b.GetFlags(), CValue::TextCurrent);
    EXPECT_EQ(b.AsInt(), 42);
    CValue c(1.5f);
    c = b;
    EXPECT_EQ(c.GetType(), CValue::TypeText);
    EXPECT_EQ(c.AsString(), "42");
    CValue& same = c;
    c = same;
    EXPECT_EQ(c.AsString(), "42");
}

TEST(Value, AddConvertsToOwnType) {
    CValue text("x=");
    text += CValue(1.5f);
    EXPECT_EQ(text.AsString(), "x=1.500000");
    text += "!";
    EXPECT_EQ(text.AsString(), "x=1.500000!");

    CValue f(1.0f);
    f += CValue(2);
    f += std::string("0.5");
    EXPECT_FLOAT_EQ(f.AsFloat(), 3.5f);
    EXPECT_EQ(f.GetFlags(), CValue::FloatCurrent);

    CValue i(10);
    i += CValue(2.5f);  // 3 after rounding
    i += "4";
    EXPECT_EQ(i.AsInt(), 17);
    CValue sum = i + CValue(3);
    EXPECT_EQ(sum.AsInt(), 20);
    EXPECT_EQ(i.AsInt(), 17);

    CValue big(INT_MAX);
    big += CValue(1);  // wraps, no overflow trap
    EXPECT_EQ(big.AsInt(), INT_MIN);

    CValue self("ab");
    self += self;
    EXPECT_EQ(self.AsString(), "abab");
}

TEST(Value, IncrementAndDecrement) {
    CValue i(5);
    EXPECT_EQ((i++).AsInt(), 5);
    EXPECT_EQ(i.AsInt(), 6);
    EXPECT_EQ((--i).AsInt(), 5);
    CValue f(1.5f);
    ++f;
    EXPECT_FLOAT_EQ(f.AsFloat(), 2.5f);
    EXPECT_FLOAT_EQ((f--).AsFloat(), 2.5f);
    EXPECT_FLOAT_EQ(f.AsFloat(), 1.5f);

    CValue t("12");
    EXPECT_EQ(t.AsInt(), 12);
    --t;
    EXPECT_EQ(t.AsString(), "1");
    EXPECT_EQ(t.AsInt(), 1);
    ++t;
    EXPECT_EQ(t.AsString(), "1");
    CValue empty("");
    --empty;
    EXPECT_EQ(empty.AsString(), "");
}
