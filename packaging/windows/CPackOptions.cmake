# Per-generator settings of the Windows packages, read by CPack for each generator.
# The zip unpacks into one folder named after it; the installer has its own install folder.
if(CPACK_GENERATOR STREQUAL "ZIP")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
else()
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
