# Helpers that keep the layers apart.
#
# g3_logic_library(NAME SOURCES ... LIBS ...): plain C++ (QtCore/QtGui at most). Its sources
#   are recorded so the layer test can check that none of them includes Qt Widgets.
# g3_ui_library(NAME SOURCES ... LIBS ...): forms, views and controls.
# g3_gtest(NAME SOURCES ... LIBS ...): a GoogleTest program run by ctest.
# g3_qtest(NAME SOURCES ... LIBS ...): a Qt Test program run offscreen by ctest.

function(g3_logic_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${A_LIBS})
  foreach(s IN LISTS A_SOURCES)
    get_filename_component(abs ${s} ABSOLUTE)
    set_property(GLOBAL APPEND PROPERTY G3_LOGIC_SOURCES ${abs})
    string(REGEX REPLACE "\\.cpp$" ".h" hdr ${abs})
    if(EXISTS ${hdr})
      set_property(GLOBAL APPEND PROPERTY G3_LOGIC_SOURCES ${hdr})
    endif()
  endforeach()
endfunction()

function(g3_ui_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Widgets ${A_LIBS})
endfunction()

function(g3_gtest name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "LANG=C.UTF-8;LC_ALL=C.UTF-8")
endfunction()

function(g3_qtest name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} Qt6::Test Qt6::Widgets)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  # Qt and fontconfig keep caches for the life of the process; leak reports there are noise.
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "LANG=C.UTF-8;LC_ALL=C.UTF-8;QT_QPA_PLATFORM=offscreen;ASAN_OPTIONS=detect_leaks=0")
endfunction()

# g3_directory_libraries(BASE UI_UNITS unit... LOGIC_LIBS ... UI_LIBS ...):
# every .cpp of the current source folder becomes part of the logic library BASE, except the
# units named in UI_UNITS (file base names), which form the library BASE_ui linked to BASE.
function(g3_directory_libraries base)
  cmake_parse_arguments(A "" "" "UI_UNITS;LOGIC_LIBS;UI_LIBS" ${ARGN})
  file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  set(logic "")
  set(ui "")
  foreach(f IN LISTS all)
    get_filename_component(n ${f} NAME_WE)
    if(n IN_LIST A_UI_UNITS)
      list(APPEND ui ${f})
    else()
      list(APPEND logic ${f})
    endif()
  endforeach()
  if(logic)
    g3_logic_library(${base} SOURCES ${logic} LIBS ${A_LOGIC_LIBS})
  else()
    add_library(${base} INTERFACE)
    target_link_libraries(${base} INTERFACE ${A_LOGIC_LIBS})
    target_include_directories(${base} INTERFACE ${PROJECT_SOURCE_DIR}/src)
  endif()
  if(ui)
    g3_ui_library(${base}_ui SOURCES ${ui} LIBS ${base} ${A_UI_LIBS})
  endif()
endfunction()

# g3_directory_tests(DIR LIBS ...): all *_test.cpp of the current folder form one GoogleTest
# program DIR_tests; every *_qtest.cpp is a Qt Test program of its own. Shared test helpers
# (*.cpp without either suffix) are compiled into each, except a *_main.cpp, which is the
# GoogleTest program's own main.
function(g3_directory_tests dir)
  cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
  file(GLOB gtests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_test.cpp)
  file(GLOB qtests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_qtest.cpp)
  file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB mains CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*_main.cpp)
  set(support ${all})
  if(mains)
    list(REMOVE_ITEM support ${mains})
  endif()
  if(gtests)
    list(REMOVE_ITEM support ${gtests})
  endif()
  if(qtests)
    list(REMOVE_ITEM support ${qtests})
  endif()
  if(gtests)
    g3_gtest(${dir}_tests SOURCES ${gtests} ${mains} ${support} LIBS ${A_LIBS})
  endif()
  foreach(q IN LISTS qtests)
    get_filename_component(n ${q} NAME_WE)
    g3_qtest(${dir}_${n} SOURCES ${q} ${support} LIBS ${A_LIBS})
  endforeach()
endfunction()
