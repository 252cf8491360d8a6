# The level indicator and the spectrum routines it runs on every block.
add_library(acs_metering STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ACS_Procs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SpectrumLevels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ACS_Indicator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ClipCounter.cpp
)
target_include_directories(acs_metering PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(acs_metering PUBLIC acs_pipeline)
