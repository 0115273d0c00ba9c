# The Debian package of what `cmake --install` puts in place, built by
# `cpack -G DEB` in the build folder (see the README). It installs under
# /usr, as a package must; dpkg's triggers refresh the desktop's MIME,
# desktop-entry and icon caches.
set(TESSAVO_PACKAGE_MAINTAINER "Tessavo maintainers <maintainers@users.noreply.c-seed-373e75b8.example>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessavo)
set(CPACK_PACKAGE_VENDOR Marrowby)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TESSAVO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "validate HTML and SGML documents in batch")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Tessavo checks HTML and SGML documents against their document type with\n"
  "the SGML validator onsgmls, and HTML5 pages with the Nu Html Checker\n"
  "(vnu.jar, shipped in the package). Local files, folders and http addresses are\n"
  "collected in a working set (a .tvx file) and checked at once. Every\n"
  "message of the validator lands in a list, and a double click opens the\n"
  "document at that line. Documents in Shift_JIS, EUC-JP and ISO-2022-JP\n"
  "are converted for the validator.\n"
  "\n"
  "The package holds the window (tessavo) and the same check for terminals\n"
  "and scripts (tessavo-check).")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link (libc, libstdc++, wxWidgets' GTK runtime)
# come from dpkg-shlibdeps; the rest are used at run time without linking:
# the validator and its HTML and XHTML document types, the TLS library of
# https targets and zlib for gzip-encoded downloads, the seccomp library that
# keeps the validator from the network (all linked too, named for clarity),
# the fonts for Japanese text, the desktop's handler that opens the help page
# and documents, and a Java runtime for the HTML5 checker (vnu.jar, shipped in
# the package).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(tessavo_java "default-jre-headless | java11-runtime-headless")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "opensp, sgml-data, w3c-sgml-lib, libssl3, libseccomp2, zlib1g, fonts-noto-cjk, xdg-utils, ${tessavo_java}")
if(NOT TESSAVO_GUI)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "opensp, sgml-data, w3c-sgml-lib, libssl3, libseccomp2, zlib1g, ${tessavo_java}")
else()
  # The standard dialogs in the user's language; the program works without.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wx3.2-i18n")
endif()

include(CPack)
