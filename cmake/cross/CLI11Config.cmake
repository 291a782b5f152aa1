# The cross build's CLI11 (and nlohmann-json, which the command line includes
# directly): Debian's header-only libraries, whose header folders alone are
# linked into PAMIRO_CROSS_INCLUDE so that the host's /usr/include never
# reaches the cross compiler.
if(NOT PAMIRO_CROSS_INCLUDE)
    message(FATAL_ERROR "PAMIRO_CROSS_INCLUDE is not set (see scripts/build-windows.sh)")
endif()
if(NOT TARGET CLI11::CLI11)
    add_library(CLI11::CLI11 INTERFACE IMPORTED)
    set_target_properties(CLI11::CLI11 PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${PAMIRO_CROSS_INCLUDE}")
endif()
set(CLI11_FOUND TRUE)
