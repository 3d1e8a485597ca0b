#include "NavigationCapture.h"

#include <algorithm>

namespace NavigationCapture {

namespace {
bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}
}  // namespace

bool IsRecordableUrl(const std::string& url) {
    return StartsWith(url, "http://") || StartsWith(url, "https://");
}

bool ShouldRecord(int recording, bool hasStepList, const std::string& url) {
    return recording == 1 && hasStepList && IsRecordableUrl(url);
}

bool IsUrlEncodedPost(const std::string& headers) {
    return headers.find(kUrlEncodedContentType) != std::string::npos;
}

std::string PostedDataText(const ArrayShape& shape) {
    if (shape.dimensions != 1 || shape.elementSize != 1 || shape.count == 0 || shape.data == nullptr) return {};
    const std::size_t kept = std::min<std::size_t>(shape.count, kMaxPostedData);
    return std::string(static_cast<const char*>(shape.data), kept);
}

std::size_t LengthToNul(const wchar_t* text, std::size_t length) {
    if (text == nullptr) return 0;
    std::size_t n = 0;
    while (n < length && text[n] != L'\0') ++n;
    return n;
}

}  // namespace NavigationCapture
