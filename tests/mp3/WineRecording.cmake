# The whole chain on Windows with the real "lame_enc.dll", recording from Wine's wave-in over a
# private sound server into MP3 files that the Linux build's mp3_wine_recording_check decodes
# afterwards. CORVATONE_HOST_BUILD names that Linux build folder; CI always gives it.
# Both executables lie in a folder of their own with the library beside them, apart from the
# tests that must not find it.
set(_recordings ${CMAKE_CURRENT_BINARY_DIR}/wine-recordings)
set(_folder ${CMAKE_CURRENT_BINARY_DIR}/with-real-library)

corvatone_sound_server(chain_sound_server)
corvatone_add_test(mp3_winmm_chain_tests
  SOURCES WinmmChainTest.cpp
  LIBS acs_mp3 acs_capture acs_metering
  ENV ${chain_sound_server_ENV} CORVATONE_RECORDINGS=${_recordings}
  PROPERTIES FIXTURES_REQUIRED chain_sound_server FIXTURES_SETUP wine_recordings)
set_target_properties(mp3_winmm_chain_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${_folder})
copy_lame_dll_beside(mp3_winmm_chain_tests)

# Its own server, since the test kills it.
corvatone_sound_server(lost_sound_server)
corvatone_add_test(mp3_winmm_server_loss_tests
  SOURCES WinmmServerLossTest.cpp
  LIBS acs_mp3 acs_capture acs_metering
  ENV ${lost_sound_server_ENV} CORVATONE_RECORDINGS=${_recordings}
  PROPERTIES FIXTURES_REQUIRED lost_sound_server FIXTURES_SETUP wine_recordings)
set_target_properties(mp3_winmm_server_loss_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${_folder})
copy_lame_dll_beside(mp3_winmm_server_loss_tests)

if(CORVATONE_HOST_BUILD)
  set(_check ${CORVATONE_HOST_BUILD}/tests/mp3/mp3_wine_recording_check)
  foreach(_case UnicodeNamedRecordingHoldsThreeSecondsOfTheTone PausedRecordingHoldsItsFullLength
      RecordingCutByTheServersLossIsComplete)
    add_test(NAME WineRecordingCheck.${_case}
      COMMAND ${_check} --gtest_filter=WineRecordingCheck.${_case})
    set_tests_properties(WineRecordingCheck.${_case} PROPERTIES
      ENVIRONMENT CORVATONE_RECORDINGS=${_recordings} FIXTURES_REQUIRED wine_recordings
      TIMEOUT 120)
  endforeach()
else()
  message(STATUS "CORVATONE_HOST_BUILD not given: the Windows recordings are not decoded")
endif()
