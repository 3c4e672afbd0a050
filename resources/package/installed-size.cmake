# Run by cpack after it has built the .deb (CPACK_POST_BUILD_SCRIPTS): CPack counts each folder
# at its block size and follows the bin link into the program, which nearly doubles the
# package's Installed-Size. This rewrites the field as dpkg computes it (each regular file and
# link rounded up to whole KiB, 1 KiB for every other entry) and packs the package again with
# the same files, modes and root ownership.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  file(GLOB_RECURSE entries LIST_DIRECTORIES true ${tree}/*)
  list(FILTER entries EXCLUDE REGEX "^${tree}/DEBIAN(/|$)")
  set(kib 1) # the package's root folder
  foreach(entry IN LISTS entries)
    if(IS_SYMLINK ${entry})
      file(READ_SYMLINK ${entry} target)
      string(LENGTH "${target}" size)
      math(EXPR kib "${kib} + (${size} + 1023) / 1024")
    elseif(IS_DIRECTORY ${entry})
      math(EXPR kib "${kib} + 1")
    else()
      file(SIZE ${entry} size)
      math(EXPR kib "${kib} + (${size} + 1023) / 1024")
    endif()
  endforeach()
  file(READ ${tree}/DEBIAN/control control)
  string(REGEX REPLACE "Installed-Size: [0-9]+" "Installed-Size: ${kib}" control "${control}")
  file(WRITE ${tree}/DEBIAN/control "${control}")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build ${tree} ${deb}
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
