# Warnings for our own targets only; third-party headers come in as system
# headers and stay quiet.
add_library(zentora_warnings INTERFACE)
target_compile_options(zentora_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
  -Wcast-align -Wimplicit-fallthrough -Wformat=2
  -Wmissing-declarations)
if(ZENTORA_WERROR)
  target_compile_options(zentora_warnings INTERFACE -Werror)
endif()
