#include "Platform.h"

const PathStyle kWindowsPaths = {
    '\\',
    "..\\console\\WEB-INF\\properties\\ovproperties.ini",
    "\\console\\WEB-INF\\properties\\ovproperties.ini",
    "C:\\Program Files\\Java\\j2re1.4.2_03",
    // Current and 64-bit runtimes ship only a server VM, so it follows the client ones.
    {"bin\\client\\jvm.dll", "jre\\bin\\client\\jvm.dll", "bin\\server\\jvm.dll", "jre\\bin\\server\\jvm.dll"},
};

#if defined(__x86_64__)
#define ORV_JRE_ARCH "amd64"
#elif defined(__i386__)
#define ORV_JRE_ARCH "i386"
#elif defined(__aarch64__)
#define ORV_JRE_ARCH "aarch64"
#else
#define ORV_JRE_ARCH "unknown"
#endif

const PathStyle kPosixPaths = {
    '/',
    "../console/WEB-INF/properties/ovproperties.ini",
    "/console/WEB-INF/properties/ovproperties.ini",
    "/usr/lib/jvm/default-java",
    {"lib/client/libjvm.so", "jre/lib/" ORV_JRE_ARCH "/client/libjvm.so", "lib/server/libjvm.so",
     "jre/lib/" ORV_JRE_ARCH "/server/libjvm.so"},
};
