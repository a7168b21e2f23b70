# Helpers shared by every folder: warnings on our own code (errors with
# ORB_WERROR), and the sanitizer and fuzzer instrumentation chosen at
# configure time.

if(ORB_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
if(ORB_FUZZ)
  # Instrument all our code for coverage; the fuzz targets add the libFuzzer main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Warnings are for our code only, never for Qt's or a library's headers. They
# are errors under ORB_WERROR; a packager's plain configure leaves it off, so
# that a newer compiler's new warning does not stop the build.
function(orb_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ORB_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A library of one folder of the layout: orb_library(NAME SOURCES...).
function(orb_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  orb_warnings(${name})
endfunction()

# A GoogleTest executable whose tests CTest runs one by one:
# orb_test(NAME [TIMEOUT SECONDS] SOURCES...). Each test fails after TIMEOUT
# seconds (default 30), so that a hang shows at once.
# Qt-based tests link orb_qt_test_main, which starts a QApplication on the
# offscreen platform; the others link GTest::gtest_main.
include(GoogleTest)
function(orb_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT" "")
  if(NOT arg_TIMEOUT)
    set(arg_TIMEOUT 30)
  endif()
  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  orb_warnings(${name})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE
    ORB_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    ORB_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${arg_TIMEOUT})
endfunction()

# A libFuzzer target: orb_fuzzer(NAME SOURCE LIBS...). Its seed corpus lives in
# fuzz/corpus/NAME.
function(orb_fuzzer name source)
  add_executable(${name} ${source})
  orb_warnings(${name})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARGN})
endfunction()
