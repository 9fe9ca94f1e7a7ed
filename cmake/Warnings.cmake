# One set of warnings for every target of the project, carried by the INTERFACE target
# fbc::warnings: each folder's targets link it PRIVATE, so the flags reach the project's own
# sources and never leak into a consumer's build.
#   FBC_WARNINGS_AS_ERRORS  turn every warning into an error (CI: ./test --all sets it)
option(FBC_WARNINGS_AS_ERRORS "Treat compiler warnings as errors" OFF)

add_library(fbc_warnings INTERFACE)
add_library(fbc::warnings ALIAS fbc_warnings)
target_compile_options(fbc_warnings INTERFACE
  -Wall -Wextra -Wpedantic
  -Wshadow
  -Wconversion -Wsign-conversion)
if(FBC_WARNINGS_AS_ERRORS)
  target_compile_options(fbc_warnings INTERFACE -Werror)
endif()
