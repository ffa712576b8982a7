# The legacy-text converter: the library (convert/legacy_text.*, over the engine's glyph and
# Unicode tables) and virelconv, natively and in each Windows build.
set(VIREL_CONVERT_SOURCES ${CMAKE_SOURCE_DIR}/convert/legacy_text.cpp ${CMAKE_SOURCE_DIR}/convert/detect.cpp)
# The engine's tables, without the engine (they hold no platform code).
set(VIREL_TABLE_SOURCES ${CMAKE_SOURCE_DIR}/engine/eightbit/glyph_rows.cpp
    ${CMAKE_SOURCE_DIR}/engine/unicode/unicode_units.cpp)

if(WIN32)
  add_executable(virelconv convert/virelconv.cpp ${VIREL_CONVERT_SOURCES} ${VIREL_TABLE_SOURCES})
  target_include_directories(virelconv PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(virelconv PRIVATE -O2 -Wall -Wextra -fno-exceptions -fno-rtti)
  target_link_options(virelconv PRIVATE -municode ${VIREL_STATIC_RUNTIME})
else()
  # virel_native brings the engine's table units (a static library gives only what is used).
  add_library(virel_convert STATIC ${VIREL_CONVERT_SOURCES})
  target_include_directories(virel_convert PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(virel_convert PUBLIC virel_native)
  add_executable(virelconv convert/virelconv.cpp)
  target_link_libraries(virelconv PRIVATE virel_convert)
  # The converter's measures run once, briefly, to show that they work (make bench runs them whole).
  add_test(NAME convert.bench_quick
           COMMAND python3 convert/bench/convert_bench.py --quick --out ${CMAKE_BINARY_DIR}/bench-quick
           WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(convert.bench_quick PROPERTIES TIMEOUT 600 ENVIRONMENT "VIREL_BUILD=${CMAKE_SOURCE_DIR}/build")
endif()
