# Run by CTest before it runs the tests (see LpTestGroups.cmake): lists the
# cases of LP_TEST_EXECUTABLE and writes LP_TEST_LIST_FILE, the add_test
# calls for its suites, when the program is newer than the list.

if(NOT EXISTS "${LP_TEST_EXECUTABLE}")
  add_test("${LP_TEST_TARGET}_NOT_BUILT" "${LP_TEST_TARGET}_NOT_BUILT")
  return()
endif()

if(NOT EXISTS "${LP_TEST_LIST_FILE}"
   OR "${LP_TEST_EXECUTABLE}" IS_NEWER_THAN "${LP_TEST_LIST_FILE}"
   OR "${CMAKE_CURRENT_LIST_FILE}" IS_NEWER_THAN "${LP_TEST_LIST_FILE}")
  # The programs that need an application object start it offscreen.
  set(ENV{QT_QPA_PLATFORM} offscreen)
  execute_process(COMMAND "${LP_TEST_EXECUTABLE}" --gtest_list_tests
    OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE result TIMEOUT 120)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Listing the tests of ${LP_TEST_EXECUTABLE} failed (${result}):\n${listing}\n${errors}")
  endif()

  # The listing: "Suite." lines (a parameterised suite followed by
  # "  # TypeParam = ..."), each followed by "  Case" lines (a parameterised
  # case followed by "  # GetParam() = ...").
  set(script "")
  set(suites "")
  string(REPLACE ";" "" listing "${listing}")
  string(REPLACE "\n" ";" lines "${listing}")
  foreach(line IN LISTS lines)
    if(line MATCHES "^  [^ ]+" AND DEFINED suite)
      math(EXPR cases_${suite} "${cases_${suite}} + 1")
    elseif(line MATCHES "^([^ ]+)\\.( +#.*)?$")
      string(MAKE_C_IDENTIFIER "${CMAKE_MATCH_1}" suite)
      set(name_${suite} "${CMAKE_MATCH_1}")
      set(cases_${suite} 0)
      list(APPEND suites ${suite})
    endif()
  endforeach()
  # CTest starts the suites with the most cases first, so that the long
  # ones do not end up running alone at the end.
  # A suite named "...Responsiveness" measures the gaps of the event loop:
  # it runs alone, so that another test's load is not counted as the
  # editor's.
  foreach(key IN LISTS suites)
    set(test "${LP_TEST_TARGET}.${name_${key}}")
    set(serial "")
    if(name_${key} MATCHES "Responsiveness$")
      set(serial " RUN_SERIAL TRUE")
    endif()
    string(APPEND script
      "add_test([==[${test}]==] [==[${LP_TEST_EXECUTABLE}]==] [==[--gtest_filter=${name_${key}}.*]==])\n"
      "set_tests_properties([==[${test}]==] PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen COST ${cases_${key}}${serial})\n")
  endforeach()
  if(script STREQUAL "")
    message(FATAL_ERROR "${LP_TEST_EXECUTABLE} lists no tests:\n${listing}")
  endif()
  file(WRITE "${LP_TEST_LIST_FILE}" "${script}")
endif()

include("${LP_TEST_LIST_FILE}")
