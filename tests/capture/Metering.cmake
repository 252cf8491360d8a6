# Tests of the level indicator and its spectrum routines.
corvatone_add_test(acs_procs_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProcsTest.cpp
  LIBS acs_metering)
corvatone_add_test(acs_indicator_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/IndicatorTest.cpp ${CMAKE_CURRENT_LIST_DIR}/ClipCounterTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/IndicatorRemovalTest.cpp
  LIBS acs_metering Threads::Threads)
# The removal test reads through the indicator with the pipeline tests' source and sink.
target_include_directories(acs_indicator_test PRIVATE ${CMAKE_SOURCE_DIR}/tests/pipeline)

# The window's recording chain on the simulated sound card, once the source and the MP3 sink
# are part of the build. It encodes with the real encoder library, which Windows builds lack.
if(TARGET acs_capture AND TARGET acs_mp3 AND NOT WIN32)
  corvatone_add_test(acs_indicator_chain_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/IndicatorChainTest.cpp
    LIBS acs_metering acs_capture acs_mp3 Threads::Threads)
endif()

# The fast analysis against the first one, on the benchmark's sound and on test signals.
corvatone_add_test(acs_spectrum_levels_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/SpectrumLevelsTest.cpp ${CMAKE_SOURCE_DIR}/bench/TestSignal.cpp
  LIBS acs_metering)
target_include_directories(acs_spectrum_levels_test PRIVATE ${CMAKE_SOURCE_DIR}/bench)
