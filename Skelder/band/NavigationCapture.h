#pragma once
#include <cstddef>
#include <string>

// How BeforeNavigate2's arguments become the texts handed to capture. Plain
// C++: the COM side hands in what it read from the event's arguments.
namespace NavigationCapture {

// Posted data beyond this many bytes is dropped.
constexpr std::size_t kMaxPostedData = 32768;

// The only content type whose body is kept, searched for byte for byte,
// case-sensitively, anywhere in the headers.
constexpr const char kUrlEncodedContentType[] = "Content-Type: application/x-www-form-urlencoded";

bool IsUrlEncodedPost(const std::string& headers);

// What the posted-data array looked like: dimension count, element size in
// bytes, element count of the first dimension and its data.
struct ArrayShape {
    unsigned dimensions = 0;
    unsigned long elementSize = 0;
    unsigned long count = 0;
    const void* data = nullptr;
};

// The posted-data text of a body whose headers were checked: the first
// kMaxPostedData bytes of a one-dimensional byte array that is not empty,
// verbatim (NULs included); empty for any other shape.
std::string PostedDataText(const ArrayShape& shape);

// Length of a UTF-16 text up to its first NUL, never beyond `length`.
std::size_t LengthToNul(const wchar_t* text, std::size_t length);

}  // namespace NavigationCapture
