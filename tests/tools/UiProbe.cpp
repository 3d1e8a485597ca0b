// UiProbe: waits for a top-level window with a given caption, tells what it
// shows and presses one of its buttons, as a person at the screen would.
//
//   UiProbe --caption TEXT [--timeout SECONDS] [--press BUTTON]
//           [--process PID] [--desktop STATION\DESKTOP]
//
// Prints one line each: window, caption, text (once per static text), icon
// (error, warning, information, question, none, or unknown where the screen
// cannot be seen), buttons, and pressed. Exit code 0 when the window was found
// (and, with --press, closed by the button), 1 when no such window came within
// the time, 2 for a bad command line, 3 when the button was missing or did not
// close the window.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Options {
    std::string caption;
    std::string press;
    std::string desktop;
    double timeoutSeconds = 20;
    DWORD process = 0;
};

struct Control {
    HWND window;
    std::string className;
    std::string text;
    LONG style;
};

std::string WindowText(HWND window) {
    // WM_GETTEXT reaches windows of other processes; GetWindowText may not.
    char buffer[4096] = {};
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                             5000, &got))
        return std::string();
    return std::string(buffer, got < sizeof buffer ? got : sizeof buffer - 1);
}

std::string ClassName(HWND window) {
    char buffer[256] = {};
    const int got = GetClassNameA(window, buffer, sizeof buffer);
    return std::string(buffer, got > 0 ? got : 0);
}

std::string WithoutAccelerator(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        result += text[i];
    }
    return result;
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                                                  b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

struct Search {
    const Options* options;
    HWND found = nullptr;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    if (!IsWindowVisible(window)) return TRUE;  // a dialog is shown once it is filled in
    if (search->options->process) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != search->options->process) return TRUE;
    }
    if (WindowText(window) != search->options->caption) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM parameter) {
    auto* controls = reinterpret_cast<std::vector<Control>*>(parameter);
    if (GetParent(window) != GetAncestor(window, GA_PARENT)) return TRUE;
    controls->push_back({window, ClassName(window), WindowText(window), GetWindowLongA(window, GWL_STYLE)});
    return TRUE;
}

HWND FindTopLevel(const Options& options) {
    Search search{&options};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The pixels of a screen rectangle, 32 bits each.
std::vector<DWORD> Capture(HDC source, int x, int y, int width, int height) {
    std::vector<DWORD> pixels(static_cast<std::size_t>(width) * height);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
        GdiFlush();
        std::memcpy(pixels.data(), bits, pixels.size() * sizeof(DWORD));
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    return pixels;
}

// An icon drawn the way an icon control draws it, on a given background.
std::vector<DWORD> Render(HICON icon, int width, int height, DWORD background) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF));
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    std::vector<DWORD> pixels = Capture(memory, 0, 0, width, height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

double Difference(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8)
            sum += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF));
    return a.empty() ? 0 : sum / (a.size() * 3.0);
}

// Tells the icon by looking at it: the control's pixels on the screen against
// each of the system's message icons drawn the same way.
std::string RecogniseIcon(HWND control, bool visibleScreen, DWORD deadline) {
    if (!control || !IsWindowVisible(control) || !SendMessageA(control, STM_GETICON, 0, 0)) return "none";
    if (!visibleScreen) return "unknown";
    struct Candidate {
        const char* name;
        LPCSTR id;
    };
    const Candidate candidates[] = {{"error", IDI_HAND},
                                    {"warning", IDI_EXCLAMATION},
                                    {"information", IDI_ASTERISK},
                                    {"question", IDI_QUESTION}};
    for (;;) {
        RECT rect;
        GetWindowRect(control, &rect);
        const int width = rect.right - rect.left, height = rect.bottom - rect.top;
        if (width > 0 && height > 0) {
            HDC screen = GetDC(nullptr);
            const std::vector<DWORD> seen = Capture(screen, rect.left, rect.top, width, height);
            // The dialog's own colour, just left of the icon.
            const DWORD background = Capture(screen, rect.left - 1, rect.top, 1, 1)[0];
            ReleaseDC(nullptr, screen);
            const char* best = nullptr;
            double bestDifference = 1e9;
            for (const Candidate& candidate : candidates) {
                const double difference =
                    Difference(seen, Render(LoadIconA(nullptr, candidate.id), width, height, background));
                if (difference < bestDifference) {
                    bestDifference = difference;
                    best = candidate.name;
                }
            }
            if (best && bestDifference < 4.0) return best;
        }
        // Not painted yet, or covered for a moment: look again until the time is up.
        if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return "unknown";
        RedrawWindow(GetParent(control), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
}

bool Parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (name == "--caption")
            options.caption = value;
        else if (name == "--press")
            options.press = value;
        else if (name == "--desktop")
            options.desktop = value;
        else if (name == "--timeout")
            options.timeoutSeconds = std::atof(value);
        else if (name == "--process")
            options.process = static_cast<DWORD>(std::strtoul(value, nullptr, 0));
        else
            return false;
    }
    return !options.caption.empty() && options.timeoutSeconds > 0;
}

// Joins the window station and desktop that another program shows its windows on.
HDESK EnterDesktop(const std::string& name) {
    const std::size_t slash = name.find('\\');
    if (slash == std::string::npos) return nullptr;
    HWINSTA station = OpenWindowStationA(name.substr(0, slash).c_str(), FALSE, MAXIMUM_ALLOWED);
    if (!station || !SetProcessWindowStation(station)) return nullptr;
    HDESK desktop = OpenDesktopA(name.substr(slash + 1).c_str(), 0, FALSE, MAXIMUM_ALLOWED);
    // Windows count as visible only to a thread on their own desktop.
    if (!desktop || !SetThreadDesktop(desktop)) return nullptr;
    return desktop;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!Parse(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: UiProbe --caption TEXT [--timeout SECONDS] [--press BUTTON] [--process PID] "
                     "[--desktop STATION\\DESKTOP]\n");
        return 2;
    }
    HDESK desktop = nullptr;
    if (!options.desktop.empty() && !(desktop = EnterDesktop(options.desktop))) {
        std::printf("desktop: cannot open %s\n", options.desktop.c_str());
        return 1;
    }
    const DWORD deadline = GetTickCount() + static_cast<DWORD>(options.timeoutSeconds * 1000);
    const auto timeLeft = [&] { return static_cast<LONG>(GetTickCount() - deadline) < 0; };

    HWND window = nullptr;
    while (!(window = FindTopLevel(options))) {
        if (!timeLeft()) {
            std::printf("window: none\n");
            return 1;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    std::printf("window: %p process %lu\n", static_cast<void*>(window), static_cast<unsigned long>(owner));
    std::printf("caption: %s\n", WindowText(window).c_str());

    std::vector<Control> controls;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&controls));
    HWND icon = nullptr;
    std::string buttons;
    for (const Control& control : controls) {
        if (!(control.style & WS_VISIBLE)) continue;
        if (SameText(control.className, "Static")) {
            if ((control.style & SS_TYPEMASK) == SS_ICON)
                icon = control.window;
            else
                std::printf("text: %s\n", control.text.c_str());
        } else if (SameText(control.className, "Button")) {
            buttons += (buttons.empty() ? "" : ",") + WithoutAccelerator(control.text);
        }
    }
    std::printf("icon: %s\n", RecogniseIcon(icon, desktop == nullptr, deadline).c_str());
    std::printf("buttons: %s\n", buttons.c_str());
    std::fflush(stdout);
    if (options.press.empty()) return 0;

    for (const Control& control : controls) {
        if (!SameText(control.className, "Button") || !(control.style & WS_VISIBLE)) continue;
        if (!SameText(WithoutAccelerator(control.text), options.press)) continue;
        // A click: the button takes focus, goes down and comes up over itself.
        DWORD_PTR ignored;
        SendMessageTimeoutA(control.window, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        while (IsWindow(window) && IsWindowVisible(window) && timeLeft())
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        if (IsWindow(window) && IsWindowVisible(window)) {
            std::printf("pressed: %s, but the window stayed\n", options.press.c_str());
            return 3;
        }
        std::printf("pressed: %s\n", options.press.c_str());
        return 0;
    }
    std::printf("pressed: no button %s\n", options.press.c_str());
    return 3;
}
