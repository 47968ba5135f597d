# Run when installing: writes the desktop entry with the installed program's full path
# in its Exec line and installs it. Expects TINDREL_DESKTOP_IN, TINDREL_DESKTOP_OUT,
# TINDREL_BINDIR and TINDREL_APPLICATIONS_DIR (the last two relative to the prefix, or
# absolute).
foreach(dir BINDIR APPLICATIONS_DIR)
  if(IS_ABSOLUTE "${TINDREL_${dir}}")
    set(${dir} "${TINDREL_${dir}}")
  else()
    set(${dir} "${CMAKE_INSTALL_PREFIX}/${TINDREL_${dir}}")
  endif()
endforeach()

set(program "${BINDIR}/tindrel")
# A path with blanks or other reserved characters is quoted, as the desktop entry
# format asks: \ " ` $ escaped inside the quotes (and \ once more for the string
# value), % doubled.
if(program MATCHES "[^A-Za-z0-9/._+-]")
  string(REPLACE "\\" "\\\\\\\\" program "${program}")
  string(REPLACE "\"" "\\\\\"" program "${program}")
  string(REPLACE "`" "\\\\`" program "${program}")
  string(REPLACE "$" "\\\\$" program "${program}")
  string(REPLACE "%" "%%" program "${program}")
  set(program "\"${program}\"")
endif()
set(TINDREL_PROGRAM "${program}")
configure_file("${TINDREL_DESKTOP_IN}" "${TINDREL_DESKTOP_OUT}" @ONLY)
file(INSTALL DESTINATION "${APPLICATIONS_DIR}" TYPE FILE FILES "${TINDREL_DESKTOP_OUT}")
