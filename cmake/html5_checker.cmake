# The HTML5 checker: vnu.jar of the npm package vnu-jar, which
# scripts/setup.sh fetches into the build tree (npm is a build-time tool
# only). The build links it beside the programs, where a program in the
# build tree looks for it; `cmake --install` and the Debian package put it
# with its licence in share/tessavo/, where an installed program looks.
set(TESSAVO_VNU_JAR_DIR ${PROJECT_BINARY_DIR}/html5-checker/node_modules/vnu-jar
    CACHE PATH "Folder of the npm package vnu-jar (build/dist/vnu.jar, LICENSE)")
set(vnu_jar ${TESSAVO_VNU_JAR_DIR}/build/dist/vnu.jar)
if(EXISTS ${vnu_jar})
  file(MAKE_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  file(CREATE_LINK ${vnu_jar} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/vnu.jar SYMBOLIC)
  install(FILES ${vnu_jar} DESTINATION ${CMAKE_INSTALL_DATADIR}/tessavo)
  install(FILES ${TESSAVO_VNU_JAR_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/tessavo
          RENAME vnu.jar.LICENSE)
else()
  message(WARNING "${vnu_jar} not found (scripts/setup.sh fetches it with npm): HTML5 pages "
                  "go to the SGML validator")
endif()
