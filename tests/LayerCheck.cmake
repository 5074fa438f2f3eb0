# Checks that every layer includes only layers below it, and never tests/,
# tools/ or bench/:
#   cmake -DSOURCE_DIR=<source root> -P tests/LayerCheck.cmake
# The build already refuses such an include in a file that its own layer
# compiles; this also covers headers that only upper layers include, and
# includes written with "../".
set(layers text source store import ui app)
set(outside tests tools bench)

set(problems "")
set(above "")
list(REVERSE layers)
foreach(layer ${layers})
  # Everything above this layer, and everything that is no layer at all.
  set(forbidden ${above} ${outside})
  list(JOIN forbidden "|" alternatives)
  file(GLOB files ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.cpp)
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${lines})
      if(line MATCHES "#[ \t]*include[ \t]*[\"<](\\.\\./)*(${alternatives})/")
        file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
        string(APPEND problems "  ${name}: ${line}\n")
      endif()
    endforeach()
  endforeach()
  list(APPEND above ${layer})
endforeach()

if(problems)
  message(FATAL_ERROR "Includes of a layer above (order: text source store import ui app) "
                      "or of tests/, tools/, bench/:\n${problems}")
endif()
message(STATUS "Every layer includes only the layers below it.")
