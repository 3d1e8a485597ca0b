#include "CaptureRules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct UrlCase {
    std::string url;
    bool recorded;
};

class RecordableUrl : public testing::TestWithParam<UrlCase> {};

TEST_P(RecordableUrl, OnlyLowerCaseHttpAndHttpsAtTheStart) {
    EXPECT_EQ(IsRecordableUrl(GetParam().url), GetParam().recorded) << GetParam().url;
}

INSTANTIATE_TEST_SUITE_P(
    Urls, RecordableUrl,
    testing::Values(UrlCase{"http://example.com/", true}, UrlCase{"https://example.com/a?b=c", true},
                    UrlCase{"http://", true}, UrlCase{"https://", true}, UrlCase{"about:blank", false},
                    UrlCase{"javascript:void(0)", false}, UrlCase{"file:///C:/x.html", false},
                    UrlCase{"res://ieframe.dll/navcancl.htm", false}, UrlCase{"HTTP://example.com/", false},
                    UrlCase{"Https://example.com/", false}, UrlCase{" http://example.com/", false},
                    UrlCase{"x-http://example.com/", false}, UrlCase{"http:/example.com", false},
                    UrlCase{"ftp://example.com/", false}, UrlCase{"", false}, UrlCase{"http", false},
                    UrlCase{std::string("http\0://", 8), false}));

TEST(ShouldCapture, NeedsRecordingAStepListAndARecordableUrl) {
    const std::string url = "http://example.com/";
    EXPECT_TRUE(ShouldCapture(1, true, url));
    EXPECT_FALSE(ShouldCapture(0, true, url));
    EXPECT_FALSE(ShouldCapture(1, false, url));
    EXPECT_FALSE(ShouldCapture(1, true, "about:blank"));
    EXPECT_FALSE(ShouldCapture(-1, true, url));
}

struct PostedCase {
    const char* name;
    std::string posted;
    std::size_t storedLength;
};

class StoredPosted : public testing::TestWithParam<PostedCase> {};

TEST_P(StoredPosted, KeepsThePrefixBeforeANulUpToTheLimit) {
    const PostedCase& c = GetParam();
    const std::string_view stored = StoredPostedData(c.posted);
    EXPECT_EQ(stored.size(), c.storedLength);
    EXPECT_EQ(stored, std::string_view(c.posted).substr(0, c.storedLength));
}

INSTANTIATE_TEST_SUITE_P(
    Bodies, StoredPosted,
    testing::Values(PostedCase{"Empty", "", 0}, PostedCase{"Short", "a=1&b=%20", 9},
                    PostedCase{"AtTheLimit", std::string(32768, 'x'), 32768},
                    PostedCase{"OverTheLimit", std::string(40000, 'x'), 32768},
                    PostedCase{"NulAtTen", std::string("0123456789\0rest", 15), 10},
                    PostedCase{"NulFirst", std::string("\0abc", 4), 0},
                    PostedCase{"NulAfterTheLimit", std::string(40000, 'y') + std::string(1, '\0') + "z", 32768}),
    [](const testing::TestParamInfo<PostedCase>& info) { return std::string(info.param.name); });

}  // namespace
