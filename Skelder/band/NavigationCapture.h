#pragma once
#include <cstddef>
#include <string>

// The byte-level rules that turn one browser navigation into a step. Plain
// C++: the COM side hands in what it read from the event's arguments.
namespace NavigationCapture {

// Posted data beyond this many bytes is dropped.
constexpr std::size_t kMaxPostedData = 32768;

// The only content type whose body is kept, searched byte for byte.
constexpr const char kUrlEncodedContentType[] = "Content-Type: application/x-www-form-urlencoded";

// "http://" or "https://" at offset 0, case-sensitive.
bool IsRecordableUrl(const std::string& url);

// Whether a navigation becomes a step: recording is exactly 1, the step list
// exists, and the URL is recordable; tested in that order.
bool ShouldRecord(int recording, bool hasStepList, const std::string& url);

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
