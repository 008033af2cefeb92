# The hardening Debian builds its packages with: checked string and memory
# calls, stack protection, and relocations resolved and made read-only at
# start. Sanitizer and fuzzing builds leave it out: their runtimes replace
# the same calls. Fortified calls need the optimiser, so Debug builds go
# without them.
if(NOT ZENTORA_SANITIZE AND NOT ZENTORA_FUZZ)
  add_compile_options(-fstack-protector-strong
    $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE> $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
