# Shared settings for every target of the project.

# True for the MinGW builds (32-bit shipping build and 64-bit test build).
set(CORVANE_WINDOWS ${WIN32})

# The shipping build keeps only the code the programs reach, strips them, and gives the same
# bytes from any checkout: no link time stamp, no folder names. Everything in the build tree
# (the tests and GoogleTest too) gets the same code generation, so that tests run the code
# as it ships. RTTI goes too: nothing uses typeid or dynamic_cast, and the compiler still
# describes the types that are thrown.
if(CORVANE_SHIPPING)
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffunction-sections;-fdata-sections>"
                      "$<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>"
                      "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
                      "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
  # One link-time partition: the programs are small, and GCC 12 fails on some programs when
  # it splits them (an internal error in binds_to_current_def_p).
  add_link_options(-flto-partition=one -Wl,--gc-sections -s -Wl,--no-insert-timestamp)
endif()

# Our own code builds with strict warnings; third-party code (GoogleTest) does not.
function(corvane_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Werror)
  if(CORVANE_SHIPPING)
    # Whole-program optimisation drops what the static libraries hold but a program never calls.
    set_property(TARGET ${target} PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)
  endif()
  if(CORVANE_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  elseif(CORVANE_SANITIZE_THREAD)
    target_compile_options(${target} PRIVATE -fsanitize=thread)
    target_link_options(${target} PRIVATE -fsanitize=thread)
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
  corvane_leaves_nothing_behind(${target})
endfunction()

# Under Wine, what the named tests leave in the test prefix's temporary folder is looked for
# once they have run (tests/wine/CMakeLists.txt).
function(corvane_leaves_nothing_behind)
  if(CORVANE_WINDOWS)
    set_tests_properties(${ARGN} PROPERTIES FIXTURES_REQUIRED windows_temp_folders)
  endif()
endfunction()
