# One interface target carries the warning and hygiene flags every target of ours uses.
add_library(rovanta_strict INTERFACE)
target_compile_options(rovanta_strict INTERFACE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
target_compile_definitions(rovanta_strict INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_URL_CAST_FROM_STRING QT_NO_FOREACH)
if(ROVANTA_SANITIZE)
  target_compile_options(rovanta_strict INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(rovanta_strict INTERFACE -fsanitize=address,undefined)
endif()
if(ROVANTA_FUZZ)
  target_compile_options(rovanta_strict INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(rovanta_strict INTERFACE -fsanitize=address,undefined)
endif()
