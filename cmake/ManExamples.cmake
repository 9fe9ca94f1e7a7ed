# Keeps the manual page's examples one to a line: help2man writes the help's "Examples:" lines
# as one indented paragraph, which man would fill into a single line. A line break after each
# example keeps them apart.
#   cmake -DMAN_PAGE=<file> -P ManExamples.cmake
# UTF-8: without it file(STRINGS) drops every byte outside ASCII, the Japanese level names
# and the degree sign with them.
file(STRINGS ${MAN_PAGE} lines ENCODING UTF-8)
set(out "")
set(in_examples FALSE)
foreach(line IN LISTS lines)
  if(line MATCHES "^\\.SH ")
    set(in_examples FALSE)
    if(line STREQUAL ".SH EXAMPLES")
      set(in_examples TRUE)
    endif()
  endif()
  string(APPEND out "${line}\n")
  if(in_examples AND NOT line MATCHES "^\\." AND NOT line STREQUAL "")
    string(APPEND out ".br\n")
  endif()
endforeach()
file(WRITE ${MAN_PAGE} "${out}")
