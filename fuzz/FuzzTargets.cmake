# The fuzz targets, what each one links and the seed generators, in one
# place: fuzz/CMakeLists.txt builds the targets with libFuzzer, and
# tests/fuzz/CMakeLists.txt builds them with a plain main that replays their
# corpora.
find_package(ZLIB REQUIRED)

set(PIXWRIGHT_FUZZ_TARGETS fuzz_convert fuzz_png_loader fuzz_bmp_loader fuzz_jpeg_loader fuzz_picture_format
  fuzz_savers fuzz_png_encoder
  fuzz_cli_options)
if(PIXWRIGHT_BUILD_GUI)
  # Qt's imported targets are seen only in folders that look for them.
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  list(APPEND PIXWRIGHT_FUZZ_TARGETS fuzz_settings)
endif()

# The static engine archive carries the internal calls the targets reach
# (the loader, the header reader) besides graphicConvert.
set(PIXWRIGHT_FUZZ_LIBS_fuzz_convert pixwright_core)
set(PIXWRIGHT_FUZZ_LIBS_fuzz_png_loader pixwright_core)
set(PIXWRIGHT_FUZZ_LIBS_fuzz_bmp_loader pixwright_core)
set(PIXWRIGHT_FUZZ_LIBS_fuzz_jpeg_loader pixwright_core)
set(PIXWRIGHT_FUZZ_LIBS_fuzz_picture_format pixwright_core)
set(PIXWRIGHT_FUZZ_LIBS_fuzz_savers writepix pixwright_core)
set(PIXWRIGHT_FUZZ_LIBS_fuzz_png_encoder writepix PkgConfig::PNG PkgConfig::SDL)
set(PIXWRIGHT_FUZZ_LIBS_fuzz_cli_options pixwright_cli_options)
# Internal sources a target checks directly, compiled into it.
set(PIXWRIGHT_FUZZ_SOURCES_fuzz_png_encoder ${PROJECT_SOURCE_DIR}/saver/WPX_deflate.cpp)
set(PIXWRIGHT_FUZZ_LIBS_fuzz_settings pixwright_gui)

# pixwright_fuzz_program(PROGRAM TARGET [SOURCES...]): the program PROGRAM
# made of fuzz target TARGET, the shared support and SOURCES.
function(pixwright_fuzz_program program target)
  add_executable(${program} ${PROJECT_SOURCE_DIR}/fuzz/${target}.cpp ${PROJECT_SOURCE_DIR}/fuzz/FuzzSupport.cpp
    ${PROJECT_SOURCE_DIR}/fuzz/PngChecksums.cpp ${PIXWRIGHT_FUZZ_SOURCES_${target}} ${ARGN})
  target_include_directories(${program} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${program} PRIVATE ${PIXWRIGHT_FUZZ_LIBS_${target}} ZLIB::ZLIB)
  pixwright_fuzz_windows(${program})
endfunction()

# The Windows build's replays get the tests' POSIX calls (tests/windows/).
function(pixwright_fuzz_windows program)
  if(WIN32)
    target_compile_options(${program} PRIVATE -include ${PROJECT_SOURCE_DIR}/tests/windows/PosixShim.h)
    target_sources(${program} PRIVATE ${PIXWRIGHT_MANIFEST_RC})
  endif()
endfunction()

# The seed generators, once per build tree whichever folder asks first.
if(NOT TARGET fuzz_make_seeds)
  add_executable(fuzz_make_seeds ${PROJECT_SOURCE_DIR}/fuzz/make_seeds.cpp ${PROJECT_SOURCE_DIR}/fuzz/FuzzSupport.cpp)
  # The PNG files are written by the tests' own maker.
  target_include_directories(fuzz_make_seeds PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(fuzz_make_seeds PRIVATE writepix PkgConfig::PNG PkgConfig::SDL JPEG::JPEG ZLIB::ZLIB)
  pixwright_fuzz_windows(fuzz_make_seeds)
  if(PIXWRIGHT_BUILD_GUI)
    add_executable(fuzz_make_settings_seeds ${PROJECT_SOURCE_DIR}/fuzz/make_settings_seeds.cpp
      ${PROJECT_SOURCE_DIR}/fuzz/FuzzSupport.cpp)
    target_include_directories(fuzz_make_settings_seeds PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(fuzz_make_settings_seeds PRIVATE pixwright_gui)
    pixwright_fuzz_windows(fuzz_make_settings_seeds)
  endif()
endif()
