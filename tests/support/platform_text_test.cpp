// Reading a platform text of unknown length: the buffer grows to the size the
// platform asks for.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/platform_text.h"

namespace {

// Answers as GetCurrentDirectoryA does, for a text that may change between calls.
struct FakePlatformText {
    std::vector<std::string> texts;  // the text at each call; the last one repeats
    std::vector<std::size_t> sizesAsked;

    unsigned operator()(char* buffer, std::size_t size)
    {
        const std::string& text = texts[std::min(sizesAsked.size(), texts.size() - 1)];
        sizesAsked.push_back(size);
        if (size <= text.size()) {
            return static_cast<unsigned>(text.size() + 1);
        }
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return static_cast<unsigned>(text.size());
    }
};

TEST(QueryPlatformTextTest, TextThatFitsIsReadOnce)
{
    FakePlatformText fake{{"C:\\SETUP"}, {}};
    EXPECT_EQ(QueryPlatformText(64, std::ref(fake)), "C:\\SETUP");
    EXPECT_EQ(fake.sizesAsked, std::vector<std::size_t>{64});
}

TEST(QueryPlatformTextTest, LongerTextIsReadAgainWithTheSizeAskedFor)
{
    const std::string longText(64, 'D');  // no room for the terminating zero in 64
    FakePlatformText fake{{longText}, {}};
    EXPECT_EQ(QueryPlatformText(64, std::ref(fake)), longText);
    EXPECT_EQ(fake.sizesAsked, (std::vector<std::size_t>{64, 65}));

    const std::string veryLong(1000, 'E');
    FakePlatformText second{{veryLong}, {}};
    EXPECT_EQ(QueryPlatformText(64, std::ref(second)), veryLong);
}

TEST(QueryPlatformTextTest, FailureGivesTheEmptyText)
{
    EXPECT_EQ(QueryPlatformText(64, [](char*, std::size_t) { return 0u; }), "");
}

TEST(QueryPlatformTextTest, TextThatKeepsGrowingCountsAsAFailure)
{
    FakePlatformText fake{{std::string(100, 'a'), std::string(200, 'b'), std::string(300, 'c'),
                           std::string(400, 'd')},
                          {}};
    EXPECT_EQ(QueryPlatformText(64, std::ref(fake)), "");
    EXPECT_EQ(fake.sizesAsked.size(), 3u);
}

TEST(QueryPlatformTextTest, TextThatGrewOnceIsReadOnTheThirdCall)
{
    FakePlatformText fake{{std::string(100, 'a'), std::string(200, 'b')}, {}};
    EXPECT_EQ(QueryPlatformText(64, std::ref(fake)), std::string(200, 'b'));
    EXPECT_EQ(fake.sizesAsked, (std::vector<std::size_t>{64, 101, 201}));
}

}  // namespace
