#include "NavigationCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using NavigationCapture::ArrayShape;

struct HeaderCase {
    std::string headers;
    bool urlEncoded;
};

class UrlEncodedHeaders : public testing::TestWithParam<HeaderCase> {};

TEST_P(UrlEncodedHeaders, NeedTheExactTextAnywhere) {
    EXPECT_EQ(NavigationCapture::IsUrlEncodedPost(GetParam().headers), GetParam().urlEncoded) << GetParam().headers;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UrlEncodedHeaders,
    testing::Values(
        HeaderCase{"Content-Type: application/x-www-form-urlencoded\r\n", true},
        HeaderCase{"Referer: http://a/\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: 3\r\n", true},
        HeaderCase{"Content-Type: application/x-www-form-urlencoded; charset=UTF-8\r\n", true},
        HeaderCase{"Content-Type: application/x-www-form-urlencoded", true},
        HeaderCase{"content-type: application/x-www-form-urlencoded\r\n", false},
        HeaderCase{"Content-Type: Application/X-WWW-Form-UrlEncoded\r\n", false},
        HeaderCase{"Content-Type:application/x-www-form-urlencoded\r\n", false},
        HeaderCase{"Content-Type:  application/x-www-form-urlencoded\r\n", false},
        HeaderCase{"Content-Type: multipart/form-data; boundary=----x\r\n", false},
        HeaderCase{"Content-Type: application/x-www-form-urlencode\r\n", false},
        HeaderCase{"", false},
        // The search is byte-wise: a NUL before the text does not hide it.
        HeaderCase{std::string("X: 1\0Content-Type: application/x-www-form-urlencoded", 52), true}));

TEST(PostedDataText, KeepsAtMost32768BytesVerbatim) {
    std::vector<unsigned char> body(40000);
    for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<unsigned char>(i * 7 + 1);
    body[5] = 0;  // NULs pass through here; the step list stores text up to the first one
    const struct {
        unsigned long count;
        std::size_t kept;
    } sizes[] = {{1, 1}, {3, 3}, {32767, 32767}, {32768, 32768}, {32769, 32768}, {40000, 32768}};
    for (const auto& s : sizes) {
        const std::string text = NavigationCapture::PostedDataText(ArrayShape{1, 1, s.count, body.data()});
        ASSERT_EQ(text.size(), s.kept) << s.count;
        EXPECT_EQ(text, std::string(reinterpret_cast<const char*>(body.data()), s.kept)) << s.count;
    }
}

TEST(PostedDataText, OtherShapesGiveNoData) {
    const char bytes[] = "a=1&b=2";
    const ArrayShape shapes[] = {
        {0, 1, 7, bytes},  // no dimension
        {2, 1, 7, bytes},  // two dimensions
        {1, 2, 7, bytes},  // elements of two bytes
        {1, 4, 7, bytes},
        {1, 1, 0, bytes},  // empty
        {1, 1, 7, nullptr},
    };
    for (const ArrayShape& shape : shapes) {
        EXPECT_EQ(NavigationCapture::PostedDataText(shape), "")
            << shape.dimensions << " " << shape.elementSize << " " << shape.count;
    }
    EXPECT_EQ(NavigationCapture::PostedDataText(ArrayShape{1, 1, 7, bytes}), "a=1&b=2");
}

TEST(LengthToNul, StopsAtTheFirstNulOrTheLength) {
    const wchar_t text[] = L"http://a/\0tail";
    EXPECT_EQ(NavigationCapture::LengthToNul(text, 14), 9u);
    EXPECT_EQ(NavigationCapture::LengthToNul(text, 4), 4u);
    EXPECT_EQ(NavigationCapture::LengthToNul(text + 9, 5), 0u);
    EXPECT_EQ(NavigationCapture::LengthToNul(nullptr, 5), 0u);
    EXPECT_EQ(NavigationCapture::LengthToNul(L"", 0), 0u);
}

}  // namespace
