# A virtual X display for the tests that need one.
#
# tavrik_xvfb_fixture(name [ARGS arg...]) adds two ctest tests that start an Xvfb on a free
# display number (Xvfb picks it itself through -displayfd, so several build
# trees can test at once) and stop it again, as the ctest fixture <name>.
# The display is written to ${CMAKE_BINARY_DIR}/xvfb/<name>.display; when
# Xvfb cannot start, the file holds "none: <reason>" and the tests that need
# the display skip with that reason instead of failing (under CI=true the
# fixture and with it those tests fail). ARGS go to Xvfb after
# the fixture's own ("-extension RECORD" gives a server without RECORD; the
# server switches XTEST off with it).
#
# tavrik_xvfb_use(FIXTURE fixture TESTS test...) gives tests added by other
# means (add_test of a script or of the real program) the same properties;
# such a test runs its command through ${TAVRIK_XVFB_RUN}, which sets
# DISPLAY from the fixture or exits 77 (counted as skipped; 1 under CI=true)
# without one:
#   add_test(NAME e2e_start COMMAND ${TAVRIK_XVFB_RUN} $<TARGET_FILE:Tavrik>)
#
# tavrik_xvfb_test(name FIXTURE fixture LABEL area SOURCES ... [LIBS ...] [COST c])
# is tavrik_test for GoogleTest programs that need the display: each case
# requires the fixture, gets TAVRIK_X_DISPLAY_FILE pointing at the display
# file, and holds the display's resource lock, because the cases share the
# pointer, the keyboard focus and the screen.  Test code reads the file with
# TAVRIK_REQUIRE_X_DISPLAY() (tests/x11/x_display.h), which sets DISPLAY
# or skips (fails under CI=true).  Programs started by e2e tests get the same variable.
# COST (ctest's property) starts the cases before those of lower cost: the cases
# of one display run one after another, and a long such chain started late
# would be the whole run's tail.

set(TAVRIK_XVFB_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../tests/x11/xvfb_fixture.sh)
set(TAVRIK_XVFB_RUN ${CMAKE_CURRENT_LIST_DIR}/../tests/x11/run_on_display.sh)

function(tavrik_xvfb_fixture name)
  cmake_parse_arguments(ARG "" "" "ARGS" ${ARGN})
  set(state ${CMAKE_BINARY_DIR}/xvfb/${name}.display)
  add_test(NAME ${name}_start COMMAND bash ${TAVRIK_XVFB_SCRIPT} start ${state} ${ARG_ARGS})
  add_test(NAME ${name}_stop COMMAND bash ${TAVRIK_XVFB_SCRIPT} stop ${state})
  math(EXPR start_timeout "30 * ${TAVRIK_TEST_TIME_SCALE}")
  set_tests_properties(${name}_start PROPERTIES FIXTURES_SETUP ${name} TIMEOUT ${start_timeout}
    ENVIRONMENT "TAVRIK_TEST_TIME_SCALE=${TAVRIK_TEST_TIME_SCALE}")
  set_tests_properties(${name}_stop PROPERTIES FIXTURES_CLEANUP ${name} TIMEOUT 30)
  set_property(GLOBAL PROPERTY TAVRIK_XVFB_STATE_${name} ${state})
endfunction()

function(tavrik_xvfb_use)
  cmake_parse_arguments(ARG "" "FIXTURE" "TESTS" ${ARGN})
  get_property(state GLOBAL PROPERTY TAVRIK_XVFB_STATE_${ARG_FIXTURE})
  if(NOT state)
    message(FATAL_ERROR "tavrik_xvfb_use: no fixture '${ARG_FIXTURE}'; call tavrik_xvfb_fixture first")
  endif()
  set_tests_properties(${ARG_TESTS} PROPERTIES
    FIXTURES_REQUIRED ${ARG_FIXTURE}
    RESOURCE_LOCK ${ARG_FIXTURE}_display
    SKIP_RETURN_CODE 77
    ENVIRONMENT "TAVRIK_X_DISPLAY_FILE=${state}")
endfunction()

function(tavrik_xvfb_test name)
  cmake_parse_arguments(ARG "" "FIXTURE;LABEL;TIMEOUT;COST" "SOURCES;LIBS" ${ARGN})
  tavrik_test_timeout(ARG_TIMEOUT)
  if(NOT ARG_COST)
    set(ARG_COST 0)
  endif()
  get_property(state GLOBAL PROPERTY TAVRIK_XVFB_STATE_${ARG_FIXTURE})
  if(NOT state)
    message(FATAL_ERROR "tavrik_xvfb_test(${name}): no fixture '${ARG_FIXTURE}'; call tavrik_xvfb_fixture first")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} tavrik_test_support GTest::gtest GTest::gmock)
  tavrik_test_precompiled_headers(${name})
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES
      LABELS "${ARG_LABEL}"
      TIMEOUT ${ARG_TIMEOUT}
      COST ${ARG_COST}
      FIXTURES_REQUIRED ${ARG_FIXTURE}
      RESOURCE_LOCK ${ARG_FIXTURE}_display
      ENVIRONMENT "TAVRIK_X_DISPLAY_FILE=${state}")
endfunction()
