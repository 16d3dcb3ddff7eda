# Helpers shared by the folders: each src/ folder is one library target whose
# sources are every .cpp in it, so adding a file needs no edit here.

set(QZARN_WARNINGS -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
                   -Wnon-virtual-dtor -Wold-style-cast -Wimplicit-fallthrough)

function(qzarn_warnings target)
  target_compile_options(${target} PRIVATE ${QZARN_WARNINGS})
endfunction()

# qzarn_library(NAME DIR <dir> [DEPS ...] [EXCLUDE file.cpp ...] [EXTRA path.cpp ...]) — a
# static library of every .cpp in DIR (not recursive) but the excluded ones, plus the extra
# sources, public include root src/.
function(qzarn_library name)
  cmake_parse_arguments(ARG "" "DIR" "DEPS;EXCLUDE;EXTRA" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/${excluded})
  endforeach()
  list(APPEND sources ${ARG_EXTRA})
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    qzarn_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# qzarn_test(NAME DIR <dir> DEPS ...) — one GoogleTest executable of every .cpp in DIR.
function(qzarn_test name)
  cmake_parse_arguments(ARG "" "DIR" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${ARG_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE QZARN_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             QZARN_BINARY_DIR="${PROJECT_BINARY_DIR}")
  qzarn_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                       PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# qzarn_stage_gallery(TARGET) — copies the gallery's lesson sheets into gallery/ beside the
# built executable, the first place the program looks: run from its build folder it finds
# them without any path of the source tree compiled in.
function(qzarn_stage_gallery target)
  file(GLOB sheets CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/gallery/*.qzl)
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/gallery
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different ${sheets}
                             $<TARGET_FILE_DIR:${target}>/gallery/
                     VERBATIM)
endfunction()
