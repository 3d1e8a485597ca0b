// Registration through the system's regsvr32, read back from the registry.
#include "HostMain.h"

#include <gtest/gtest.h>

#include <oleauto.h>
#include <wrl/client.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

const char kClsid[] = "{5A3C7E21-94D0-4B6F-8E12-C7A9F04D3B65}";
const char kClassKey[] = "CLSID\\{5A3C7E21-94D0-4B6F-8E12-C7A9F04D3B65}";
const char kToolbarKey[] = "Software\\Microsoft\\Internet Explorer\\Toolbar";
const char kTypeLibKey[] = "TypeLib\\{2E8B4F90-1C73-4D5A-B6E8-0F9A3C5D7E12}";
const char kInterfaceKey[] = "Interface\\{7D0F2A93-58E1-4C6B-A4D2-3B9E6F1C0A58}";
const GUID kLibId = {0x2E8B4F90, 0x1C73, 0x4D5A, {0xB6, 0xE8, 0x0F, 0x9A, 0x3C, 0x5D, 0x7E, 0x12}};
const IID kIRecorderBand = {0x7D0F2A93, 0x58E1, 0x4C6B, {0xA4, 0xD2, 0x3B, 0x9E, 0x6F, 0x1C, 0x0A, 0x58}};
const CLSID kRecorderBand = {0x5A3C7E21, 0x94D0, 0x4B6F, {0x8E, 0x12, 0xC7, 0xA9, 0xF0, 0x4D, 0x3B, 0x65}};

class Key {
public:
    Key(HKEY root, const std::string& path) {
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) key = nullptr;
    }
    ~Key() {
        if (key) RegCloseKey(key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const { return key != nullptr; }

    std::optional<std::string> String(const char* name = nullptr) const {
        DWORD type = 0;
        char data[1024] = {};
        DWORD size = sizeof data - 1;
        if (!key || RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
            type != REG_SZ) {
            return std::nullopt;
        }
        return std::string(data);
    }
    std::set<std::string> SubKeys() const {
        std::set<std::string> names;
        char name[256];
        for (DWORD i = 0; key; ++i) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.insert(name);
        }
        return names;
    }
    std::set<std::string> ValueNames() const {
        std::set<std::string> names;
        char name[256];
        for (DWORD i = 0; key; ++i) {
            DWORD length = sizeof name;
            if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            names.insert(name);
        }
        return names;
    }

private:
    HKEY key = nullptr;
};

bool Exists(HKEY root, const std::string& path) {
    return static_cast<bool>(Key(root, path));
}

void SetString(HKEY root, const std::string& path, const char* name, const char* data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(strlen(data) + 1));
    RegCloseKey(key);
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow += static_cast<char>(c);
    return narrow;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

const char* Platform() {
    return sizeof(void*) == 8 ? "win64" : "win32";
}

class Registration : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(RunRegsvr32(Regsvr32::Register), 0u); }
    // Every test leaves the library registered, as the run found it.
    void TearDown() override { EXPECT_EQ(RunRegsvr32(Regsvr32::Register), 0u); }

    // The entries of a registered library, each read back.
    void ExpectRegistered() {
        const std::string path = Narrow(SkelderPath());
        const struct {
            HKEY root;
            std::string key;
            const char* value;
            std::string data;
        } entries[] = {
            {HKEY_CLASSES_ROOT, "OrvantisInputRecorder.RecorderBand.1", nullptr, "RecorderBand"},
            {HKEY_CLASSES_ROOT, "OrvantisInputRecorder.RecorderBand.1\\CLSID", nullptr, kClsid},
            {HKEY_CLASSES_ROOT, "OrvantisInputRecorder.RecorderBand", nullptr, "RecorderBand"},
            {HKEY_CLASSES_ROOT, "OrvantisInputRecorder.RecorderBand\\CLSID", nullptr, kClsid},
            {HKEY_CLASSES_ROOT, "OrvantisInputRecorder.RecorderBand\\CurVer", nullptr,
             "OrvantisInputRecorder.RecorderBand.1"},
            {HKEY_CLASSES_ROOT, kClassKey, nullptr, "Orvantis Input Recorder"},
            {HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\ProgID", nullptr, "Recorder.RecorderBand.1"},
            {HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\VersionIndependentProgID", nullptr,
             "OrvantisInputRecorder.RecorderBand"},
            {HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32", "ThreadingModel", "Apartment"},
            {HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\TypeLib", nullptr,
             "{C41D9E07-6B28-4F3A-9D75-E83B0A6C2F94}"},
            {HKEY_LOCAL_MACHINE, kToolbarKey, kClsid, "Orvantis Input Recorder"},
            {HKEY_CLASSES_ROOT, std::string(kTypeLibKey) + "\\1.0", nullptr, "Orvantis Recorder 1.0 Type Library"},
        };
        for (const auto& e : entries) {
            EXPECT_EQ(Key(e.root, e.key).String(e.value), std::optional<std::string>(e.data))
                << e.key << " " << (e.value ? e.value : "(default)");
        }
        // The library's full path, for the class and for the type library.
        EXPECT_EQ(Upper(Key(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32").String().value_or("")),
                  Upper(path));
        EXPECT_EQ(Upper(Key(HKEY_CLASSES_ROOT, std::string(kTypeLibKey) + "\\1.0\\409\\" + Platform())
                            .String()
                            .value_or("")),
                  Upper(path));
        EXPECT_EQ(Key(HKEY_CLASSES_ROOT, kClassKey).SubKeys(),
                  (std::set<std::string>{"InprocServer32", "ProgID", "TypeLib", "VersionIndependentProgID"}));
        EXPECT_EQ(Key(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32").ValueNames(),
                  (std::set<std::string>{"", "ThreadingModel"}));
    }

    void ExpectUnregistered() {
        for (const char* gone : {"OrvantisInputRecorder.RecorderBand.1", "OrvantisInputRecorder.RecorderBand",
                                 kClassKey, kTypeLibKey, kInterfaceKey}) {
            EXPECT_FALSE(Exists(HKEY_CLASSES_ROOT, gone)) << gone;
        }
        EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, "CLSID"));
        EXPECT_EQ(Key(HKEY_LOCAL_MACHINE, kToolbarKey).String(kClsid), std::nullopt);
    }
};

TEST_F(Registration, WritesTheClassTheToolbarValueAndTheTypeLibrary) {
    ExpectRegistered();
    // The dual interface is known to the system through the type library.
    EXPECT_TRUE(Exists(HKEY_CLASSES_ROOT, kInterfaceKey));
}

TEST_F(Registration, RegisteringAgainReplacesTheClassKeyWhole) {
    SetString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\Implemented Categories\\{00021494-0000-0000-C000-000000000046}",
              nullptr, "");
    SetString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32", "Stale", "x");
    SetString(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32", nullptr, "C:\\old\\Skelder.dll");
    ASSERT_EQ(RunRegsvr32(Regsvr32::Register), 0u);
    ExpectRegistered();
}

TEST_F(Registration, UnregisteringRemovesItsEntriesAndKeepsTheirParents) {
    const char otherBand[] = "{00000000-1111-2222-3333-444444444444}";
    SetString(HKEY_LOCAL_MACHINE, kToolbarKey, otherBand, "Another band");

    ASSERT_EQ(RunRegsvr32(Regsvr32::Unregister), 0u);
    ExpectUnregistered();
    for (const char* kept : {"Software\\Microsoft", "Software\\Microsoft\\Internet Explorer", kToolbarKey}) {
        EXPECT_TRUE(Exists(HKEY_LOCAL_MACHINE, kept)) << kept;
    }
    EXPECT_EQ(Key(HKEY_LOCAL_MACHINE, kToolbarKey).String(otherBand), std::optional<std::string>("Another band"));
    ComPtr<ITypeLib> library;
    EXPECT_TRUE(FAILED(LoadRegTypeLib(kLibId, 1, 0, 0x409, &library)));

    HKEY toolbar = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kToolbarKey, 0, KEY_SET_VALUE, &toolbar), ERROR_SUCCESS);
    RegDeleteValueA(toolbar, otherBand);
    RegCloseKey(toolbar);
}

TEST_F(Registration, UnregisteringWithoutTheToolbarKeyStillRemovesClassAndTypeLibrary) {
    ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, kToolbarKey), ERROR_SUCCESS);
    ASSERT_EQ(RunRegsvr32(Regsvr32::Unregister), 0u);
    ExpectUnregistered();
}

TEST_F(Registration, TheTypeLibraryDescribesRecorderBandAndItsEmptyDualInterface) {
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(kLibId, 1, 0, 0x409, &library), S_OK);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->lcid, 0x409u);
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    library->ReleaseTLibAttr(attributes);

    BSTR name = nullptr;
    BSTR help = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, &name, &help, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"RecorderLib");
    EXPECT_STREQ(help, L"Orvantis Recorder 1.0 Type Library");
    SysFreeString(name);
    SysFreeString(help);

    ComPtr<ITypeInfo> coclass;
    ASSERT_EQ(library->GetTypeInfoOfGuid(kRecorderBand, &coclass), S_OK);
    ASSERT_EQ(coclass->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"RecorderBand");
    EXPECT_STREQ(help, L"RecorderBand Class");
    SysFreeString(name);
    SysFreeString(help);
    HREFTYPE reference = 0;
    INT flags = 0;
    ASSERT_EQ(coclass->GetImplTypeFlags(0, &flags), S_OK);
    EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
    ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &reference), S_OK);
    ComPtr<ITypeInfo> dispatchPart;
    ASSERT_EQ(coclass->GetRefTypeInfo(reference, &dispatchPart), S_OK);

    TYPEATTR* type = nullptr;
    ASSERT_EQ(dispatchPart->GetTypeAttr(&type), S_OK);
    EXPECT_TRUE(IsEqualIID(type->guid, kIRecorderBand));
    EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDUAL);
    dispatchPart->ReleaseTypeAttr(type);
    ASSERT_EQ(dispatchPart->GetDocumentation(MEMBERID_NIL, &name, &help, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"IRecorderBand");
    EXPECT_STREQ(help, L"IRecorderBand Interface");
    SysFreeString(name);
    SysFreeString(help);

    // The interface side of the dual interface: derived from IDispatch, no members of its own.
    ASSERT_EQ(dispatchPart->GetRefTypeOfImplType(-1, &reference), S_OK);
    ComPtr<ITypeInfo> interfacePart;
    ASSERT_EQ(dispatchPart->GetRefTypeInfo(reference, &interfacePart), S_OK);
    ASSERT_EQ(interfacePart->GetTypeAttr(&type), S_OK);
    EXPECT_EQ(type->typekind, TKIND_INTERFACE);
    EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FOLEAUTOMATION);
    EXPECT_EQ(type->cFuncs, 0);
    EXPECT_EQ(type->cImplTypes, 1);
    interfacePart->ReleaseTypeAttr(type);
    ASSERT_EQ(interfacePart->GetRefTypeOfImplType(0, &reference), S_OK);
    ComPtr<ITypeInfo> base;
    ASSERT_EQ(interfacePart->GetRefTypeInfo(reference, &base), S_OK);
    ASSERT_EQ(base->GetTypeAttr(&type), S_OK);
    EXPECT_TRUE(IsEqualIID(type->guid, IID_IDispatch));  // from the imported stdole2.tlb
    base->ReleaseTypeAttr(type);
}

}  // namespace
