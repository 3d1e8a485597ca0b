// Launcher.exe as a Windows program: started as a person or the service
// manager would start it, against the jvm.dll stand-in laid out as a Java
// runtime, its message boxes read and answered by UiProbe.exe.
#include "Handles.h"
#include "Win32Platform.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Programs {
    std::string launcher, jvm, probe;
} programs;

constexpr DWORD kBound = 30000;  // the longest any single step may take under Wine
const char kServiceDesktop[] = "__wineservice_winstation\\Default";

std::string Text(int number) {
    return "Sorry, there was a type " + std::to_string(number) + " error while " +
           (number == 12   ? "launching Orvantis."
            : number >= 10 ? "unregistering the service."
            : number >= 7  ? "registering the service."
                           : "starting Orvantis.");
}
const char kRegistered[] = "Successfully registered Orvantis service.";
const char kUnregistered[] = "Successfully unregistered Orvantis service.";

// Polls a condition until it holds or the bound has passed.
template <typename Condition>
bool PollUntil(Condition condition, DWORD boundMs = kBound) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= boundMs) return false;
        Sleep(50);
    }
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);) lines.push_back(line);
    return lines;
}

// The first line that starts with the prefix, or "".
std::string Line(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& line : lines)
        if (line.compare(0, prefix.size(), prefix) == 0) return line;
    return "";
}

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& prefix) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].compare(0, prefix.size(), prefix) == 0) return i;
    return lines.size();
}

std::string Field(const std::string& line, const std::string& name) {
    const std::size_t at = line.find(" " + name + "=");
    if (at == std::string::npos) return "";
    const std::size_t begin = at + name.size() + 2;
    // cwd and from may hold blanks; they run to the next " name=" or the end.
    std::size_t end = begin;
    while (end < line.size()) {
        const std::size_t blank = line.find(' ', end);
        if (blank == std::string::npos) return line.substr(begin);
        const std::size_t equals = line.find('=', blank);
        const std::size_t nextBlank = line.find(' ', blank + 1);
        if (equals != std::string::npos && (nextBlank == std::string::npos || equals < nextBlank))
            return line.substr(begin, blank - begin);
        end = blank + 1;
    }
    return line.substr(begin);
}

struct Process {
    KernelHandle handle;
    DWORD id = 0;
};

// Environment of a child: ours, with JAVA_HOME replaced (empty: removed).
std::string EnvironmentWith(const std::string& javaHome) {
    std::string block;
    LPCH strings = GetEnvironmentStringsA();
    for (LPCH entry = strings; *entry; entry += std::strlen(entry) + 1) {
        if (_strnicmp(entry, "JAVA_HOME=", 10) == 0) continue;
        block.append(entry).push_back('\0');
    }
    FreeEnvironmentStringsA(strings);
    if (!javaHome.empty()) block.append("JAVA_HOME=" + javaHome).push_back('\0');
    block.push_back('\0');
    return block;
}

Process Start(const std::string& commandLine, const std::string& directory, const std::string* javaHome = nullptr,
              HANDLE output = nullptr) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    std::string environment = javaHome ? EnvironmentWith(*javaHome) : std::string();
    Process process;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, output != nullptr, 0,
                        javaHome ? environment.data() : nullptr, directory.c_str(), &startup, &info)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": error " << GetLastError();
        return process;
    }
    CloseHandle(info.hThread);
    process.handle.Reset(info.hProcess);
    process.id = info.dwProcessId;
    return process;
}

// The exit code, or -1 when the process is still there after the bound.
long WaitForExit(const Process& process, DWORD boundMs = kBound) {
    if (!process.handle || WaitForSingleObject(process.handle.Get(), boundMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.handle.Get(), &code);
    return static_cast<long>(code);
}

void EndIfRunning(const Process& process) {
    if (process.handle && WaitForSingleObject(process.handle.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.handle.Get(), 99);
        WaitForSingleObject(process.handle.Get(), kBound);
    }
}

// What UiProbe saw of the box "Orvantis" of a process, after pressing OK.
struct Seen {
    DWORD exitCode = 0;
    std::map<std::string, std::string> fields;
    std::string output;
};

Seen ProbeBox(DWORD processId, bool serviceDesktop = false) {
    std::string commandLine = "\"" + programs.probe + "\" --caption Orvantis --timeout 30 --press OK --process " +
                              std::to_string(processId);
    if (serviceDesktop) commandLine += std::string(" --desktop ") + kServiceDesktop;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    Seen seen;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        ADD_FAILURE() << "no pipe";
        return seen;
    }
    KernelHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    Process probe = Start(commandLine, "C:\\", nullptr, writeEnd);
    writer.Close();
    // Read until the probe has ended, not until the pipe closes: a Wine helper
    // process that the probe happens to start inherits the pipe and lives on.
    const auto drain = [&] {
        char buffer[1024];
        DWORD available = 0, got = 0;
        while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available &&
               ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got)
            seen.output.append(buffer, got);
    };
    PollUntil([&] {
        drain();
        return WaitForSingleObject(probe.handle.Get(), 0) != WAIT_TIMEOUT;
    }, 2 * kBound);
    drain();
    seen.exitCode = static_cast<DWORD>(WaitForExit(probe, 0));
    EndIfRunning(probe);
    std::istringstream lines(seen.output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t colon = line.find(": ");
        if (colon != std::string::npos && !seen.fields.count(line.substr(0, colon)))
            seen.fields[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return seen;
}

// The launcher's one kind of box: its caption, the text, the error icon and one OK button.
void ExpectBox(const Seen& seen, const std::string& text, const char* icon = "error") {
    EXPECT_EQ(seen.exitCode, 0u) << seen.output;
    EXPECT_EQ(seen.fields.count("text") ? seen.fields.at("text") : "", text) << seen.output;
    EXPECT_EQ(seen.fields.count("caption") ? seen.fields.at("caption") : "", "Orvantis") << seen.output;
    EXPECT_EQ(seen.fields.count("icon") ? seen.fields.at("icon") : "", icon) << seen.output;
    EXPECT_EQ(seen.fields.count("buttons") ? seen.fields.at("buttons") : "", "OK") << seen.output;
    EXPECT_EQ(seen.fields.count("pressed") ? seen.fields.at("pressed") : "", "OK") << seen.output;
}

// A server home with the launcher in its bin folder, and a Java runtime home
// holding the stand-in, both under a folder whose name has blanks.
struct ServerHome {
    explicit ServerHome(const std::string& name, const std::string& runtime = "bin\\client")
        : root("C:\\Orvantis Tests\\" + name),
          home(root + "\\Orvantis Server"),
          launcher(home + "\\bin\\Launcher.exe"),
          properties(home + "\\console\\WEB-INF\\properties\\ovproperties.ini"),
          javaHome(root + "\\Java Runtime"),
          record(root + "\\record.txt") {
        // A process that just ended may hold its files for a moment.
        std::error_code error;
        EXPECT_TRUE(PollUntil([&] { return fs::remove_all(root, error) != static_cast<std::uintmax_t>(-1) && !error; }))
            << root << ": " << error.message();
        fs::create_directories(home + "\\bin", error);
        fs::create_directories(home + "\\console\\WEB-INF\\properties", error);
        EXPECT_TRUE(fs::copy_file(programs.launcher, launcher, error)) << error.message();
        if (!runtime.empty()) {
            fs::create_directories(javaHome + "\\" + runtime, error);
            EXPECT_TRUE(fs::copy_file(programs.jvm, javaHome + "\\" + runtime + "\\jvm.dll", error)) << error.message();
        }
    }
    // Writes the properties file; the stand-in records to this home's record file.
    void Properties(const std::string& lines, const std::string& standIn = "", bool withJavaHome = true) const {
        std::ofstream file(properties, std::ios::binary);
        if (withJavaHome) file << "Launch.JavaHome=" << javaHome << "\n";
        file << "Launch.ExtraVMArgs=\"-Dstandin.record=" << record << "\" " << standIn << "\n" << lines;
    }
    std::vector<std::string> Record() const { return ReadLines(record); }

    std::string root, home, launcher, properties, javaHome, record;
};

// One run that ends in one box: what the box said and how the launcher ended.
struct Outcome {
    Seen seen;
    long exitCode;
};

Outcome RunToBox(const ServerHome& home, const std::string& arguments, const std::string* javaHome = nullptr,
                 const std::string& directory = "C:\\") {
    Process launcher = Start("\"" + home.launcher + "\" " + arguments, directory, javaHome);
    Outcome outcome{ProbeBox(launcher.id), WaitForExit(launcher)};
    EndIfRunning(launcher);
    return outcome;
}

const std::string kNoJavaHome;  // JAVA_HOME taken out of the launcher's environment

TEST(Messages, StartFailuresShowTheirBoxAndEndWithOne) {
    struct Case {
        const char* name;
        std::string properties;
        std::string standIn;
        std::string arguments;
        int message;
        const char* recordLine;  // what the stand-in saw last, "" when it was never loaded
    };
    const Case cases[] = {
        {"unknown option", "", "-Xnonsense", "", 1, "refused -Xnonsense"},
        {"no start class", "Launch.StartClass=com.orvantis.Missing\n", "", "", 2,
         "call FindClass com/orvantis/Missing"},
        {"no main", "", "-Dstandin.missing=method", "", 3, "call GetStaticMethodID main ([Ljava/lang/String;)V"},
        {"no string class", "", "-Dstandin.missing=stringclass", "", 4, "call FindClass java/lang/String"},
        {"no array", "", "-Dstandin.missing=array", "", 4, "call NewObjectArray 2"},
        {"no argument string", "Launch.OVArgs=-port 8080\n", "-Dstandin.missing=string", "", 5,
         "call NewStringUTF -port"},
        {"no properties file", "", "", "missing.ini", 12, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServerHome home(c.name);
        std::string properties = c.properties;
        if (properties.empty() && c.message != 2) properties = "Launch.OVArgs=a b\n";
        home.Properties(properties, c.standIn);
        const Outcome outcome = RunToBox(home, c.arguments, &kNoJavaHome);
        ExpectBox(outcome.seen, Text(c.message));
        EXPECT_EQ(outcome.exitCode, 1);
        const auto record = home.Record();
        if (*c.recordLine) {
            ASSERT_FALSE(record.empty());
            EXPECT_EQ(record.back(), c.recordLine);
        } else {
            EXPECT_TRUE(record.empty());
        }
        EXPECT_EQ(Line(record, "main "), "");
    }
}

TEST(Messages, NoRuntimeInTheOneHomeTried) {
    struct Case {
        const char* name;
        bool javaHomeSetting;          // Launch.JavaHome names the home without a runtime
        std::string javaHomeVariable;  // JAVA_HOME, "" for none
    };
    ServerHome good("good runtime");
    const Case cases[] = {
        // JAVA_HOME names a good runtime, but the setting wins.
        {"setting without runtime", true, good.javaHome},
        // Neither: the built-in folder, which holds nothing here.
        {"no home at all", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServerHome home(c.name, "");
        home.Properties("", "", c.javaHomeSetting);
        const Outcome outcome = RunToBox(home, "", &c.javaHomeVariable);
        ExpectBox(outcome.seen, Text(6) + "  The Java installation was not found.");
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_TRUE(home.Record().empty());
        EXPECT_TRUE(good.Record().empty());
    }
}

// No box at all: the launcher runs main on its own thread from the server's
// bin folder and ends with 0 when main returns.
TEST(Runs, ServerRunsInteractively) {
    struct Case {
        const char* name;
        std::string runtime;            // where the stand-in lies under the Java home
        bool throughVariable;           // JAVA_HOME instead of Launch.JavaHome
        std::string arguments;
        std::vector<std::string> mainArguments;
    };
    const Case cases[] = {
        {"runtime home", "bin\\client", false, "", {"-port", "8080"}},
        {"development kit", "jre\\bin\\client", false, "", {"-port", "8080"}},
        {"server machine only", "bin\\server", false, "", {"-port", "8080"}},
        {"JAVA_HOME", "bin\\client", true, "", {"-port", "8080"}},
        // Typed by hand it only adds the argument: no service, no exit hook.
        {"service switch by hand", "bin\\client", false, "--service", {"-port", "8080", "--service"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ServerHome home(c.name, c.runtime);
        home.Properties("Launch.MemSize=64\nLaunch.Classpath=lib\\server.jar\nLaunch.OVArgs=-port 8080\n", "-Dx=\"a\"",
                        !c.throughVariable);
        const std::string variable = c.throughVariable ? home.javaHome + "\\" : "";
        Process launcher = Start("\"" + home.launcher + "\" " + c.arguments, "C:\\", &variable);
        EXPECT_EQ(WaitForExit(launcher), 0);
        EndIfRunning(launcher);

        const auto record = home.Record();
        const std::string create = Line(record, "create ");
        EXPECT_EQ(Field(create, "from"), home.javaHome + "\\" + c.runtime + "\\jvm.dll");
        const std::vector<std::string> options(record.begin() + 1, record.begin() + IndexOf(record, "call "));
        EXPECT_EQ(options, (std::vector<std::string>{"option -Xms64m", "option -Xmx64m",
                                                      "option -Djava.class.path=lib\\server.jar",
                                                      "option -Dstandin.record=" + home.record, "option -Dx=\"a\""}));
        EXPECT_NE(Line(record, "call FindClass com/orvantis/OVStartup"), "");
        const std::string main = Line(record, "main ");
        EXPECT_EQ(Field(main, "mainthread"), "yes");
        EXPECT_EQ(Field(main, "cwd"), home.home + "\\bin");
        std::vector<std::string> arguments;
        for (const std::string& line : record)
            if (line.compare(0, 4, "arg ") == 0) arguments.push_back(line.substr(line.find(' ', 4) + 1));
        EXPECT_EQ(arguments, c.mainArguments);
        EXPECT_EQ(record.back(), "main returns");
    }
}

// What MB_SERVICE_NOTIFICATION changes cannot be seen under Wine, which
// ignores it; the style the launcher passes is checked here instead.
TEST(Messages, ServiceBoxesUseTheServiceNotification) {
    EXPECT_EQ(MessageStyle(false), 0x1010u);
    EXPECT_EQ(MessageStyle(true), 0x1010u | 0x00200000u);
}

// ---- The service, under Wine's service manager ----

ServiceHandle OpenManager() {
    return ServiceHandle(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
}

ServiceHandle OpenService(DWORD access = SERVICE_ALL_ACCESS) {
    ServiceHandle manager = OpenManager();
    return ServiceHandle(manager ? OpenServiceA(manager.Get(), "Orvantis", access) : nullptr);
}

SERVICE_STATUS_PROCESS Status() {
    SERVICE_STATUS_PROCESS status{};
    ServiceHandle service = OpenService(SERVICE_QUERY_STATUS);
    DWORD needed = 0;
    if (service)
        QueryServiceStatusEx(service.Get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status), sizeof status,
                             &needed);
    return status;
}

bool WaitForState(DWORD state, DWORD boundMs = kBound) {
    return PollUntil([&] { return Status().dwCurrentState == state; }, boundMs);
}

SERVICE_STATUS Control(DWORD control) {
    SERVICE_STATUS status{};
    ServiceHandle service = OpenService();
    EXPECT_TRUE(service && ControlService(service.Get(), control, &status))
        << "control " << control << ": error " << GetLastError();
    return status;
}

// Takes the service away, stopping it first, and waits until it is gone.
void RemoveService() {
    ServiceHandle service = OpenService();
    if (!service) return;
    SERVICE_STATUS status;
    ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
    DeleteService(service.Get());
    service.Close();
    EXPECT_TRUE(PollUntil([] { return !OpenService(SERVICE_QUERY_STATUS); })) << "the service stayed";
}

// "/register" or "/unregister" as a person runs them: one box, then the exit code.
Outcome Launch(const ServerHome& home, const char* arguments) {
    return RunToBox(home, arguments);
}

// The service's process, once the service manager has started it.
Process ServiceProcess() {
    Process process;
    process.id = Status().dwProcessId;
    process.handle.Reset(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, process.id));
    return process;
}

std::string ConfigText(SC_HANDLE service) {
    DWORD needed = 0;
    QueryServiceConfigA(service, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (!QueryServiceConfigA(service, config, needed, &needed)) return "no configuration";
    std::ostringstream text;
    text << "type=" << config->dwServiceType << " start=" << config->dwStartType
         << " error=" << config->dwErrorControl << " path=" << config->lpBinaryPathName
         << " group=" << (config->lpLoadOrderGroup ? config->lpLoadOrderGroup : "") << " tag=" << config->dwTagId
         << " dependencies=" << (config->lpDependencies ? config->lpDependencies : "")
         << " account=" << (config->lpServiceStartName ? config->lpServiceStartName : "")
         << " display=" << (config->lpDisplayName ? config->lpDisplayName : "");
    return text.str();
}

class Registration : public testing::Test {
protected:
    void SetUp() override { RemoveService(); }
    void TearDown() override {
        RemoveService();
        EndIfRunning(service);
    }
    Process service;
};

TEST_F(Registration, RegisterOnceUnregisterOnce) {
    ServerHome home("register");
    home.Properties("");
    const Outcome registered = Launch(home, "/register");
    ExpectBox(registered.seen, kRegistered);
    EXPECT_EQ(registered.exitCode, 0);

    ServiceHandle service = OpenService();
    ASSERT_TRUE(service);
    // Quoted: the path has blanks, and unquoted another program could run in its place.
    const std::string config = ConfigText(service.Get());
    EXPECT_EQ(config, "type=16 start=2 error=0 path=\"" + home.launcher +
                          "\" group= tag=0 dependencies= account=LocalSystem display=Orvantis");
    DWORD needed = 0;
    BYTE description[512] = {};
    if (QueryServiceConfig2A(service.Get(), SERVICE_CONFIG_DESCRIPTION, description, sizeof description, &needed)) {
        const char* text = reinterpret_cast<SERVICE_DESCRIPTIONA*>(description)->lpDescription;
        EXPECT_TRUE(!text || !*text) << text;
    }
    EXPECT_EQ(Status().dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));  // registering does not start it
    service.Close();

    // A second registration, even of another copy, fails and leaves the first alone.
    ServerHome other("register again");
    other.Properties("");
    const Outcome again = Launch(other, "/register");
    ExpectBox(again.seen, Text(9));
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(ConfigText(OpenService().Get()), config);

    const Outcome unregistered = Launch(home, "/unregister");
    ExpectBox(unregistered.seen, kUnregistered);
    EXPECT_EQ(unregistered.exitCode, 0);
    EXPECT_TRUE(PollUntil([] { return !OpenService(SERVICE_QUERY_STATUS); }));

    const Outcome missing = Launch(home, "/unregister");
    ExpectBox(missing.seen, Text(13));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(home.Record().empty());  // neither job loads a runtime
}

TEST_F(Registration, UnregisterWhileRunning) {
    ServerHome home("unregister running");
    home.Properties("", "-Dstandin.main=wait");
    const Outcome registered = Launch(home, "/register");
    ASSERT_EQ(registered.exitCode, 0) << registered.seen.output;
    ASSERT_TRUE(StartServiceA(OpenService().Get(), 0, nullptr)) << GetLastError();
    ASSERT_TRUE(WaitForState(SERVICE_RUNNING));
    service = ServiceProcess();
    ASSERT_TRUE(PollUntil([&] { return Line(home.Record(), "main waits") != ""; }));

    const Outcome unregistered = Launch(home, "/unregister");
    ExpectBox(unregistered.seen, kUnregistered);
    EXPECT_EQ(unregistered.exitCode, 0);
    // Marked for deletion and told to stop: the server shuts down, then the service is gone.
    EXPECT_EQ(WaitForExit(service), 0);
    EXPECT_TRUE(PollUntil([] { return !OpenService(SERVICE_QUERY_STATUS); }));
    EXPECT_NE(Line(home.Record(), "exit hook 0"), "");
}

// One registration serves every run below; each run brings its own properties.
class ServiceRun : public testing::Test {
protected:
    static void SetUpTestSuite() {
        RemoveService();
        home = new ServerHome("service");
        home->Properties("");
        const Outcome registered = Launch(*home, "/register");
        ExpectBox(registered.seen, kRegistered);
    }
    static void TearDownTestSuite() {
        RemoveService();
        delete home;
        home = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(OpenService()) << "not registered";
        ASSERT_TRUE(WaitForState(SERVICE_STOPPED));
        DeleteFileA(home->record.c_str());
    }
    void TearDown() override {
        if (Status().dwCurrentState != SERVICE_STOPPED) {
            SERVICE_STATUS status;
            ControlService(OpenService().Get(), SERVICE_CONTROL_STOP, &status);
            EXPECT_TRUE(WaitForState(SERVICE_STOPPED, 2 * kBound));
        }
        EndIfRunning(service);
    }

    // Starts the service and returns once the record holds the line.
    void Start(const std::string& properties, const std::string& standIn, const char* line = "main ") {
        home->Properties(properties, standIn);
        ASSERT_TRUE(StartServiceA(OpenService().Get(), 0, nullptr)) << GetLastError();
        ASSERT_TRUE(WaitForState(SERVICE_RUNNING));
        service = ServiceProcess();
        ASSERT_TRUE(service.handle);
        ASSERT_TRUE(PollUntil([&] { return Line(home->Record(), line) != ""; })) << "no " << line;
    }
    bool Alive() const { return WaitForSingleObject(service.handle.Get(), 0) == WAIT_TIMEOUT; }

    static ServerHome* home;
    Process service;
};
ServerHome* ServiceRun::home = nullptr;

TEST_F(ServiceRun, RunsPausesContinuesAndShutsDownOnStop) {
    ASSERT_NO_FATAL_FAILURE(Start("Launch.OVArgs=-port 8080\n", "-Dstandin.main=wait", "main waits"));

    auto record = home->Record();
    const std::string create = Line(record, "create "), main = Line(record, "main ");
    EXPECT_EQ(Field(main, "mainthread"), "no");  // the worker thread, not the dispatcher's
    EXPECT_EQ(Field(main, "thread"), Field(create, "thread"));
    EXPECT_EQ(Field(main, "cwd"), home->home + "\\bin");
    EXPECT_EQ(Line(record, "arg 2"), "arg 2 --service");
    EXPECT_EQ(Line(record, "arg 3"), "");
    EXPECT_EQ(record[IndexOf(record, "call ") - 1], "option exit +extraInfo");

    // Pause and continue change only what is reported; the server is not told.
    EXPECT_EQ(Control(SERVICE_CONTROL_PAUSE).dwCurrentState, static_cast<DWORD>(SERVICE_PAUSED));
    EXPECT_EQ(Status().dwCurrentState, static_cast<DWORD>(SERVICE_PAUSED));
    EXPECT_EQ(Control(SERVICE_CONTROL_CONTINUE).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(Control(SERVICE_CONTROL_INTERROGATE).dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_TRUE(Alive());
    EXPECT_EQ(home->Record().back(), "main waits");

    const SERVICE_STATUS stopping = Control(SERVICE_CONTROL_STOP);
    EXPECT_TRUE(stopping.dwCurrentState == SERVICE_STOP_PENDING || stopping.dwCurrentState == SERVICE_STOPPED)
        << stopping.dwCurrentState;
    EXPECT_EQ(WaitForExit(service), 0);
    EXPECT_EQ(Status().dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(Status().dwWin32ExitCode, 0u);

    // The server's shutdown ran to its end before the service said it had stopped.
    record = home->Record();
    const std::size_t exit = IndexOf(record, "System.exit 0"), hookDone = IndexOf(record, "shutdown hook done"),
                      exitHook = IndexOf(record, "exit hook 0");
    ASSERT_LT(exit, record.size());
    EXPECT_EQ(Field(record[exit], "mainthread"), "no");
    EXPECT_NE(Field(record[exit], "thread"), Field(main, "thread"));
    EXPECT_LT(exit, hookDone);
    EXPECT_LT(hookDone, exitHook);
    EXPECT_LT(exitHook, record.size());
}

TEST_F(ServiceRun, StopEndsWhenTheShutdownDoesNot) {
    ASSERT_NO_FATAL_FAILURE(Start("", "-Dstandin.main=wait -Dstandin.shutdown=hang", "main waits"));

    const SERVICE_STATUS stopping = Control(SERVICE_CONTROL_STOP);
    EXPECT_EQ(stopping.dwCurrentState, static_cast<DWORD>(SERVICE_STOP_PENDING));
    EXPECT_EQ(stopping.dwControlsAccepted, 0u);
    EXPECT_GE(stopping.dwWaitHint, 10000u);
    EXPECT_TRUE(PollUntil([] { return Line(home->Record(), "shutdown hook runs") != ""; }));
    EXPECT_EQ(Status().dwCurrentState, static_cast<DWORD>(SERVICE_STOP_PENDING));

    // After the bounded wait the service stops anyway, and the process ends with it.
    EXPECT_EQ(WaitForExit(service, 2 * kBound), 0);
    EXPECT_EQ(Status().dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(Line(home->Record(), "exit hook"), "");
}

TEST_F(ServiceRun, StopBeforeTheMachineExists) {
    ASSERT_NO_FATAL_FAILURE(Start("", "-Dstandin.create=hang", "create hangs"));

    Control(SERVICE_CONTROL_STOP);
    EXPECT_EQ(WaitForExit(service), 0);
    EXPECT_EQ(Status().dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(Line(home->Record(), "call AttachCurrentThread"), "");
}

TEST_F(ServiceRun, ServerThatExitsByItselfStopsTheService) {
    ASSERT_NO_FATAL_FAILURE(Start("", "-Dstandin.main=exit:3", "System.exit 3"));

    EXPECT_NE(WaitForExit(service), -1);
    const SERVICE_STATUS_PROCESS status = Status();
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
    EXPECT_EQ(status.dwWin32ExitCode, static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR));
    EXPECT_EQ(status.dwServiceSpecificExitCode, 3u);
}

// The server thread's messages show on the service's own desktop, which
// UiProbe joins; nobody can look at the screen there, so the icon is unknown.
TEST_F(ServiceRun, FailedStartShowsItsMessageAndTheServiceRunsOn) {
    ASSERT_NO_FATAL_FAILURE(Start("Launch.StartClass=com.orvantis.Missing\n", "", "call FindClass com/orvantis/Missing"));
    ExpectBox(ProbeBox(service.id, true), Text(2), "unknown");
    // Only the worker has ended; the service keeps reporting that it runs.
    EXPECT_EQ(Status().dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_TRUE(Alive());

    Control(SERVICE_CONTROL_STOP);
    EXPECT_EQ(WaitForExit(service), 0);
    EXPECT_EQ(Status().dwCurrentState, static_cast<DWORD>(SERVICE_STOPPED));
}

}  // namespace

std::string WindowsPath(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    // The build hands over host paths; Wine shows the host's root as drive Z:.
    if (!path.empty() && path[0] == '\\') path = "Z:" + path;
    return path;
}

int main(int argc, char** argv) {
    // Progress shows as it happens, even when a bound of ctest ends the run.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = WindowsPath(argv[i + 1]);
        if (name == "--launcher") programs.launcher = value;
        if (name == "--jvm") programs.jvm = value;
        if (name == "--probe") programs.probe = value;
    }
    if (programs.launcher.empty() || programs.jvm.empty() || programs.probe.empty()) {
        std::fprintf(stderr, "usage: launcher_wine_tests --launcher EXE --jvm DLL --probe EXE [gtest options]\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
