# Installing and packaging: what cmake --install adds beside the program's own files, and the
# packages CPack builds (cpack --config <build>/CPackConfig.cmake, or the "package" target).
# Included once from the top CMakeLists.txt; one section per platform, then include(CPack).

set(CPACK_PACKAGE_NAME corvatone)
set(CPACK_PACKAGE_VENDOR "The Corvatone developers")
set(CPACK_PACKAGE_CONTACT "The Corvatone developers <maintainers@corvatone.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small sound recorder that records straight into MP3")
# Debian shows the description as it stands: lines under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
  "Corvatone records from the sound card's input, shows the input level on a
live meter, and encodes the sound on the fly into a constant-bit-rate MP3
file chosen beforehand, with Record, Pause and Stop. It records through ALSA,
and through it from PulseAudio or PipeWire.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://corvatone.org/")
set(CPACK_STRIP_FILES ON)

# ---- Linux: the corvatone command, the manual page, the package's documents; a Debian package.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT CORVATONE_CORE_ONLY)
  set(_packaging_out ${CMAKE_BINARY_DIR}/packaging)
  file(MAKE_DIRECTORY ${_packaging_out})

  # The command is a relative link to the program, which finds its Skin folder beside its own
  # resolved path.
  file(CREATE_LINK ../lib/corvatone/Corvatone ${_packaging_out}/corvatone SYMBOLIC)
  install(FILES ${_packaging_out}/corvatone DESTINATION bin)

  # Manual page and changelog compressed as Debian wants them: gzip -9 without a time stamp.
  set(_compressed "")
  foreach(_name corvatone.1 changelog)
    add_custom_command(
      OUTPUT ${_packaging_out}/${_name}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${_name}
              ${_packaging_out}/${_name}
      COMMAND gzip -9nf ${_packaging_out}/${_name}
      DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${_name}
      VERBATIM
    )
    list(APPEND _compressed ${_packaging_out}/${_name}.gz)
  endforeach()
  add_custom_target(CorvatoneDocuments ALL DEPENDS ${_compressed})
  install(FILES ${_packaging_out}/corvatone.1.gz DESTINATION share/man/man1)
  install(FILES ${_packaging_out}/changelog.gz ${CMAKE_CURRENT_SOURCE_DIR}/packaging/copyright
    DESTINATION share/doc/corvatone)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # corvatone_<version>_<architecture>.deb
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The libraries the binaries link come from dpkg-shlibdeps; the encoder library is opened at
  # run time and Qt's platform plugins are loaded at run time, so no linker sees them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libmp3lame0, qt6-qpa-plugins")
  # The window asks for Times New Roman; fontconfig maps it to Liberation Serif.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

# ---- Windows: Corvatone.exe with lame_enc.dll and the Skin folder beside it, the licences and a
# read-me, in Corvatone-<version>-win32.zip, and an installer made with Debian's nsis.
if(WIN32)
  set(_packaging_out ${CMAKE_BINARY_DIR}/packaging)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows/README.txt.in
    ${_packaging_out}/README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/copyright
    ${_packaging_out}/licences/Corvatone-copyright.txt COPYONLY)
  # Statically linked: zlib (in libpng's users) and the MinGW-w64 runtime.
  configure_file(/usr/share/doc/libz-mingw-w64-dev/copyright
    ${_packaging_out}/licences/zlib-copyright.txt COPYONLY)
  configure_file(/usr/share/doc/mingw-w64-common/copyright
    ${_packaging_out}/licences/MinGW-w64-copyright.txt COPYONLY)

  # The skin beside the program: the one its build draws, else the Linux build's.
  if(TARGET Corvatone)
    install(TARGETS Corvatone RUNTIME DESTINATION .)
    install(DIRECTORY ${CMAKE_BINARY_DIR}/app/Skin DESTINATION .)
  elseif(CORVATONE_HOST_BUILD)
    install(DIRECTORY ${CORVATONE_HOST_BUILD}/app/Skin DESTINATION .)
  else()
    message(WARNING "CORVATONE_HOST_BUILD not given: the package will have no Skin folder")
  endif()
  install(PROGRAMS ${CORVATONE_LAME_DLL} DESTINATION .)
  install(FILES ${_packaging_out}/README.txt DESTINATION .)
  install(DIRECTORY ${_packaging_out}/licences/ ${CORVATONE_LAME_LICENCES}/
    ${CORVATONE_PNG_LICENCES}/ DESTINATION licences)
  # The package's files are built on the way: cmake --build <build> --target package.
  add_custom_target(corvatone_package_files ALL DEPENDS lame_enc_dll libpng_static)

  set(CPACK_GENERATOR ZIP NSIS)
  # The 64-bit build (tools/mingw-x86_64.cmake) is named, installed and installs as a 64-bit
  # program.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(_windows win64)
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
    set(CPACK_NSIS_DEFINES "Target amd64-unicode")
  else()
    set(_windows win32)
    # A 32-bit program: the 32-bit Program Files folder.
    set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES")
  endif()
  set(CPACK_PACKAGE_FILE_NAME Corvatone-${PROJECT_VERSION}-${_windows})
  set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/packaging/windows/CPackOptions.cmake)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Corvatone)
  set(CPACK_PACKAGE_EXECUTABLES Corvatone Corvatone)
  set(CPACK_RESOURCE_FILE_README ${_packaging_out}/README.txt)
  set(CPACK_NSIS_DISPLAY_NAME "Corvatone ${PROJECT_VERSION}")
  set(CPACK_NSIS_PACKAGE_NAME "Corvatone")
  set(CPACK_NSIS_INSTALLED_ICON_NAME Corvatone.exe)
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  # The installer keeps its folder under the vendor's registry key, which the uninstaller removes
  # too once nothing else is in it. CPack writes these commands into its configuration as they
  # are, which CMake reads again: hence every escape twice.
  set(_vendor_key "Software\\\\${CPACK_PACKAGE_VENDOR}")
  set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS
    "DeleteRegKey SHCTX \\\"${_vendor_key}\\\\${CPACK_PACKAGE_INSTALL_DIRECTORY}\\\"
  DeleteRegKey /ifempty SHCTX \\\"${_vendor_key}\\\"")
endif()

include(CPack)
