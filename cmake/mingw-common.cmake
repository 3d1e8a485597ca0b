# Shared by the two MinGW-w64 toolchain files; ORV_MINGW_TRIPLE is set by them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${ORV_MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${ORV_MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER  ${ORV_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Each binary stands alone: no libgcc, libstdc++ or winpthread DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
