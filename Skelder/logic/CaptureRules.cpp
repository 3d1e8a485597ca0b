#include "CaptureRules.h"

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

bool IsRecordableUrl(std::string_view url) {
    return StartsWith(url, "http://") || StartsWith(url, "https://");
}

bool ShouldCapture(int recording, bool hasStepList, std::string_view url) {
    return recording == 1 && hasStepList && IsRecordableUrl(url);
}

std::string_view StoredPostedData(std::string_view posted) {
    const std::size_t nul = posted.find('\0');
    if (nul != std::string_view::npos) posted = posted.substr(0, nul);
    return posted.substr(0, kMaxPostedData);
}
