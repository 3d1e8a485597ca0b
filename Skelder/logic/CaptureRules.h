#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Which navigations become steps, and what of a posted body a step keeps.

// A step keeps at most this many bytes of posted data.
constexpr std::size_t kMaxPostedData = 32768;

// Only http and https requests are recorded; the scheme must be written in
// lower case, as the browser reports it for pages it will fetch.
bool IsRecordableUrl(std::string_view url);

// recording is 1 while recording; without a step list there is nowhere to record to.
bool ShouldCapture(int recording, bool hasStepList, std::string_view url);

// The part of a posted body a step stores: up to its first NUL byte (the list
// control holds NUL-terminated text), and never more than kMaxPostedData bytes.
std::string_view StoredPostedData(std::string_view posted);
