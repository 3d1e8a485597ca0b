#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Splits a text into tokens at ASCII whitespace; a double quote that opens a
// token groups it up to a closing quote followed by whitespace or the end.
// There is no escape character.
class ArgumentList {
public:
    explicit ArgumentList(const std::string& text);

    std::size_t Count() const { return tokens.size(); }
    const std::string& Token(std::size_t index) const { return tokens[index]; }
    const std::vector<std::string>& Tokens() const { return tokens; }

    static bool IsWhitespace(char c);

private:
    std::vector<std::string> tokens;
};
