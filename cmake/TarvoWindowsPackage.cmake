# The release archive for script authors: `cmake --build --preset win32
# --target package` writes TarvoCulling-VERSION-win32.zip beside the build,
# holding the plug-in, its recording flavour, the command reference written
# from the command table, the example scripts and how to install.
set(tarvo_readme ${PROJECT_BINARY_DIR}/README.txt)
configure_file(${CMAKE_CURRENT_LIST_DIR}/win32-README.txt.in ${tarvo_readme} @ONLY NEWLINE_STYLE CRLF)

# The files themselves: an import library is no use to a script author.
install(FILES $<TARGET_FILE:TarvoCulling> ${tarvo_readme} ${TARVO_COMMAND_REFERENCE} DESTINATION .)
install(FILES $<TARGET_FILE:TarvoCullingRecording> DESTINATION recording)
file(GLOB tarvo_examples LIST_DIRECTORIES false
  ${PROJECT_SOURCE_DIR}/examples/*.otc ${PROJECT_SOURCE_DIR}/examples/*.out)
install(FILES ${tarvo_examples} DESTINATION examples)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME TarvoCulling)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME TarvoCulling-${PROJECT_VERSION}-win32)
include(CPack)
