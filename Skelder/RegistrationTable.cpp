#include "RegistrationTable.h"

namespace Registration {

namespace {

#define ORV_CLSID "{5A3C7E21-94D0-4B6F-8E12-C7A9F04D3B65}"
#define ORV_CLASS_KEY "CLSID\\" ORV_CLSID

// Kept as installed copies have them, though they look inconsistent: the
// class key's ProgID is not the registered one, and its TypeLib id is not
// the type library's LIBID.
const Entry kEntries[] = {
    {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand.1", "", "RecorderBand"},
    {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand.1\\CLSID", "", ORV_CLSID},
    {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand", "", "RecorderBand"},
    {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand\\CLSID", "", ORV_CLSID},
    {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand\\CurVer", "", "OrvantisInputRecorder.RecorderBand.1"},
    {Root::ClassesRoot, ORV_CLASS_KEY, "", "Orvantis Input Recorder"},
    {Root::ClassesRoot, ORV_CLASS_KEY "\\ProgID", "", "Recorder.RecorderBand.1"},
    {Root::ClassesRoot, ORV_CLASS_KEY "\\VersionIndependentProgID", "", "OrvantisInputRecorder.RecorderBand"},
    {Root::ClassesRoot, ORV_CLASS_KEY "\\InprocServer32", "", kModulePlaceholder},
    {Root::ClassesRoot, ORV_CLASS_KEY "\\InprocServer32", "ThreadingModel", "Apartment"},
    {Root::ClassesRoot, ORV_CLASS_KEY "\\TypeLib", "", "{C41D9E07-6B28-4F3A-9D75-E83B0A6C2F94}"},
    {Root::LocalMachine, kToolbarKey, ORV_CLSID, "Orvantis Input Recorder"},
};

// The class key goes first so that a registration over an old one starts clean.
const Key kRemovedKeys[] = {
    {Root::ClassesRoot, ORV_CLASS_KEY},
    {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand.1"},
    {Root::ClassesRoot, "OrvantisInputRecorder.RecorderBand"},
};

#undef ORV_CLASS_KEY
#undef ORV_CLSID

// Only the class key is replaced whole on registration; the ProgID keys are
// written over as they are.
constexpr std::size_t kReplacedOnRegister = 1;

}  // namespace

const Entry* Entries(std::size_t& count) {
    count = sizeof kEntries / sizeof kEntries[0];
    return kEntries;
}

const Key* RemovedKeys(std::size_t& count) {
    count = sizeof kRemovedKeys / sizeof kRemovedKeys[0];
    return kRemovedKeys;
}

std::string Expand(const char* data, const std::string& modulePath) {
    std::string text(data);
    const std::string placeholder(kModulePlaceholder);
    for (std::size_t at = text.find(placeholder); at != std::string::npos;
         at = text.find(placeholder, at + modulePath.size())) {
        text.replace(at, placeholder.size(), modulePath);
    }
    return text;
}

long Register(Port& port, const std::string& modulePath) {
    for (std::size_t i = 0; i < kReplacedOnRegister; ++i) {
        const long status = port.DeleteTree(kRemovedKeys[i].root, kRemovedKeys[i].key);
        if (status != 0 && status != kNotFound) return status;
    }
    for (const Entry& entry : kEntries) {
        const long status = port.SetString(entry.root, entry.key, entry.valueName, Expand(entry.data, modulePath));
        if (status != 0) return status;
    }
    return 0;
}

long Unregister(Port& port) {
    long first = 0;
    for (const Key& key : kRemovedKeys) {
        const long status = port.DeleteTree(key.root, key.key);
        if (status != 0 && status != kNotFound && first == 0) first = status;
    }
    return first;
}

void RemoveToolbarValue(Port& port, const std::string& clsidText) {
    port.DeleteValue(Root::LocalMachine, kToolbarKey, clsidText);
}

}  // namespace Registration
