# The Debian package: `cpack -G DEB` in a build folder makes
# tolvoimp_<version>-<revision>_<arch>.deb of what the install rules put
# under /usr: the programs (stripped), the desktop entry and the icon, and
# here the manual pages (man/*.1 and the Polish man/pl/*.1), the user's
# guides with their screenshots, the copyright file and the Debian changelog.

set(TOLVO_PACKAGE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(TOLVO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tolvoimp)

# The changelog and the manual pages go in compressed as Debian wants them:
# gzip -9 without the file's name and time, so that the same text always
# makes the same bytes.
set(TOLVO_COMPRESSED)
function(tolvo_compress source output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "gzip -9n < \"$0\" > \"$1\"" ${source} ${output}
    DEPENDS ${source}
    COMMENT "Compressing ${output}"
    VERBATIM)
  set(TOLVO_COMPRESSED ${TOLVO_COMPRESSED} ${output} PARENT_SCOPE)
endfunction()

set(TOLVO_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
tolvo_compress(${TOLVO_PACKAGE_DIR}/changelog ${TOLVO_CHANGELOG_GZ})
install(FILES ${TOLVO_PACKAGE_DIR}/copyright ${TOLVO_CHANGELOG_GZ} DESTINATION ${TOLVO_DOC_DIR})

# The pages' footers carry the program's version. The English pages are
# man/*.1, the Polish ones man/pl/*.1.
foreach(language "" pl)
  if(language)
    set(from ${TOLVO_PACKAGE_DIR}/man/${language})
    set(to ${CMAKE_BINARY_DIR}/packaging/man/${language})
    set(section ${CMAKE_INSTALL_MANDIR}/${language}/man1)
  else()
    set(from ${TOLVO_PACKAGE_DIR}/man)
    set(to ${CMAKE_BINARY_DIR}/packaging/man)
    set(section ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
  file(GLOB pages CONFIGURE_DEPENDS ${from}/*.1)
  foreach(page ${pages})
    get_filename_component(name ${page} NAME)
    configure_file(${page} ${to}/${name} @ONLY)
    tolvo_compress(${to}/${name} ${to}/${name}.gz)
    install(FILES ${to}/${name}.gz DESTINATION ${section})
  endforeach()
endforeach()
add_custom_target(tolvo_compressed ALL DEPENDS ${TOLVO_COMPRESSED})

# The guides and their screenshots, side by side in the documentation
# folder: PODRECZNIK.md (the Polish guide, which the program's messages name)
# and README.md (the English one), their links to each other and to the
# pictures rewritten for that layout. They stay uncompressed, so that the
# path in the messages opens.
set(TOLVO_GUIDE_DIR ${CMAKE_BINARY_DIR}/packaging/doc)
set(TOLVO_GUIDES ${TOLVO_GUIDE_DIR}/PODRECZNIK.md ${TOLVO_GUIDE_DIR}/README.md)
add_custom_command(OUTPUT ${TOLVO_GUIDES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TOLVO_GUIDE_DIR}
  COMMAND sed -e "s|]([.][.]/README[.]md|](README.md|g"
    ${CMAKE_SOURCE_DIR}/docs/PODRECZNIK.md > ${TOLVO_GUIDE_DIR}/PODRECZNIK.md
  COMMAND sed -e "s|[[]docs/PODRECZNIK[.]md[]]|[PODRECZNIK.md]|g" -e "s|](docs/|](|g"
    ${CMAKE_SOURCE_DIR}/README.md > ${TOLVO_GUIDE_DIR}/README.md
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/PODRECZNIK.md ${CMAKE_SOURCE_DIR}/README.md
  COMMENT "Preparing the guides for the package"
  VERBATIM)
add_custom_target(tolvo_guides ALL DEPENDS ${TOLVO_GUIDES})
install(FILES ${TOLVO_GUIDES} DESTINATION ${TOLVO_DOC_DIR})
file(GLOB TOLVO_SCREENSHOTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/screenshots/*.png)
install(FILES ${TOLVO_SCREENSHOTS} DESTINATION ${TOLVO_DOC_DIR}/screenshots)

set(CPACK_PACKAGE_NAME tolvoimp)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TolvoIMP developers")
set(CPACK_STRIP_FILES ON)
# The target "package" (cmake --build build --target package) makes it too.
set(CPACK_GENERATOR DEB)

set(TOLVO_DEB_MAINTAINER "TolvoIMP developers <maintainers@users.noreply.c-seed-4cd95e61.example>"
  CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TOLVO_DEB_MAINTAINER})
# The Debian version is the program's version and the package's revision,
# 1.0-1 for the first package of 1.0; the revision goes up when only the
# package changes. The newest entry of packaging/changelog carries it.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps. Two packages no
# link shows are added: the embedded database engine, which the Firebird
# client loads as a plugin when it opens LOG.DAT, and Qt's platform plugins,
# without which no window can open (Qt's GUI library only recommends them).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "firebird3.0-server-core, qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The first line is the synopsis, the rest the long description (CPack
# indents it for the control file; an empty line becomes " .").
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"callbook import for the Tolvo amateur radio logging program
TolvoIMP fills the callbook of the Tolvo logging program (the table STACJE of
its Firebird database LOG.DAT) with the stations of public station lists: the
Polish CB.DBF and LOG_C_SP.DBF, the Czech LOG_C_OK.DBF and okcall.dbf, and the
Canadian AMATEUR.RPT. It adds a row for every station that the callbook does
not hold yet and leaves the stations already there as they are.

The program works in the folder it is started from and speaks Polish. The
command-line tool tolvo-import runs the same import without a window, for
scripts, and tolvo-show prints the callbook. The database is opened with
Firebird's embedded engine, so no Firebird server has to run.")

include(CPack)
