# The library's COM side: module, class factory, exports, registration, the
# type library, the band object and navigation capture. Included by the
# library's build and, natively, by the tests of its plain C++ rules.
include_guard(GLOBAL)

# Cached: the functions below are called from other directories' scopes.
set(SKELDER_COM_DIR "${CMAKE_CURRENT_LIST_DIR}" CACHE INTERNAL "")

# Rules with no windows.h; tests build them again with their own flags.
set(SKELDER_COM_LOGIC_SOURCES
  "${SKELDER_COM_DIR}/ProfileKey.cpp"
  "${SKELDER_COM_DIR}/RegistrationTable.cpp"
  "${SKELDER_COM_DIR}/band/NavigationCapture.cpp"
  CACHE INTERNAL "")

function(orv_skelder_com_logic name)
  add_library(${name} STATIC ${SKELDER_COM_LOGIC_SOURCES})
  target_include_directories(${name} PUBLIC "${SKELDER_COM_DIR}" "${SKELDER_COM_DIR}/band")
endfunction()

if(ORV_WINDOWS)
  # RecorderLib: header, identifiers and the type library from one IDL.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(_widl_arch --win64)
    set(_wine_pe_dirs /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/i386-linux-gnu/wine/i386-windows)
  else()
    set(_widl_arch --win32)
    set(_wine_pe_dirs /usr/lib/i386-linux-gnu/wine/i386-windows /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
  endif()
  find_program(ORV_WIDL ${ORV_MINGW_TRIPLE}-widl REQUIRED)
  # The IDL imports the platform's IDL files and the standard OLE type library.
  find_path(ORV_WINE_IDL_DIR oaidl.idl PATHS /usr/include/wine/wine/windows NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
            REQUIRED)
  find_path(ORV_STDOLE2_DIR stdole2.tlb PATHS ${_wine_pe_dirs} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

  set(SKELDER_COM_GENERATED "${CMAKE_BINARY_DIR}/Skelder/generated" CACHE INTERNAL "")
  file(MAKE_DIRECTORY "${SKELDER_COM_GENERATED}")
  set(_widl_common ${_widl_arch} -I "${ORV_WINE_IDL_DIR}" -L "${ORV_STDOLE2_DIR}")
  add_custom_command(
    OUTPUT "${SKELDER_COM_GENERATED}/RecorderLib.h" "${SKELDER_COM_GENERATED}/RecorderLib_i.c"
           "${SKELDER_COM_GENERATED}/RecorderLib.tlb"
    COMMAND "${ORV_WIDL}" ${_widl_common} -h -H "${SKELDER_COM_GENERATED}/RecorderLib.h"
            -u -U "${SKELDER_COM_GENERATED}/RecorderLib_i.c" "${SKELDER_COM_DIR}/RecorderLib.idl"
    COMMAND "${ORV_WIDL}" ${_widl_common} -t -o "${SKELDER_COM_GENERATED}/RecorderLib.tlb"
            "${SKELDER_COM_DIR}/RecorderLib.idl"
    DEPENDS "${SKELDER_COM_DIR}/RecorderLib.idl"
    COMMENT "widl RecorderLib.idl"
    VERBATIM)
  add_custom_target(skelder_recorder_lib DEPENDS "${SKELDER_COM_GENERATED}/RecorderLib.h"
                                                 "${SKELDER_COM_GENERATED}/RecorderLib.tlb")

  # Compiled into the library's code (and so into the Windows tests that link it).
  set(SKELDER_COM_SOURCES
    ${SKELDER_COM_LOGIC_SOURCES}
    "${SKELDER_COM_DIR}/ClassFactory.cpp"
    "${SKELDER_COM_DIR}/ComModule.cpp"
    "${SKELDER_COM_DIR}/ServerRegistration.cpp"
    "${SKELDER_COM_DIR}/band/BandEventSink.cpp"
    "${SKELDER_COM_DIR}/band/NavigationArguments.cpp"
    "${SKELDER_COM_DIR}/band/RecorderBand.cpp"
    "${SKELDER_COM_GENERATED}/RecorderLib_i.c"
    CACHE INTERNAL "")
  # Only in the DLL: the entry point, the exports and the type library
  # resource. The DLL lists Skelder.def itself.
  set(SKELDER_COM_DLL_SOURCES
    "${SKELDER_COM_DIR}/Exports.cpp"
    "${SKELDER_COM_DIR}/TypeLib.rc"
    CACHE INTERNAL "")
  set_source_files_properties("${SKELDER_COM_DIR}/TypeLib.rc" PROPERTIES
    OBJECT_DEPENDS "${SKELDER_COM_GENERATED}/RecorderLib.tlb")

  # Adds the COM side to the library's code and to its DLL.
  function(orv_skelder_com code_library dll)
    target_sources(${code_library} PRIVATE ${SKELDER_COM_SOURCES})
    target_include_directories(${code_library} PUBLIC "${SKELDER_COM_DIR}" "${SKELDER_COM_DIR}/band"
                                                      "${SKELDER_COM_GENERATED}")
    add_dependencies(${code_library} skelder_recorder_lib)
    target_link_libraries(${code_library} PUBLIC ole32 oleaut32 uuid user32 advapi32)
    target_sources(${dll} PRIVATE ${SKELDER_COM_DLL_SOURCES})
    target_include_directories(${dll} PRIVATE "${SKELDER_COM_GENERATED}")
    add_dependencies(${dll} skelder_recorder_lib)
  endfunction()
endif()
