# One switch for the sanitizer builds of CI: the flags go on every target so
# that the core, its tests and the fuzzers agree on the runtime.
if(ZENTORA_SANITIZE)
  add_compile_options(-fsanitize=${ZENTORA_SANITIZE} -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=${ZENTORA_SANITIZE})
  if(ZENTORA_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()
