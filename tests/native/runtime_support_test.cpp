// The C runtime routines that the exe carries itself, checked against the
// host's own C runtime over a table of inputs, with guard bytes around every
// buffer so that a write or read past the count shows.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

// The same source as in the exe, under names that leave the host's own
// routines in place.
#define QUORVEL_RUNTIME_NAME(name) quorvel_##name
#include "app/runtime_support.cpp"  // NOLINT(bugprone-suspicious-include)

namespace {

constexpr size_t kGuard = 16;
constexpr unsigned char kGuardByte = 0xA5;

struct ByteCase {
    const char* name;
    size_t count;
    int value;
};

class FillAndCopy : public testing::TestWithParam<ByteCase> {};

TEST_P(FillAndCopy, TouchExactlyCountBytes)
{
    const ByteCase& c = GetParam();
    unsigned char ours[kGuard + 300 + kGuard];
    unsigned char host[sizeof ours];
    memset(ours, kGuardByte, sizeof ours);
    memset(host, kGuardByte, sizeof host);
    EXPECT_EQ(quorvel_memset(ours + kGuard, c.value, c.count), ours + kGuard);
    memset(host + kGuard, c.value, c.count);
    EXPECT_EQ(0, memcmp(ours, host, sizeof ours));

    unsigned char source[300];
    for (size_t i = 0; i < sizeof source; ++i)
        source[i] = static_cast<unsigned char>(i * 7 + 1);
    memset(ours, kGuardByte, sizeof ours);
    memset(host, kGuardByte, sizeof host);
    EXPECT_EQ(quorvel_memcpy(ours + kGuard, source, c.count), ours + kGuard);
    memcpy(host + kGuard, source, c.count);
    EXPECT_EQ(0, memcmp(ours, host, sizeof ours));
}

INSTANTIATE_TEST_SUITE_P(Table, FillAndCopy,
                         testing::Values(ByteCase{"Nothing", 0, 0x41}, ByteCase{"OneByte", 1, 0},
                                         ByteCase{"OddLength", 13, 0x7F},
                                         // Only the low byte of the value counts.
                                         ByteCase{"ValueAbove255", 76, 0x1FF},
                                         ByteCase{"NegativeValue", 68, -1},
                                         ByteCase{"WholeBuffer", 300, 0x95}),
                         [](const testing::TestParamInfo<ByteCase>& info) {
                             return info.param.name;
                         });

struct TextCase {
    const char* name;
    std::string text;
    int wanted;
};

class TextSearch : public testing::TestWithParam<TextCase> {};

TEST_P(TextSearch, MatchesTheHostRuntime)
{
    const TextCase& c = GetParam();
    const char* text = c.text.c_str();
    EXPECT_EQ(quorvel_strlen(text), strlen(text));
    EXPECT_EQ(quorvel_strchr(text, c.wanted), strchr(text, c.wanted));
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextSearch,
    testing::Values(TextCase{"Empty", "", 'a'}, TextCase{"EmptyFindsItsTerminator", "", 0},
                    TextCase{"FirstOfSeveral", "a\"b\"c", '"'}, TextCase{"Absent", "abc", '"'},
                    TextCase{"TerminatorAtTheEnd", "abc", 0},
                    TextCase{"Cp932TrailBackslash", "C:\\\x95\x5C", '\\'},
                    // A byte above 0x7F may come as a negative char value or
                    // as its unsigned value; both find it.
                    TextCase{"HighByteAsNegative", "x\x95\x5C", static_cast<char>(0x95)},
                    TextCase{"HighByteAsUnsigned", "x\x95\x5C", 0x95},
                    TextCase{"LongText", std::string(263, 'a') + "?", '?'}),
    [](const testing::TestParamInfo<TextCase>& info) { return info.param.name; });

}  // namespace
