// Reading numbers as the panel does, and the range-tested conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <utility>

#include "runtime/errors.h"
#include "runtime/number.h"

namespace {

struct Reading {
    const char* text;
    double value;
};

void PrintTo(const Reading& r, std::ostream* os) { *os << '"' << r.text << '"'; }

class TextToNumber : public ::testing::TestWithParam<Reading> {};

TEST_P(TextToNumber, ReadsTheNumberAtTheStart) {
    EXPECT_DOUBLE_EQ(rt::text_to_number(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Decimal, TextToNumber,
    ::testing::Values(Reading{"", 0}, Reading{"0", 0}, Reading{"123", 123}, Reading{" 12", 12},
                      Reading{"1 000", 1000}, Reading{"\t1\r\n2 ", 12}, Reading{"12abc", 12},
                      Reading{"abc", 0}, Reading{"-", 0}, Reading{"+", 0}, Reading{".", 0}, Reading{"-.", 0},
                      Reading{"--1", 0}, Reading{"-1", -1}, Reading{"+7", 7}, Reading{"2.5", 2.5},
                      Reading{".5", 0.5}, Reading{"5.", 5}, Reading{"-0.6", -0.6}, Reading{"1.2.3", 1.2},
                      Reading{"1e", 1}, Reading{"1e+", 1}, Reading{"1ex", 1}, Reading{"1E3", 1000},
                      Reading{"1e-2", 0.01}, Reading{"2D2", 200}, Reading{"2d+2", 200}, Reading{"1 E 2", 100},
                      Reading{"1E-400", 0}, Reading{"0.000E999999", 0}, Reading{"0.0001E-330", 0},
                      Reading{"1.7E308", 1.7e308}, Reading{"12,5", 12}));

INSTANTIATE_TEST_SUITE_P(Radix, TextToNumber,
                         ::testing::Values(Reading{"&", 0}, Reading{"&H", 0}, Reading{"&O", 0},
                                           Reading{"&X1", 0}, Reading{"&HFF", 255}, Reading{"&hff", 255},
                                           Reading{"&HF", 15}, Reading{"&H7F", 127}, Reading{"&H7FFF", 32767},
                                           Reading{"&H8000", -32768}, Reading{"&HFFFF", -1},
                                           Reading{"&H10000", 65536}, Reading{"&H7FFFFFFF", 2147483647},
                                           Reading{"&H80000000", -2147483648.0}, Reading{"&HFFFFFFFF", -1},
                                           Reading{"&H0000000000FF", 255}, Reading{"&HFFG", 255},
                                           Reading{"& H 1 0", 16}, Reading{"&O17", 15}, Reading{"&o777", 511},
                                           Reading{"&O8", 0}, Reading{"&O178", 15}, Reading{"-&H10", 0},
                                           Reading{"1&H10", 1}));

TEST(ReadNumber, CountsTheCharactersTheNumberTook) {
    const std::pair<const char*, std::size_t> cases[] = {
        {"", 0},      {" ", 0},     {"-", 0},        {".", 0},     {"&H", 0},   {"&X1", 0},   {"12abc", 2},
        {" 1 2 ", 5}, {"1e", 1},    {"1e+", 1},      {"1 E 2", 5}, {"0E5", 3},  {"5.", 2},    {"-.5", 3},
        {"12,5", 2},  {"&HFFG", 4}, {"& h 1 0 ", 8}, {"&O178", 4}, {"0x7F", 1}, {"1.2.3", 3},
    };
    for (const auto& [text, length] : cases) EXPECT_EQ(rt::read_number(text).length, length) << text;
}

TEST(TextToNumberOverflow, RaisesBeyondADoubleOrBeyond32Bits) {
    for (const char* text : {"1E400", "-1E400", "1E99999999999999999999", "&H100000000", "&O40000000000",
                             "&HFFFFFFFFFFFFFFFFFFFF"}) {
        EXPECT_THROW(rt::text_to_number(text), rt::OverflowError) << text;
    }
}

TEST(TextToNumberOverflow, DescribesItselfAsOverflow) {
    try {
        rt::text_to_number("1E400");
        FAIL();
    } catch (const rt::Error& error) {
        EXPECT_EQ(error.description(), "Overflow");
    }
}

TEST(TextToNumberLength, ReadsAVeryLongTextInOnePass) {
    const std::string digits(1'000'000, '7');
    EXPECT_THROW(rt::text_to_number(digits), rt::OverflowError);
    EXPECT_DOUBLE_EQ(rt::text_to_number("0." + digits), 0.7777777777777778);
    EXPECT_DOUBLE_EQ(rt::text_to_number(std::string(1'000'000, ' ') + "5"), 5);
}

struct ByteCase {
    double in;
    int out;  // -1: overflow
};

void PrintTo(const ByteCase& c, std::ostream* os) { *os << c.in; }

class ToByte : public ::testing::TestWithParam<ByteCase> {};

TEST_P(ToByte, RoundsHalvesToEvenAndTestsTheRange) {
    const auto [in, out] = GetParam();
    if (out < 0) EXPECT_THROW(rt::to_byte(in), rt::OverflowError) << in;
    else EXPECT_EQ(rt::to_byte(in), out) << in;
}

INSTANTIATE_TEST_SUITE_P(Values, ToByte,
                         ::testing::Values(ByteCase{0, 0}, ByteCase{255, 255}, ByteCase{2.4, 2},
                                           ByteCase{2.6, 3}, ByteCase{2.5, 2}, ByteCase{3.5, 4},
                                           ByteCase{254.5, 254}, ByteCase{255.4, 255}, ByteCase{255.5, -1},
                                           ByteCase{255.6, -1}, ByteCase{256, -1}, ByteCase{-0.4, 0},
                                           ByteCase{-0.5, 0}, ByteCase{-0.6, -1}, ByteCase{-1, -1},
                                           ByteCase{std::numeric_limits<double>::infinity(), -1},
                                           ByteCase{std::numeric_limits<double>::quiet_NaN(), -1}));

struct WordCase {
    double in;
    int out;
    bool overflow;
};

void PrintTo(const WordCase& c, std::ostream* os) { *os << c.in; }

class ToInt16 : public ::testing::TestWithParam<WordCase> {};

TEST_P(ToInt16, RoundsHalvesToEvenAndTestsTheRange) {
    const auto [in, out, overflow] = GetParam();
    if (overflow) EXPECT_THROW(rt::to_int16(in), rt::OverflowError) << in;
    else EXPECT_EQ(rt::to_int16(in), out) << in;
}

INSTANTIATE_TEST_SUITE_P(Values, ToInt16,
                         ::testing::Values(WordCase{32767, 32767, false}, WordCase{-32768, -32768, false},
                                           WordCase{32767.5, 0, true}, WordCase{-32768.5, -32768, false},
                                           WordCase{-32768.6, 0, true}, WordCase{32768, 0, true},
                                           WordCase{-32769, 0, true}, WordCase{-1.5, -2, false},
                                           WordCase{-std::numeric_limits<double>::infinity(), 0, true}));

TEST(IntegerConversions, RaiseOverflowOutOfRange) {
    EXPECT_EQ(rt::to_byte(std::int16_t{255}), 255);
    EXPECT_THROW(rt::to_byte(std::int16_t{256}), rt::OverflowError);
    EXPECT_THROW(rt::to_byte(std::int16_t{-1}), rt::OverflowError);
    EXPECT_EQ(rt::to_int16(std::int32_t{-32768}), -32768);
    EXPECT_THROW(rt::to_int16(std::int32_t{32768}), rt::OverflowError);
    EXPECT_THROW(rt::to_int16(std::int32_t{-32769}), rt::OverflowError);
}

TEST(CheckedArithmetic, RaisesOverflowAtThe32BitEdges) {
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(rt::checked_add(kMax - 1, 1), kMax);
    EXPECT_THROW(rt::checked_add(kMax, 1), rt::OverflowError);
    EXPECT_EQ(rt::checked_sub(kMin + 99, 99), kMin);
    EXPECT_THROW(rt::checked_sub(kMin + 98, 99), rt::OverflowError);
    EXPECT_THROW(rt::checked_mul(65536, 65536), rt::OverflowError);
    EXPECT_EQ(rt::checked_mul(255, 256), 65280);
}

TEST(Decimal, IsBareWithAMinusForNegatives) {
    EXPECT_EQ(rt::to_decimal(0), "0");
    EXPECT_EQ(rt::to_decimal(255), "255");
    EXPECT_EQ(rt::to_decimal(-32769), "-32769");
}

}  // namespace
