# Fuzz targets: libFuzzer (clang) with the address and undefined-behaviour sanitizers, over the
# engine's sources against the fake Win32 (the hook, the version reader) and over the tray's
# settings store. Configured with -DVIREL_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 (make fuzz).
set(VIREL_FUZZ_COMPILE -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined
    -fno-sanitize-recover=all)
set(VIREL_FUZZ_LINK -fsanitize=fuzzer,address,undefined)

add_library(virel_fuzz_engine STATIC ${ENGINE_SOURCES} engine/testing/fake_win32.cpp
  engine/testing/typing_driver.cpp engine/testing/typing_session.cpp)
target_include_directories(virel_fuzz_engine PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(virel_fuzz_engine PUBLIC ${VIREL_FUZZ_COMPILE})

add_executable(fuzz_hook engine/core/fuzz/hook_fuzz.cpp)
add_executable(fuzz_version engine/core/fuzz/version_fuzz.cpp)
target_link_libraries(fuzz_hook PRIVATE virel_fuzz_engine)
target_link_libraries(fuzz_version PRIVATE virel_fuzz_engine)
target_compile_definitions(fuzz_hook PRIVATE VIREL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")

add_executable(fuzz_settings tray/fuzz/settings_fuzz.cpp tray/settings_store.cpp)
target_include_directories(fuzz_settings PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(fuzz_settings PRIVATE ${VIREL_FUZZ_COMPILE})

# The converter: its decoder and its encoder, each from convert/fuzz/convert_fuzz.cpp.
foreach(direction decode encode)
  add_executable(fuzz_${direction} convert/fuzz/convert_fuzz.cpp convert/legacy_text.cpp convert/detect.cpp
                 engine/eightbit/glyph_rows.cpp engine/unicode/unicode_units.cpp)
  target_include_directories(fuzz_${direction} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(fuzz_${direction} PRIVATE ${VIREL_FUZZ_COMPILE})
endforeach()
target_compile_definitions(fuzz_decode PRIVATE VIREL_FUZZ_DECODE)

foreach(target fuzz_hook fuzz_version fuzz_settings fuzz_decode fuzz_encode)
  target_link_options(${target} PRIVATE ${VIREL_FUZZ_LINK})
endforeach()
