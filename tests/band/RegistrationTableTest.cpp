#include "RegistrationTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace {

using Registration::Root;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// An in-memory registry that behaves like the real one where the rules
// depend on it: names are case-insensitive, setting a value creates the
// parents, deleting a tree takes the subkeys with it.
class MemoryRegistry : public Registration::Port {
public:
    using Values = std::map<std::string, std::string>;

    long SetString(Root root, const std::string& key, const std::string& valueName,
                   const std::string& data) override {
        if (failOnKey == Lower(key)) return 5;
        ++writes;
        std::string path;
        for (std::size_t at = 0;;) {
            const std::size_t sep = key.find('\\', at);
            path = key.substr(0, sep);
            keys[{root, Lower(path)}];
            if (sep == std::string::npos) break;
            at = sep + 1;
        }
        keys[{root, Lower(key)}][Lower(valueName)] = data;
        return 0;
    }

    long DeleteTree(Root root, const std::string& key) override {
        if (failOnKey == Lower(key)) return 5;
        const std::string name = Lower(key);
        if (!keys.count({root, name})) return Registration::kNotFound;
        for (auto it = keys.begin(); it != keys.end();) {
            const bool below = it->first.first == root &&
                               (it->first.second == name || it->first.second.rfind(name + "\\", 0) == 0);
            it = below ? keys.erase(it) : std::next(it);
        }
        return 0;
    }

    long DeleteValue(Root root, const std::string& key, const std::string& valueName) override {
        auto it = keys.find({root, Lower(key)});
        if (it == keys.end() || !it->second.erase(Lower(valueName))) return Registration::kNotFound;
        return 0;
    }

    bool HasKey(Root root, const std::string& key) const { return keys.count({root, Lower(key)}) != 0; }
    const Values* ValuesOf(Root root, const std::string& key) const {
        auto it = keys.find({root, Lower(key)});
        return it == keys.end() ? nullptr : &it->second;
    }
    std::set<std::string> KeysBelow(Root root, const std::string& key) const {
        std::set<std::string> found;
        const std::string prefix = Lower(key) + "\\";
        for (const auto& k : keys)
            if (k.first.first == root && k.first.second.rfind(prefix, 0) == 0) found.insert(k.first.second);
        return found;
    }

    std::map<std::pair<Root, std::string>, Values> keys;
    std::string failOnKey;
    int writes = 0;
};

const std::string kModule = "C:\\Program Files\\Orvantis 100%\\Skelder.dll";
const std::string kClassKey = Registration::kClassKey;

TEST(Registration, WritesTheClassTheProgIdsAndTheToolbarValue) {
    MemoryRegistry registry;
    ASSERT_EQ(Registration::Register(registry, kModule), 0);

    using V = MemoryRegistry::Values;
    const struct {
        Root root;
        std::string key;
        V values;
    } expected[] = {
        {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand.1", V{{"", "RecorderBand"}}},
        {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand.1\\CLSID", V{{"", Registration::kRecorderBandClsid}}},
        {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand", V{{"", "RecorderBand"}}},
        {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand\\CLSID", V{{"", Registration::kRecorderBandClsid}}},
        {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand\\CurVer", V{{"", "OrvantisInputRecorder.RecorderBand.1"}}},
        {Root::ClassesRoot, kClassKey, V{{"", "Orvantis Input Recorder"}}},
        {Root::ClassesRoot, kClassKey + "\\ProgID", V{{"", "Recorder.RecorderBand.1"}}},
        {Root::ClassesRoot, kClassKey + "\\VersionIndependentProgID", V{{"", "OrvantisInputRecorder.RecorderBand"}}},
        {Root::ClassesRoot, kClassKey + "\\InprocServer32", V{{"", kModule}, {"threadingmodel", "Apartment"}}},
        {Root::ClassesRoot, kClassKey + "\\TypeLib", V{{"", "{C41D9E07-6B28-4F3A-9D75-E83B0A6C2F94}"}}},
        {Root::LocalMachine, Registration::kToolbarKey,
         V{{Lower(Registration::kRecorderBandClsid), "Orvantis Input Recorder"}}},
    };
    for (const auto& e : expected) {
        const MemoryRegistry::Values* values = registry.ValuesOf(e.root, e.key);
        ASSERT_NE(values, nullptr) << e.key;
        EXPECT_EQ(*values, e.values) << e.key;
    }
    EXPECT_EQ(registry.KeysBelow(Root::ClassesRoot, kClassKey).size(), 4u);
}

TEST(Registration, ModulePathReplacesThePlaceholderVerbatim) {
    EXPECT_EQ(Registration::Expand("%MODULE%", kModule), kModule);
    EXPECT_EQ(Registration::Expand("\"%MODULE%\" %MODULE%", "a%MODULE%b"), "\"a%MODULE%b\" a%MODULE%b");
    EXPECT_EQ(Registration::Expand("Apartment", kModule), "Apartment");
    EXPECT_EQ(Registration::Expand("%MODULE", kModule), "%MODULE");
}

TEST(Registration, RegisteringAgainReplacesTheClassKeyWhole) {
    MemoryRegistry registry;
    ASSERT_EQ(Registration::Register(registry, "C:\\old\\Skelder.dll"), 0);
    // Left behind by an older registration: must not survive the next one.
    registry.SetString(Root::ClassesRoot, kClassKey + "\\Implemented Categories\\{00021494-0000-0000-C000-000000000046}",
                       "", "");
    registry.SetString(Root::ClassesRoot, kClassKey + "\\InprocServer32", "Stale", "x");
    // Nor may a neighbour class suffer.
    registry.SetString(Root::ClassesRoot, "CLSID\\{00000000-1111-2222-3333-444444444444}", "", "other");
    // The ProgID keys are written over, not replaced: what else is in them stays.
    registry.SetString(Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand\\Extra", "", "kept");

    ASSERT_EQ(Registration::Register(registry, kModule), 0);

    EXPECT_EQ(registry.KeysBelow(Root::ClassesRoot, kClassKey),
              (std::set<std::string>{Lower(kClassKey + "\\ProgID"), Lower(kClassKey + "\\VersionIndependentProgID"),
                                     Lower(kClassKey + "\\InprocServer32"), Lower(kClassKey + "\\TypeLib")}));
    EXPECT_EQ(*registry.ValuesOf(Root::ClassesRoot, kClassKey + "\\InprocServer32"),
              (MemoryRegistry::Values{{"", kModule}, {"threadingmodel", "Apartment"}}));
    EXPECT_TRUE(registry.HasKey(Root::ClassesRoot, "CLSID\\{00000000-1111-2222-3333-444444444444}"));
    EXPECT_TRUE(registry.HasKey(Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand\\Extra"));
}

TEST(Registration, StopsAtTheFirstFailureAndReturnsIt) {
    MemoryRegistry registry;
    registry.failOnKey = Lower(kClassKey + "\\InprocServer32");
    EXPECT_EQ(Registration::Register(registry, kModule), 5);
    EXPECT_TRUE(registry.HasKey(Root::ClassesRoot, kClassKey + "\\VersionIndependentProgID"));
    EXPECT_FALSE(registry.HasKey(Root::ClassesRoot, kClassKey + "\\TypeLib"));
    EXPECT_FALSE(registry.HasKey(Root::LocalMachine, Registration::kToolbarKey));

    MemoryRegistry locked;
    Registration::Register(locked, kModule);
    locked.failOnKey = Lower(kClassKey);
    const int before = locked.writes;
    EXPECT_EQ(Registration::Register(locked, kModule), 5);
    EXPECT_EQ(locked.writes, before);
}

TEST(Unregistration, RemovesProgIdsAndClassButKeepsTheirParents) {
    MemoryRegistry registry;
    registry.SetString(Root::ClassesRoot, "CLSID\\{00000000-1111-2222-3333-444444444444}", "", "other");
    registry.SetString(Root::LocalMachine, Registration::kToolbarKey, "{00000000-1111-2222-3333-444444444444}", "Other bar");
    ASSERT_EQ(Registration::Register(registry, kModule), 0);

    Registration::RemoveToolbarValue(registry, Registration::kRecorderBandClsid);
    EXPECT_EQ(Registration::Unregister(registry), 0);

    for (const char* gone : {"OrvantisInputRecorder.RecorderBand.1", "OrvantisInputRecorder.RecorderBand"})
        EXPECT_FALSE(registry.HasKey(Root::ClassesRoot, gone)) << gone;
    EXPECT_FALSE(registry.HasKey(Root::ClassesRoot, kClassKey));
    EXPECT_TRUE(registry.KeysBelow(Root::ClassesRoot, kClassKey).empty());
    EXPECT_TRUE(registry.HasKey(Root::ClassesRoot, "CLSID"));
    EXPECT_TRUE(registry.HasKey(Root::ClassesRoot, "CLSID\\{00000000-1111-2222-3333-444444444444}"));
    for (const char* kept : {"Software", "Software\\Microsoft", "Software\\Microsoft\\Internet Explorer",
                             Registration::kToolbarKey})
        EXPECT_TRUE(registry.HasKey(Root::LocalMachine, kept)) << kept;
    EXPECT_EQ(*registry.ValuesOf(Root::LocalMachine, Registration::kToolbarKey),
              (MemoryRegistry::Values{{"{00000000-1111-2222-3333-444444444444}", "Other bar"}}));
}

TEST(Unregistration, NothingToRemoveIsNoFailure) {
    MemoryRegistry registry;
    Registration::RemoveToolbarValue(registry, Registration::kRecorderBandClsid);
    EXPECT_EQ(Registration::Unregister(registry), 0);
    EXPECT_TRUE(registry.keys.empty());
}

TEST(Unregistration, TriesEveryKeyAndReportsTheFirstFailure) {
    MemoryRegistry registry;
    ASSERT_EQ(Registration::Register(registry, kModule), 0);
    registry.failOnKey = Lower(kClassKey);
    EXPECT_EQ(Registration::Unregister(registry), 5);
    EXPECT_FALSE(registry.HasKey(Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand.1"));
    EXPECT_FALSE(registry.HasKey(Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand"));
}

}  // namespace
