// The library's resources as the system reads them.
#include "ButtonStates.h"
#include "Handles.h"
#include "Module.h"
#include "resource.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A dialog template (DLGTEMPLATEEX) read field by field.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : at(data), start(data) {}
    WORD Word() { WORD v; std::memcpy(&v, at, 2); at += 2; return v; }
    DWORD Dword() { DWORD v; std::memcpy(&v, at, 4); at += 4; return v; }
    short Short() { return static_cast<short>(Word()); }
    BYTE Byte() { return *at++; }
    std::string Text() {
        std::string text;
        for (WORD c = Word(); c != 0; c = Word()) text += static_cast<char>(c);
        return text;
    }
    // A window class by name or by the ordinal of a predefined class, in lower case.
    std::string ClassName() {
        WORD first;
        std::memcpy(&first, at, 2);
        if (first == 0xFFFF) {
            Word();
            switch (Word()) {
            case 0x80: return "button";
            case 0x81: return "edit";
            case 0x82: return "static";
            default: return "#?";
            }
        }
        std::string name = Text();
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return name;
    }
    // A name or an ordinal; ordinals come back as "#n".
    std::string NameOrOrdinal() {
        WORD first;
        std::memcpy(&first, at, 2);
        if (first == 0xFFFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        return Text();
    }
    void AlignDword() {
        while ((at - start) % 4) ++at;
    }
    void Skip(size_t bytes) { at += bytes; }

private:
    const BYTE* at;
    const BYTE* start;
};

struct Item {
    DWORD id;
    std::string windowClass;
    std::string title;
    DWORD style;
    short x, y, cx, cy;
};

struct Template {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    WORD pointSize = 0;
    std::string typeface;
    std::vector<Item> items;
};

bool LoadTemplate(UINT id, Template& result) {
    HRSRC found = FindResourceA(ModuleInstance(), MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!found) return false;
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(ModuleInstance(), found)));
    if (!data) return false;
    TemplateReader in(data);
    if (in.Word() != 1 || in.Word() != 0xFFFF) return false;  // extended template
    in.Dword();                                               // help id
    result.exStyle = in.Dword();
    result.style = in.Dword();
    const WORD count = in.Word();
    result.x = in.Short();
    result.y = in.Short();
    result.cx = in.Short();
    result.cy = in.Short();
    in.NameOrOrdinal();  // menu
    in.NameOrOrdinal();  // class
    result.caption = in.Text();
    if (result.style & DS_SETFONT) {
        result.pointSize = in.Word();
        in.Word();  // weight
        in.Byte();  // italic
        in.Byte();  // charset
        result.typeface = in.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        in.AlignDword();
        Item item{};
        in.Dword();  // help id
        in.Dword();  // extended style
        item.style = in.Dword();
        item.x = in.Short();
        item.y = in.Short();
        item.cx = in.Short();
        item.cy = in.Short();
        item.id = in.Dword();
        item.windowClass = in.ClassName();
        item.title = in.NameOrOrdinal();
        in.Skip(in.Word());
        result.items.push_back(item);
    }
    return true;
}

TEST(Resources, StepListDialogTemplate) {
    Template dialog;
    ASSERT_TRUE(LoadTemplate(IDD_TRANSACTION_LIST, dialog));
    EXPECT_EQ(dialog.style, 0x80CC0048u);
    EXPECT_EQ(dialog.exStyle, 0x180u);
    EXPECT_EQ(dialog.cx, 224);
    EXPECT_EQ(dialog.cy, 109);
    EXPECT_EQ(dialog.caption, "Orvantis Transaction");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.typeface, "MS Shell Dlg");
    ASSERT_EQ(dialog.items.size(), 1u);
    const Item& list = dialog.items[0];
    EXPECT_EQ(list.id, static_cast<DWORD>(IDC_STEP_LIST));
    EXPECT_EQ(list.windowClass, "syslistview32");
    EXPECT_EQ(list.style, 0x5081888Du);
    EXPECT_EQ(list.x, 0);
    EXPECT_EQ(list.y, 0);
    EXPECT_EQ(list.cx, 222);
    EXPECT_EQ(list.cy, 108);
}

TEST(Resources, AboutDialogTemplate) {
    Template dialog;
    ASSERT_TRUE(LoadTemplate(IDD_ABOUT, dialog));
    EXPECT_EQ(dialog.style, 0x80C800C8u);
    EXPECT_EQ(dialog.cx, 166);
    EXPECT_EQ(dialog.cy, 64);
    EXPECT_EQ(dialog.caption, "About Orvantis Input Recorder");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.typeface, "MS Shell Dlg");
    ASSERT_EQ(dialog.items.size(), 3u);

    struct Expected {
        const char* windowClass;
        std::string title;
        DWORD kind;  // the low style bits that make the control what it is
        short x, y, cx, cy;
    };
    const Expected expected[] = {
        {"static", "#302", SS_ICON, 6, 6, 20, 20},
        {"static", "Orvantis Input Recorder\nVersion 1.0.1", SS_LEFT, 36, 6, 121, 24},
        {"button", "OK", BS_DEFPUSHBUTTON, 60, 42, 50, 14},
    };
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Item& item = dialog.items[i];
        EXPECT_EQ(item.windowClass, expected[i].windowClass);
        EXPECT_EQ(item.title, expected[i].title);
        EXPECT_EQ(item.style & 0xF, expected[i].kind);
        EXPECT_EQ(item.x, expected[i].x);
        EXPECT_EQ(item.y, expected[i].y);
        EXPECT_EQ(item.cx, expected[i].cx);
        EXPECT_EQ(item.cy, expected[i].cy);
    }
    EXPECT_EQ(dialog.items[1].id, static_cast<DWORD>(IDC_ABOUT_TEXT));
    EXPECT_EQ(dialog.items[2].id, static_cast<DWORD>(IDOK));
}

TEST(Resources, TooltipStrings) {
    struct Case {
        UINT id;
        const char* text;
    };
    const Case cases[] = {{ID_RECORDER_ABOUT, ""},
                          {ID_RECORDER_RECORD, "Begins recording actions into the current transaction."},
                          {ID_RECORDER_STOP, "Stops recording user actions for the current transaction."},
                          {ID_RECORDER_CLEAR, "Erases any actions recorded for the current transaction."},
                          {ID_RECORDER_SAVE, "Saves the current transaction into Orvantis."},
                          {102, ""}};
    for (const Case& c : cases) {
        char text[256] = "";
        LoadStringA(ModuleInstance(), c.id, text, sizeof(text));
        EXPECT_STREQ(text, c.text) << c.id;
    }
}

TEST(Resources, ToolbarMenu) {
    UniqueMenu menu(LoadMenuA(ModuleInstance(), MAKEINTRESOURCEA(IDR_TOOLBAR_MENU)));
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(menu.Get()), 1);
    HMENU popup = GetSubMenu(menu.Get(), 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 2);
    char text[128];
    GetMenuStringA(popup, 0, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "About Orvantis Input Recorder...");
    EXPECT_EQ(GetMenuItemID(popup, 0), static_cast<UINT>(ID_RECORDER_ABOUT));
    GetMenuStringA(popup, 1, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "Options...");
    EXPECT_EQ(GetMenuItemID(popup, 1), static_cast<UINT>(ID_RECORDER_OPTIONS));
}

TEST(Resources, ToolbarStripOfFifteenImagesOnGrey) {
    UniqueGdiObject bitmap(LoadImageA(ModuleInstance(), MAKEINTRESOURCEA(IDB_TOOLBAR), IMAGE_BITMAP, 0, 0,
                                      LR_CREATEDIBSECTION));
    ASSERT_TRUE(bitmap);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(bitmap.Get(), sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    EXPECT_EQ(dib.dsBm.bmWidth, 240);
    EXPECT_EQ(dib.dsBm.bmHeight, 16);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 8);

    UniqueDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    HGDIOBJ old = SelectObject(dc.Get(), bitmap.Get());
    auto colour = [&](int image, int x, int y) { return GetPixel(dc.Get(), image * 16 + x, y); };
    const COLORREF grey = RGB(192, 192, 192);
    for (int image = 0; image < 15; ++image) EXPECT_EQ(colour(image, 0, 0), grey) << image;
    int painted = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) painted += colour(ToolbarImage::kBlank, x, y) != grey;
    EXPECT_EQ(painted, 0) << "image 11 is background only";
    const COLORREF record = colour(ToolbarImage::kRecord, 8, 9);
    EXPECT_GT(GetRValue(record), 150);
    EXPECT_LT(GetGValue(record), 80);
    const COLORREF stop = colour(ToolbarImage::kStop, 8, 8);
    EXPECT_GT(GetBValue(stop), 150);
    EXPECT_LT(GetRValue(stop), 80);
    SelectObject(dc.Get(), old);
}

TEST(Resources, AboutIconInTwoSizes) {
    for (const int size : {32, 16}) {
        UniqueIcon icon(static_cast<HICON>(
            LoadImageA(ModuleInstance(), MAKEINTRESOURCEA(IDI_RECORDER), IMAGE_ICON, size, size, 0)));
        ASSERT_TRUE(icon) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon.Get(), &info));
        const UniqueGdiObject colourBits(info.hbmColor), maskBits(info.hbmMask);
        BITMAP colour{};
        GetObjectA(colourBits.Get(), sizeof(colour), &colour);
        EXPECT_EQ(colour.bmWidth, size);
    }
    // Both sizes are stored, not stretched from one.
    HRSRC group = FindResourceA(ModuleInstance(), MAKEINTRESOURCEA(IDI_RECORDER), MAKEINTRESOURCEA(14));
    ASSERT_NE(group, nullptr);
    const BYTE* directory = static_cast<const BYTE*>(LockResource(LoadResource(ModuleInstance(), group)));
    WORD count = 0;
    std::memcpy(&count, directory + 4, 2);
    ASSERT_EQ(count, 2);
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = directory + 6 + 14 * i;
        WORD bits = 0;
        std::memcpy(&bits, entry + 6, 2);
        EXPECT_EQ(entry[0], i == 0 ? 32 : 16);
        EXPECT_EQ(bits, 8);
    }
}

}  // namespace
