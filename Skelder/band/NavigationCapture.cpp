#include "NavigationCapture.h"

#include <algorithm>

namespace NavigationCapture {

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
