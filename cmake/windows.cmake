# The Windows build: the GUI-subsystem touchpatch.exe on the toolchain's own SDK headers and
# import libraries, its resources, the checks on what comes out, and the release ZIP.
enable_language(RC)

# The runtime goes in statically, so that the program imports from Windows' own DLLs alone and
# runs from a USB stick with nothing installed.
set(TOUCHPATCH_WINDOWS_LINK_OPTIONS -static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections)
add_compile_options(-ffunction-sections -fdata-sections)

set(TOUCHPATCH_VERSION_QUAD "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0")
configure_file(res/touchpatch.manifest ${CMAKE_CURRENT_BINARY_DIR}/touchpatch.manifest @ONLY)
set(TOUCHPATCH_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/touchpatch.manifest)
configure_file(res/touchpatch.rc.in ${CMAKE_CURRENT_BINARY_DIR}/touchpatch.rc @ONLY)

add_executable(touchpatch WIN32 src/app/main.cpp ${CMAKE_CURRENT_BINARY_DIR}/touchpatch.rc)
target_link_libraries(touchpatch PRIVATE touchpatch_patch touchpatch_hidlink setupapi hid)
target_link_options(touchpatch PRIVATE ${TOUCHPATCH_WINDOWS_LINK_OPTIONS})
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/touchpatch.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/touchpatch.manifest)

# The yardstick for the executable's size: the least a GUI program that formats a text and shows
# it in a message box comes to with the same toolchain and flags.
add_executable(bare_messagebox WIN32 tools/bare_messagebox.cpp)
target_link_options(bare_messagebox PRIVATE ${TOUCHPATCH_WINDOWS_LINK_OPTIONS})

enable_testing()
string(REPLACE "-g++-win32" "" TOUCHPATCH_TOOL_PREFIX "${CMAKE_CXX_COMPILER}")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    add_test(NAME windows.executable
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-windows-exe.sh $<TARGET_FILE:touchpatch>
                ${TOUCHPATCH_TOOL_PREFIX}-objdump)
    add_test(NAME windows.size
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/size-ratio.sh $<TARGET_FILE:touchpatch>
                $<TARGET_FILE:bare_messagebox> 1.15)
    set_tests_properties(windows.executable windows.size PROPERTIES LABELS windows)
else()
    # The simulated bus as hid.dll and setupapi.dll, for running the real executable under Wine
    # against the simulated controller. Test tooling: kept apart, and never packaged.
    set(TOUCHPATCH_SIMDLL_DIR ${CMAKE_CURRENT_BINARY_DIR}/simulated-dlls)
    add_library(simulated_hid SHARED
        src/sim/windows/simulated_hid_dll.cpp
        src/sim/simulated_win32.cpp
        src/sim/simulated_controller.cpp
        src/sim/simulated_bus.cpp
        src/sim/bus_layout.cpp
        src/sim/windows/hid.def)
    add_library(simulated_setupapi SHARED
        src/sim/windows/setupapi_forwarders.cpp
        src/sim/windows/setupapi.def)
    foreach(dll simulated_hid simulated_setupapi)
        target_include_directories(${dll} PRIVATE src)
        # Declared by the SDK as imports; here they are defined.
        target_compile_definitions(${dll} PRIVATE _SETUPAPI_)
        target_link_options(${dll} PRIVATE ${TOUCHPATCH_WINDOWS_LINK_OPTIONS})
        set_target_properties(${dll} PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${TOUCHPATCH_SIMDLL_DIR})
    endforeach()
    set_target_properties(simulated_hid PROPERTIES OUTPUT_NAME hid)
    set_target_properties(simulated_setupapi PROPERTIES OUTPUT_NAME setupapi)
    add_dependencies(simulated_setupapi simulated_hid)

    add_test(NAME windows.wine-smoke
        COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-smoke.sh $<TARGET_FILE:touchpatch>)
    set_tests_properties(windows.wine-smoke PROPERTIES LABELS "windows;wine" TIMEOUT 180)
    foreach(run patched no-patch-needed parameter-refused no-controller)
        add_test(NAME wine-e2e.${run}
            COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-e2e.sh $<TARGET_FILE:touchpatch>
                    ${TOUCHPATCH_SIMDLL_DIR} ${run})
        set_tests_properties(wine-e2e.${run} PROPERTIES LABELS "windows;wine-e2e" TIMEOUT 300)
    endforeach()
endif()

install(TARGETS touchpatch RUNTIME DESTINATION .)
install(FILES docs/USER-README.txt DESTINATION . RENAME README.txt)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME "touchpatch-${PROJECT_VERSION}-win32")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
