# The Linux build: the host stand-in of the platform, the simulated bus, the tools and the tests.

add_library(touchpatch_sim STATIC
    src/sim/simulated_controller.cpp
    src/sim/simulated_bus.cpp
    src/sim/bus_layout.cpp)
target_include_directories(touchpatch_sim PUBLIC src)

add_library(touchpatch_platform_host STATIC
    src/platform/host/host_standin.cpp
    src/sim/simulated_win32.cpp)
target_link_libraries(touchpatch_platform_host PUBLIC touchpatch_sim)

add_executable(touchpatch src/app/main.cpp)
target_link_libraries(touchpatch PRIVATE touchpatch_patch touchpatch_hidlink touchpatch_platform_host)

if(TOUCHPATCH_TESTS)
    enable_testing()
    add_subdirectory(tests)
endif()

add_executable(touchpatch-sim tools/touchpatch_sim.cpp)
target_link_libraries(touchpatch-sim PRIVATE touchpatch_patch touchpatch_hidlink touchpatch_platform_host)

if(TOUCHPATCH_FUZZ)
    add_subdirectory(fuzz)
endif()
