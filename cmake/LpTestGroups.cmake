# lp_add_test_groups(<target>): registers the GoogleTest cases of a test
# program with CTest, one CTest test per test suite (named <target>.<suite>,
# run as <target> --gtest_filter=<suite>.*).
#
# A test process pays a fixed start (loading Qt and the sanitizer runtime,
# creating the application object) that is longer than most cases take: one
# process per suite instead of one per case saves three quarters of those
# starts. The cases are listed when CTest starts, after each rebuild of the
# program, by LpTestGroupsDiscover.cmake.

set(LP_TEST_GROUPS_DISCOVER ${CMAKE_CURRENT_LIST_DIR}/LpTestGroupsDiscover.cmake)

function(lp_add_test_groups target)
  set(base "${CMAKE_CURRENT_BINARY_DIR}/${target}_groups")
  file(GENERATE OUTPUT "${base}_include.cmake" CONTENT
"set(LP_TEST_TARGET [==[${target}]==])
set(LP_TEST_EXECUTABLE [==[$<TARGET_FILE:${target}>]==])
set(LP_TEST_LIST_FILE [==[${base}.cmake]==])
include([==[${LP_TEST_GROUPS_DISCOVER}]==])
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${base}_include.cmake")
endfunction()
