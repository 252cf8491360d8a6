# Tests of the sound-card source and its device backends.
corvatone_add_test(AudioInTest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/AudioInTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioInFaultsTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioInPoolTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioInLossTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AudioInPauseTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WaveDeviceInfoTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SimulatedWaveDeviceTest.cpp
  LIBS acs_capture)
# The loopback capture's device, format conversion and buffer filling, plain C++ on every
# platform.
corvatone_add_test(LoopbackPartsTest
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/MixFormatConverterTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CaptureFillerTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PacketCaptureDeviceTest.cpp
  LIBS acs_capture)
if(WIN32)
  # The winmm backend on the machine at hand (under Wine: no sound card).
  corvatone_add_test(WinmmAudioInTest
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/WinmmAudioInTest.cpp
    LIBS acs_capture winmm)
  # Recording from a real device: Wine's wave-in over a private sound server.
  corvatone_sound_server(winmm_sound_server)
  corvatone_add_test(WinmmRecordingTest
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/WinmmRecordingTest.cpp
    LIBS acs_capture winmm
    ENV ${winmm_sound_server_ENV}
    PROPERTIES FIXTURES_REQUIRED winmm_sound_server)
  # What the computer plays: the loopback input, over the same server.
  corvatone_add_test(WasapiLoopbackTest
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/WasapiLoopbackTest.cpp
    LIBS acs_capture winmm
    ENV ${winmm_sound_server_ENV}
    PROPERTIES FIXTURES_REQUIRED winmm_sound_server)
  # Inputs named outside ASCII on a Russian system, and recording from one that is not the first:
  # a second server whose second source carries another tone (second-source).
  corvatone_sound_server(winmm_inputs_server)
  add_test(NAME winmm_inputs_server.second
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/second-source ${winmm_inputs_server_DIR})
  set_tests_properties(winmm_inputs_server.second PROPERTIES FIXTURES_SETUP winmm_inputs_sources
    FIXTURES_REQUIRED winmm_inputs_server TIMEOUT 60)
  corvatone_add_test(WinmmInputsTest
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/WinmmInputsTest.cpp
    LIBS acs_capture winmm
    ENV LANG=ru_RU.UTF-8 ${winmm_inputs_server_ENV}
    PROPERTIES FIXTURES_REQUIRED winmm_inputs_server FIXTURES_REQUIRED winmm_inputs_sources)
  # A pause: Wine's wave-in over a private server that plays the sweep.
  corvatone_sound_server(winmm_sweep_server --sweep)
  corvatone_add_test(WinmmPauseTest
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/WinmmPauseTest.cpp
    LIBS acs_capture winmm
    ENV ${winmm_sweep_server_ENV}
    PROPERTIES FIXTURES_REQUIRED winmm_sweep_server)
else()
  find_package(ALSA REQUIRED)
  # Its own executable: it points ALSA at its own configuration before ALSA's first call.
  corvatone_add_test(AlsaAudioInTest
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/AlsaAudioInTest.cpp
    LIBS acs_capture ALSA::ALSA)
  corvatone_add_test(AlsaCaptureDeviceTest
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/AlsaCaptureDeviceTest.cpp
    LIBS acs_capture ALSA::ALSA)
  # A pause through both backends of Linux, from the server that plays the sweep.
  corvatone_add_test(ServerPauseTest
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ServerPauseTest.cpp
    LIBS acs_capture
    ENV ${CORVATONE_SWEEP_SERVER_ENV}
    PROPERTIES FIXTURES_REQUIRED SweepServer)
  corvatone_add_test(AlsaNoDeviceTest
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/AlsaNoDeviceTest.cpp
    LIBS acs_capture ALSA::ALSA
    ENV XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/no-alsa-config)
endif()
if(NOT WIN32)
  # The PulseAudio backend against the private sound server.
  corvatone_add_test(PulseCaptureTest
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/PulseCaptureTest.cpp
    LIBS acs_capture
    ENV ${CORVATONE_SOUND_SERVER_ENV}
    PROPERTIES ${CORVATONE_SOUND_SERVER_PROPERTIES})
endif()
