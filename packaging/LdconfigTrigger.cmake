# Run by cpack once the .deb is made (CPACK_POST_BUILD_SCRIPTS).
#
# CPack's DEB generator calls ldconfig from a postinst and a postrm of its own
# whenever a library lands under /usr/lib, and offers no switch against it. A
# package with a postrm stays in dpkg's "config-files" state after `dpkg -r`
# until it is purged, so removing it would leave it behind. dpkg's ldconfig
# trigger does the same work with no maintainer script, as Debian's own
# library packages do, so the two scripts are swapped for it; a script that
# does more than call ldconfig is left alone.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.deb$")
    continue()
  endif()
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${tree}" RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dpkg-deb cannot unpack ${deb}")
  endif()
  set(swapped FALSE)
  foreach(script IN ITEMS postinst postrm)
    set(path "${tree}/DEBIAN/${script}")
    if(EXISTS "${path}")
      file(READ "${path}" text)
      if(text MATCHES "^#!/bin/sh\n\nset -e\n\nif \\[ \"\\$1\" = \"(configure|remove)\" \\]; then\n\tldconfig\nfi\n$")
        file(REMOVE "${path}")
        set(swapped TRUE)
      endif()
    endif()
  endforeach()
  if(swapped)
    file(APPEND "${tree}/DEBIAN/triggers" "activate-noawait ldconfig\n")
    execute_process(COMMAND dpkg-deb --root-owner-group --build "${tree}" "${deb}"
      OUTPUT_QUIET RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "dpkg-deb cannot rebuild ${deb}")
    endif()
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
