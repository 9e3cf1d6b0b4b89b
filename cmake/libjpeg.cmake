# libjpeg-turbo for the Windows exe, built from Debian's own source package (fetched by
# scripts/deps into build/src) as a static library with this toolchain, SIMD off,
# the same way from any folder.
include(ExternalProject)

set(XQ_LIBJPEG_SOURCE "${PROJECT_SOURCE_DIR}/build/src/libjpeg-turbo"
    CACHE PATH "Unpacked libjpeg-turbo source package")
if(NOT EXISTS "${XQ_LIBJPEG_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "libjpeg-turbo source not found at ${XQ_LIBJPEG_SOURCE}; run scripts/deps")
endif()

set(libjpeg_prefix "${CMAKE_BINARY_DIR}/libjpeg")
set(libjpeg_lib "${libjpeg_prefix}/lib/libjpeg.a")
ExternalProject_Add(libjpeg_build
  SOURCE_DIR "${XQ_LIBJPEG_SOURCE}"
  BINARY_DIR "${CMAKE_BINARY_DIR}/libjpeg-build"
  INSTALL_DIR "${libjpeg_prefix}"
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR>
    -DCMAKE_INSTALL_LIBDIR=<INSTALL_DIR>/lib
    -DCMAKE_INSTALL_INCLUDEDIR=<INSTALL_DIR>/include
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON
    -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
    -DWITH_ARITH_ENC=OFF -DWITH_ARITH_DEC=OFF
    # The same library from any folder on any day: paths written relative,
    # and a fixed build string instead of the day's date.
    # The tool's hardening too: its stack canaries and checked copies.
    # No environment variable steers it (JPEGMEM would cap its memory), which
    # also keeps the C library's scanf out of the exe.
    "-DCMAKE_C_FLAGS=-ffile-prefix-map=${XQ_LIBJPEG_SOURCE}=libjpeg-turbo -ffile-prefix-map=${CMAKE_BINARY_DIR}=build -fstack-protector-strong -D_FORTIFY_SOURCE=2 -DNO_GETENV"
    -DBUILD=0
  BUILD_BYPRODUCTS "${libjpeg_lib}"
  UPDATE_COMMAND ""
)
file(MAKE_DIRECTORY "${libjpeg_prefix}/include")
add_library(libjpeg STATIC IMPORTED GLOBAL)
set_target_properties(libjpeg PROPERTIES
  IMPORTED_LOCATION "${libjpeg_lib}"
  INTERFACE_INCLUDE_DIRECTORIES "${libjpeg_prefix}/include")
add_dependencies(libjpeg libjpeg_build)
