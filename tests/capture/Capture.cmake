# Tests of the sound-card source and its device backends.
corvatone_add_test(AudioInTest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/AudioInTest.cpp
  LIBS acs_capture)
