# GoogleTest: Debian's packaged library natively; for MinGW, built from the sources that
# Debian's googletest package ships.
if(CORVANE_WINDOWS)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Its own build defines the GTest::gtest and GTest::gtest_main targets.
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(CORVANE_WIN32_THREAD_MODEL)
    # GoogleTest's Notification needs std::mutex, which the Win32 thread model's standard
    # library lacks: it gets one of its own on a Win32 event.
    target_compile_definitions(gtest PUBLIC GTEST_HAS_NOTIFICATION_=1)
    target_compile_options(gtest PUBLIC
      -include ${PROJECT_SOURCE_DIR}/tests/wine/gtest_notification.h)
  endif()
else()
  find_package(GTest REQUIRED)
endif()
