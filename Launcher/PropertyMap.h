#pragma once
#include <cstdio>
#include <map>
#include <optional>
#include <string>

class Platform;

// Keys are compared byte for byte and case-sensitively; the first entry of a key wins.
class PropertyMap {
public:
    // Returns false, and leaves the map unchanged, when the key is already there.
    bool Insert(const std::string& key, const std::string& value);
    std::optional<std::string> Lookup(const std::string& key) const;
    std::size_t Size() const { return entries.size(); }
    const std::map<std::string, std::string>& Entries() const { return entries; }

private:
    std::map<std::string, std::string> entries;
};

// Handles one line of the properties file (line ends already removed).
void ParsePropertiesLine(const std::string& line, PropertyMap& map);

// Reads every line of an open byte stream into the map. Lines end at LF, CR LF
// or a lone CR; a NUL ends the text of its line, as it would in a C string.
// Returns false when reading stopped on a read error rather than at the end.
bool ReadProperties(std::FILE* file, PropertyMap& map);

// Reads the file into the map. A file that cannot be opened (missing, no
// access, a folder) shows message 12 and ends the process with exit code 1.
void ReadPropertiesFile(Platform& platform, const std::string& path, PropertyMap& map);
