# The sound-card source (ACS_Audio) over the wave-in device interface: the platform's backend,
# picked here, and the simulated device, always built.
add_library(acs_capture STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ACS_Audio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AudioInPause.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WaveDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DebugLog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QueueGapMeter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MixFormatConverter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CaptureFiller.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PacketCaptureDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimulatedWaveDevice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SimulatedSignal.cpp
)
target_include_directories(acs_capture PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(acs_capture PUBLIC acs_pipeline)
if(WIN32)
  target_sources(acs_capture PRIVATE ${CMAKE_CURRENT_LIST_DIR}/WindowsWaveBackend.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WinmmWaveDevice.cpp ${CMAKE_CURRENT_LIST_DIR}/WasapiLoopbackDevice.cpp)
  target_link_libraries(acs_capture PRIVATE winmm ole32 corvatone_win32_text)
else()
  find_package(ALSA REQUIRED)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(PULSE REQUIRED IMPORTED_TARGET libpulse)
  target_sources(acs_capture PRIVATE ${CMAKE_CURRENT_LIST_DIR}/LinuxWaveBackend.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PulseWaveDevice.cpp ${CMAKE_CURRENT_LIST_DIR}/PulseDeviceList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PulseConnection.cpp ${CMAKE_CURRENT_LIST_DIR}/PulseCaptureDevice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AlsaWaveDevice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AlsaDeviceList.cpp ${CMAKE_CURRENT_LIST_DIR}/AlsaFormat.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AlsaCaptureDevice.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AlsaPcmReader.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AlsaOverrun.cpp)
  target_link_libraries(acs_capture PRIVATE ALSA::ALSA PkgConfig::PULSE)
endif()
