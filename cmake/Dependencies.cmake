# zlib, nlohmann/json and GoogleTest, for this machine or for Windows.
if(CMAKE_CROSSCOMPILING)
  set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)

if(NOT CMAKE_CROSSCOMPILING)
  find_package(nlohmann_json 3 QUIET)
endif()
if(NOT nlohmann_json_FOUND)
  # The header-only library of the build machine serves the cross build too; only its
  # folder is exposed, so no other host header reaches the Windows compiler.
  find_path(NLOHMANN_JSON_ROOT nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(shim "${CMAKE_BINARY_DIR}/shim-include")
  file(MAKE_DIRECTORY "${shim}")
  file(CREATE_LINK "${NLOHMANN_JSON_ROOT}/nlohmann" "${shim}/nlohmann" SYMBOLIC)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  target_include_directories(nlohmann_json::nlohmann_json SYSTEM INTERFACE "${shim}")
endif()

if(NOT CMAKE_CROSSCOMPILING)
  find_package(GTest REQUIRED)
else()
  # Built with the project's own compiler, so the Windows tests get a Windows GoogleTest.
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endif()
include(GoogleTest)
