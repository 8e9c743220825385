# CPack pre-build script, run on the staged files: strips the ELF files as
# Debian's own tools do, and sets the package's Depends from what they need
# (dpkg-shlibdeps), the package's own libraries left out. CPack's own
# dependency pass would also add ldconfig maintainer scripts for the private
# libraries.
set(root "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB_RECURSE files LIST_DIRECTORIES false "${root}/*")
set(elves "")
foreach(file IN LISTS files)
  if(NOT IS_SYMLINK "${file}")
    file(READ "${file}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46")
      list(APPEND elves "-e${file}")
    endif()
  endif()
endforeach()
if(NOT elves)
  message(FATAL_ERROR "cpack_prebuild: no ELF file in ${root}")
endif()

# What CPack's strip leaves: the compilers' notes in .comment and .note.
foreach(elf IN LISTS elves)
  string(SUBSTRING "${elf}" 2 -1 file)
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note
    --strip-unneeded "${file}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cpack_prebuild: cannot strip ${file}")
  endif()
endforeach()

# dpkg-shlibdeps reads the package's name from debian/control in its folder,
# and knows the package's own root (for $ORIGIN) by its DEBIAN folder.
file(MAKE_DIRECTORY "${root}/DEBIAN")
set(work "${root}/../shlibdeps")
file(REMOVE_RECURSE "${work}")
file(WRITE "${work}/debian/control"
  "Source: ${CPACK_PACKAGE_NAME}\n\nPackage: ${CPACK_PACKAGE_NAME}\nArchitecture: any\n")
execute_process(COMMAND dpkg-shlibdeps -O ${elves}
  WORKING_DIRECTORY "${work}"
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
file(REMOVE_RECURSE "${work}" "${root}/DEBIAN")
# The stand-ins' names carry no version, as the real libraries' do not.
string(REGEX REPLACE "[^\n]*can't extract name and version from library name '[^'\n]*'\n?"
  "" errors "${errors}")
if(NOT status EQUAL 0 OR errors MATCHES "warning")
  message(FATAL_ERROR "cpack_prebuild: dpkg-shlibdeps failed:\n${errors}")
endif()
string(REGEX REPLACE "^.*shlibs:Depends=([^\n]*).*$" "\\1" depends "${output}")
# Joined to what the project names itself (run-time plugins).
if(CPACK_DEBIAN_PACKAGE_DEPENDS)
  string(APPEND depends ", ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${depends}")
message(STATUS "cpack_prebuild: Depends: ${depends}")
