#pragma once
#include <cstddef>
#include <string>

// The library's registry entries as data, and the loops that write and
// remove them. Plain C++ over a small registry port, so the rules run
// natively against an in-memory registry as well as against the real one.
namespace Registration {

constexpr const char kRecorderBandClsid[] = "{5A3C7E21-94D0-4B6F-8E12-C7A9F04D3B65}";
constexpr const char kClassKey[] = "CLSID\\{5A3C7E21-94D0-4B6F-8E12-C7A9F04D3B65}";
constexpr const char kToolbarKey[] = "Software\\Microsoft\\Internet Explorer\\Toolbar";
constexpr const char kModulePlaceholder[] = "%MODULE%";

enum class Root { ClassesRoot, LocalMachine };

struct Entry {
    Root root;
    const char* key;
    const char* valueName;  // empty: the key's default value
    const char* data;       // may hold kModulePlaceholder
};

struct Key {
    Root root;
    const char* key;
};

// What registration writes, in order.
const Entry* Entries(std::size_t& count);
// Keys that registration deletes whole before writing and unregistration
// removes with all their subkeys.
const Key* RemovedKeys(std::size_t& count);

// Status codes follow the platform's: 0 is success, kNotFound a missing key
// or value, anything else a failure.
constexpr long kNotFound = 2;

class Port {
public:
    virtual ~Port() = default;
    // Creates the key and every missing parent, then sets a string value.
    virtual long SetString(Root root, const std::string& key, const std::string& valueName,
                           const std::string& data) = 0;
    virtual long DeleteTree(Root root, const std::string& key) = 0;
    virtual long DeleteValue(Root root, const std::string& key, const std::string& valueName) = 0;
};

// Every occurrence of the placeholder replaced by the library's full path.
std::string Expand(const char* data, const std::string& modulePath);

// Replaces the removed keys whole, then writes every entry; stops at the
// first failure and returns its status.
long Register(Port& port, const std::string& modulePath);

// Removes every removed key; a key already gone is no failure. Tries them
// all and returns the first failure, else 0.
long Unregister(Port& port);

// The value under the browser's Toolbar key named by the class id (as the
// platform spells it); its outcome is of no interest to the caller.
void RemoveToolbarValue(Port& port, const std::string& clsidText);

}  // namespace Registration
