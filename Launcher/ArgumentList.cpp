#include "ArgumentList.h"

bool ArgumentList::IsWhitespace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

ArgumentList::ArgumentList(const std::string& text) {
    const std::size_t n = text.size();
    std::size_t i = 0;
    for (;;) {
        while (i < n && IsWhitespace(text[i])) ++i;
        if (i >= n) return;
        if (text[i] == '"') {
            const std::size_t start = i + 1;
            std::size_t j = start;
            while (j < n && !(text[j] == '"' && (j + 1 == n || IsWhitespace(text[j + 1])))) ++j;
            if (j >= n) {
                tokens.emplace_back(text, start, n - start);
                return;
            }
            tokens.emplace_back(text, start, j - start);
            i = j + 2;  // past the closing quote and the whitespace after it
        } else {
            const std::size_t start = i;
            while (i < n && !IsWhitespace(text[i])) ++i;
            tokens.emplace_back(text, start, i - start);
            if (i < n) ++i;
        }
    }
}
