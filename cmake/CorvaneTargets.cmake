# Shared settings for every target of the project.

# True for the MinGW builds (32-bit shipping build and 64-bit test build).
set(CORVANE_WINDOWS ${WIN32})

# Our own code builds with strict warnings; third-party code (GoogleTest) does not.
function(corvane_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Werror)
  if(CORVANE_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(CORVANE_WINDOWS)
    # No MinGW runtime DLL has to lie beside the programs.
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                 _WIN32_WINNT=0x0601)
  endif()
endfunction()

# A test executable: strict warnings, GoogleTest, registered with CTest. Cross builds run
# under the emulator set by the toolchain (Wine).
function(corvane_add_test target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  corvane_strict(${target})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest_main)
  add_test(NAME ${target} COMMAND ${target})
endfunction()
