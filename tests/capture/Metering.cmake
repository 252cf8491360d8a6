# Tests of the level indicator and its spectrum routines.
corvatone_add_test(acs_procs_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProcsTest.cpp
  LIBS acs_metering)
corvatone_add_test(acs_indicator_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/IndicatorTest.cpp
  LIBS acs_metering Threads::Threads)
