#include "PropertyMap.h"

#include "Messages.h"
#include "Platform.h"

#include <sys/stat.h>

bool PropertyMap::Insert(const std::string& key, const std::string& value) {
    return entries.emplace(key, value).second;
}

std::optional<std::string> PropertyMap::Lookup(const std::string& key) const {
    auto it = entries.find(key);
    if (it == entries.end()) return std::nullopt;
    return it->second;
}

void ParsePropertiesLine(const std::string& line, PropertyMap& map) {
    if (line.empty() || line[0] == '#') return;
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return;
    map.Insert(line.substr(0, eq), line.substr(eq + 1));
}

namespace {

void FinishLine(std::string& line, PropertyMap& map) {
    const std::size_t nul = line.find('\0');
    if (nul != std::string::npos) line.resize(nul);
    ParsePropertiesLine(line, map);
    line.clear();
}

}  // namespace

bool ReadProperties(std::FILE* file, PropertyMap& map) {
    std::string line;
    char buffer[16384];
    bool afterCr = false;  // a CR just ended a line; a LF right after it belongs to that end
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        std::size_t pieceStart = 0;
        for (std::size_t i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (c != '\n' && c != '\r') {
                afterCr = false;
                continue;
            }
            line.append(buffer + pieceStart, i - pieceStart);
            pieceStart = i + 1;
            if (c == '\n' && afterCr) {
                afterCr = false;
                continue;
            }
            afterCr = (c == '\r');
            FinishLine(line, map);
        }
        line.append(buffer + pieceStart, got - pieceStart);
    }
    if (!line.empty()) FinishLine(line, map);
    return !std::ferror(file);
}

void ReadPropertiesFile(Platform& platform, const std::string& path, PropertyMap& map) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) {
        // Some systems open a folder for reading; it is no properties file.
        struct stat info;
        if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
            std::fclose(file);
            file = nullptr;
        }
    }
    if (!file) {
        ReportMessage(platform, 12);
        platform.EndProcess(1);
    }
    ReadProperties(file, map);
    std::fclose(file);
}
