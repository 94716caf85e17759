# What the Windows build (scripts/windows.sh) sets up beside the Linux one.
enable_language(RC)

# SDL.h renames main() to SDL_main on Windows, for SDLmain to call; the
# programs keep their own main and link no SDLmain, so its header stays out.
add_compile_definitions(_SDL_main_h)

# SDL_image is only the readers' tests' reference, and is cross-built only
# where Debian's archive serves its source. Without it the cases that compare
# with it skip (tests/SdlImageReference.h).
pkg_check_modules(SDL_IMAGE IMPORTED_TARGET SDL_image)
if(NOT SDL_IMAGE_FOUND)
  message(STATUS "SDL_image not found: the readers' comparisons with it skip")
  add_library(PkgConfig::SDL_IMAGE INTERFACE IMPORTED)
  set_property(TARGET PkgConfig::SDL_IMAGE PROPERTY INTERFACE_COMPILE_DEFINITIONS PIXWRIGHT_WITHOUT_SDL_IMAGE)
endif()

# The programs' manifest: UTF-8 as their code page, so the narrow strings the
# engine passes to the system (paths, the error box) are UTF-8 as on Linux.
configure_file(${CMAKE_CURRENT_LIST_DIR}/manifest.rc.in ${CMAKE_BINARY_DIR}/pixwright-manifest.rc @ONLY)
set(PIXWRIGHT_MANIFEST_RC ${CMAKE_BINARY_DIR}/pixwright-manifest.rc)
