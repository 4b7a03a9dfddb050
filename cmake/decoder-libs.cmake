# The decoder libraries of the Windows builds as imported static targets, from
# the cache that scripts/build-decoder-libs fills outside the clone with the
# versions pinned in scripts/decoder-libs.versions:
#   kiv_decoder_libs        all of them, in link order, with decoder_versions.h
#   kiv_decoder_jpeg        libjpeg.a (libjpeg-turbo, with its SIMD code)
#   kiv_decoder_webpdemux   libwebpdemux.a (containers, animation), needs kiv_decoder_webp
#   kiv_decoder_webp        libwebp.a
#   kiv_decoder_png16       libpng16.a, needs kiv_decoder_zlib
#   kiv_decoder_zlib        libz.a (from Debian's libz-mingw-w64-dev)
# and the variables
#   KIV_DECODER_LIBS            the cache (the Makefile passes it; else the script's default)
#   KIV_DECODER_ENTRY_<LIBRARY> the cache entry of each, for the current triple
#   KIV_DECODER_LICENCE_FILES   the licence texts to ship, named as in the zips
#   KIV_DECODER_VERSIONS_HEADER the generated decoder_versions.h
#   KIV_<LIBRARY>_VERSION, KIV_<LIBRARY>_DEBIAN_VERSION for LIBJPEG_TURBO,
#                           LIBWEBP, LIBPNG and ZLIB.
set(KIV_DECODER_LIBS "" CACHE PATH "Cache of the decoder libraries (scripts/build-decoder-libs --cache-root)")
if(NOT KIV_DECODER_LIBS)
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/build-decoder-libs --cache-root
                  OUTPUT_VARIABLE kiv_decoder_cache OUTPUT_STRIP_TRAILING_WHITESPACE
                  COMMAND_ERROR_IS_FATAL ANY)
  set_property(CACHE KIV_DECODER_LIBS PROPERTY VALUE "${kiv_decoder_cache}")
endif()

set(KIV_DECODER_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(kiv_decoder_pins ${CMAKE_SOURCE_DIR}/scripts/decoder-libs.versions)
set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${kiv_decoder_pins})

# Sets KIV_DECODER_ENTRY_<NAME> (its cache entry), KIV_<NAME>_VERSION and
# KIV_<NAME>_DEBIAN_VERSION for the library on one line of the pins.
function(kiv_decoder_read_pin line)
  string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
  list(GET fields 0 library)
  list(GET fields 1 package)
  list(GET fields 2 debian_version)
  list(GET fields 3 recipe)
  # Debian's file names leave out the epoch; the upstream version has neither
  # the Debian revision nor a repack suffix ("1:2.1.5-2" -> "2.1.5").
  string(REGEX REPLACE "^[0-9]+:" "" version_in_names "${debian_version}")
  string(REGEX REPLACE "-[^-]+$" "" upstream_version "${version_in_names}")
  string(REGEX REPLACE "[+~].*$" "" upstream_version "${upstream_version}")
  set(entry ${KIV_DECODER_LIBS}/${KIV_DECODER_TRIPLE}/${package}-${version_in_names}-r${recipe})
  if(NOT IS_DIRECTORY ${entry}/lib)
    message(FATAL_ERROR "decoder libraries: ${entry} is missing; "
                        "scripts/build-decoder-libs (run by make bootstrap) builds it")
  endif()
  string(TOUPPER "${library}" name)
  string(REPLACE "-" "_" name "${name}")
  set(KIV_DECODER_ENTRY_${name} ${entry} PARENT_SCOPE)
  set(KIV_${name}_VERSION ${upstream_version} PARENT_SCOPE)
  set(KIV_${name}_DEBIAN_VERSION ${debian_version} PARENT_SCOPE)
endfunction()

file(STRINGS ${kiv_decoder_pins} kiv_decoder_lines REGEX "^[a-z]")
foreach(kiv_decoder_line IN LISTS kiv_decoder_lines)
  kiv_decoder_read_pin("${kiv_decoder_line}")
endforeach()
set(KIV_DECODER_NAMES LIBJPEG_TURBO LIBWEBP LIBPNG ZLIB)
foreach(kiv_decoder_name IN LISTS KIV_DECODER_NAMES)
  if(NOT KIV_DECODER_ENTRY_${kiv_decoder_name})
    message(FATAL_ERROR "decoder libraries: ${kiv_decoder_pins} pins no version of ${kiv_decoder_name}")
  endif()
endforeach()

function(kiv_decoder_import target entry archive)
  add_library(${target} STATIC IMPORTED)
  set_target_properties(${target} PROPERTIES
    IMPORTED_LOCATION ${entry}/lib/${archive}
    INTERFACE_INCLUDE_DIRECTORIES ${entry}/include
    INTERFACE_LINK_LIBRARIES "${ARGN}")
endfunction()

kiv_decoder_import(kiv_decoder_zlib ${KIV_DECODER_ENTRY_ZLIB} libz.a)
kiv_decoder_import(kiv_decoder_png16 ${KIV_DECODER_ENTRY_LIBPNG} libpng16.a kiv_decoder_zlib)
kiv_decoder_import(kiv_decoder_jpeg ${KIV_DECODER_ENTRY_LIBJPEG_TURBO} libjpeg.a)
# This libwebp has no separate libsharpyuv: that code is inside libwebp.a.
kiv_decoder_import(kiv_decoder_webp ${KIV_DECODER_ENTRY_LIBWEBP} libwebp.a)
kiv_decoder_import(kiv_decoder_webpdemux ${KIV_DECODER_ENTRY_LIBWEBP} libwebpdemux.a kiv_decoder_webp)

# The versions as string constants, for whatever shows them to the user.
set(KIV_DECODER_VERSIONS_HEADER ${CMAKE_BINARY_DIR}/generated/decoder_versions.h)
configure_file(${CMAKE_CURRENT_LIST_DIR}/decoder_versions.h.in ${KIV_DECODER_VERSIONS_HEADER} @ONLY)

# Dependents after what they use: webpdemux webp png16 z jpeg.
add_library(kiv_decoder_libs INTERFACE)
target_link_libraries(kiv_decoder_libs INTERFACE kiv_decoder_webpdemux kiv_decoder_png16 kiv_decoder_jpeg)
target_include_directories(kiv_decoder_libs INTERFACE ${CMAKE_BINARY_DIR}/generated)

set(KIV_DECODER_LICENCE_FILES)
foreach(kiv_decoder_name IN LISTS KIV_DECODER_NAMES)
  file(GLOB kiv_decoder_licences ${KIV_DECODER_ENTRY_${kiv_decoder_name}}/licences/*.txt)
  list(APPEND KIV_DECODER_LICENCE_FILES ${kiv_decoder_licences})
endforeach()
