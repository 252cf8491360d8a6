# Libraries of the Windows build that Debian does not ship for MinGW, built from Debian's
# source packages into this build folder by tools/ scripts, each once per build folder:
#
#   lame_enc_dll      target that builds the encoder library; CORVATONE_LAME_DLL is its path and
#                     CORVATONE_LAME_LICENCES the folder of LAME's licence texts.
#   Corvatone::PNG    imported static libpng with the static zlib of libz-mingw-w64-dev;
#                     CORVATONE_PNG_LICENCES is the folder of libpng's licence text.
#
# Both are built only when a target that needs them is built.
set(_tools ${CMAKE_CURRENT_LIST_DIR})

# The Linux build of this source tree gives the Windows build what only Linux makes: the skin
# (drawn with Qt) for the package, and the MP3 decoding that checks the Windows recordings.
set(CORVATONE_HOST_BUILD "" CACHE PATH
  "A Linux build folder of this source tree, whose programs check and complete the Windows build")

set(_lame_dir ${CMAKE_BINARY_DIR}/third-party/lame)
set(CORVATONE_LAME_DLL ${_lame_dir}/lame_enc.dll)
set(CORVATONE_LAME_LICENCES ${_lame_dir}/licences)
add_custom_command(
  OUTPUT ${CORVATONE_LAME_DLL}
  BYPRODUCTS ${CORVATONE_LAME_LICENCES}/LAME-COPYING.txt
  COMMAND ${_tools}/build-lame-dll ${_lame_dir} ${CORVATONE_MINGW_TRIPLET}
  DEPENDS ${_tools}/build-lame-dll ${_tools}/debian-source
  COMMENT "Building lame_enc.dll from Debian's source package of LAME"
  USES_TERMINAL)
add_custom_target(lame_enc_dll DEPENDS ${CORVATONE_LAME_DLL})

# copy_lame_dll_beside(<target>) copies lame_enc.dll into the folder of <target>'s executable
# after each link, so that the Windows loader finds it in the application's folder.
function(copy_lame_dll_beside target)
  add_dependencies(${target} lame_enc_dll)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CORVATONE_LAME_DLL}
      $<TARGET_FILE_DIR:${target}>/lame_enc.dll)
endfunction()

set(_png_dir ${CMAKE_BINARY_DIR}/third-party/libpng)
set(CORVATONE_PNG_LICENCES ${_png_dir}/licences)
add_custom_command(
  OUTPUT ${_png_dir}/lib/libpng16.a
  BYPRODUCTS ${_png_dir}/include/png.h ${CORVATONE_PNG_LICENCES}/libpng-LICENSE.txt
  COMMAND ${_tools}/build-libpng ${_png_dir} ${CORVATONE_MINGW_TRIPLET}
  DEPENDS ${_tools}/build-libpng ${_tools}/debian-source
    ${_tools}/MingwToolchain.cmake
  COMMENT "Building libpng from Debian's source package"
  USES_TERMINAL)
add_custom_target(libpng_static DEPENDS ${_png_dir}/lib/libpng16.a)

find_library(CORVATONE_MINGW_ZLIB NAMES libz.a REQUIRED)
# The include folder must exist when the build is generated; the headers arrive with the build.
file(MAKE_DIRECTORY ${_png_dir}/include)
add_library(Corvatone::PNG STATIC IMPORTED GLOBAL)
set_target_properties(Corvatone::PNG PROPERTIES
  IMPORTED_LOCATION ${_png_dir}/lib/libpng16.a
  INTERFACE_INCLUDE_DIRECTORIES ${_png_dir}/include
  INTERFACE_LINK_LIBRARIES ${CORVATONE_MINGW_ZLIB})
add_dependencies(Corvatone::PNG libpng_static)
