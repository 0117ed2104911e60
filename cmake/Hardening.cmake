# The hardening Debian builds its packages with: fortified libc calls, stack protector, read-only
# relocations bound at start, position-independent executables. Fortification needs the
# optimiser, and the sanitizer builds bring checks of their own.
option(ROVANTA_HARDENING "Build with Debian's hardening flags" ON)
if(NOT ROVANTA_HARDENING)
  return()
endif()
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
if(NOT ROVANTA_SANITIZE AND NOT ROVANTA_FUZZ)
  add_compile_options(-fstack-protector-strong
    "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
endif()
add_link_options(-Wl,-z,relro,-z,now)
