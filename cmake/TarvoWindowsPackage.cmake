# The release archive for script authors: `cmake --build --preset win32
# --target package` writes TarvoCulling-VERSION-win32.zip beside the build.
# The build lays its files out in archive/ first (target tarvo_archive): the
# plug-in and its recording flavour, otcull.exe, the manual as one page, the
# command reference, the licence, the change log and the examples, every
# text file with CRLF line endings, and SHA256SUMS.txt over all of them.
# There is no README.txt: the manual's first chapter says how to install.

# The manual: docs/manual's chapters and the command chapter written from the
# command table, as one page, by Debian's python3-markdown. Debian's own
# python3 is asked first, since another one earlier on the PATH lacks it.
set(tarvo_python_candidates /usr/bin/python3)
find_program(tarvo_path_python python3)
if(tarvo_path_python)
  list(APPEND tarvo_python_candidates ${tarvo_path_python})
endif()
if(NOT TARVO_MANUAL_PYTHON)
  foreach(candidate IN LISTS tarvo_python_candidates)
    execute_process(COMMAND ${candidate} -c "import markdown"
      RESULT_VARIABLE lacks_markdown OUTPUT_QUIET ERROR_QUIET)
    if(lacks_markdown EQUAL 0)
      set(TARVO_MANUAL_PYTHON ${candidate} CACHE FILEPATH "Python with the markdown module, for the manual")
      break()
    endif()
  endforeach()
endif()
if(NOT TARVO_MANUAL_PYTHON)
  message(FATAL_ERROR "No python3 with the markdown module: install python3-markdown "
    "(scripts/install-deps windows)")
endif()

set(tarvo_manual_tool ${PROJECT_SOURCE_DIR}/scripts/manual)
file(GLOB_RECURSE tarvo_manual_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/manual/*)
set(tarvo_manual ${PROJECT_BINARY_DIR}/manual.html)
add_custom_command(OUTPUT ${tarvo_manual}
  COMMAND ${TARVO_MANUAL_PYTHON} ${tarvo_manual_tool}/manual_html.py ${PROJECT_VERSION}
    ${PROJECT_SOURCE_DIR}/docs/manual ${TARVO_COMMAND_CHAPTER} ${tarvo_manual_tool}/manual.css
    ${tarvo_manual}
  DEPENDS tarvo_generated ${TARVO_COMMAND_CHAPTER} ${tarvo_manual_sources}
    ${tarvo_manual_tool}/manual_html.py ${tarvo_manual_tool}/manual.css
  COMMENT "Building the manual's page")

# What goes where in the archive: "text" or "binary", the name in the
# archive, the file. A file not there yet stops the layout with its name.
set(tarvo_archive_entries
  "binary\tTarvoCulling.dll\t$<TARGET_FILE:TarvoCulling>"
  "binary\trecording/TarvoCulling.dll\t$<TARGET_FILE:TarvoCullingRecording>"
  "binary\totcull.exe\t$<TARGET_FILE:otcull>"
  "text\tmanual.html\t${tarvo_manual}"
  "text\tCOMMANDS.txt\t${TARVO_COMMAND_REFERENCE}"
  "text\tLICENSE.txt\t${PROJECT_SOURCE_DIR}/LICENSE"
  "text\tCHANGELOG.txt\t${PROJECT_SOURCE_DIR}/CHANGELOG.md")
file(GLOB tarvo_examples CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/examples/*.otc ${PROJECT_SOURCE_DIR}/examples/*.out)
# Watched so that the licence or the change log, once written, joins the build.
file(GLOB tarvo_root_texts CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE
  ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
foreach(example IN LISTS tarvo_examples)
  get_filename_component(name ${example} NAME)
  list(APPEND tarvo_archive_entries "text\texamples/${name}\t${example}")
endforeach()
list(JOIN tarvo_archive_entries "\n" tarvo_archive_manifest)
set(tarvo_archive_list ${PROJECT_BINARY_DIR}/archive-files.txt)
file(GENERATE OUTPUT ${tarvo_archive_list} CONTENT "${tarvo_archive_manifest}\n")

set(tarvo_archive_dir ${PROJECT_BINARY_DIR}/archive)
add_custom_command(OUTPUT ${tarvo_archive_dir}/SHA256SUMS.txt
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${tarvo_archive_list} -DARCHIVE_DIR=${tarvo_archive_dir}
    -P ${CMAKE_CURRENT_LIST_DIR}/StageArchive.cmake
  DEPENDS ${tarvo_archive_list} ${CMAKE_CURRENT_LIST_DIR}/StageArchive.cmake ${tarvo_manual}
    TarvoCulling TarvoCullingRecording otcull tarvo_generated ${TARVO_COMMAND_REFERENCE}
    ${tarvo_examples} ${tarvo_root_texts}
  COMMENT "Laying out the archive's files")
add_custom_target(tarvo_archive ALL DEPENDS ${tarvo_archive_dir}/SHA256SUMS.txt)

install(DIRECTORY ${tarvo_archive_dir}/ DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME TarvoCulling)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME TarvoCulling-${PROJECT_VERSION}-win32)
include(CPack)
