# tarvo_bundle_script(OUTPUT ROOT MODULE ...): joins the page's script
# modules (ES modules under ROOT, listed so that each comes after those it
# imports) into one self-contained script, so that the page needs no module
# loader and makes no request. The modules share one function scope: their
# import lines are dropped and `export` is struck from their declarations.
# An import of a module not listed before the importer stops the configure,
# so that the order cannot silently break the page. Done at configure time,
# like tarvo_embed_text; an edit of a module configures again.
function(tarvo_bundle_script output root)
  set(body "// Written by CMake (cmake/BundleScript.cmake) from the modules under\n")
  string(APPEND body "// ${root}.\n(function () {\n'use strict';\n")
  set(seen "")
  foreach(module IN LISTS ARGN)
    set(path "${root}/${module}")
    file(READ "${path}" text)
    get_filename_component(folder "${module}" DIRECTORY)
    # Without the semicolons, which would split the list.
    string(REGEX MATCHALL "\nimport [^\n;]*" imports "\n${text}")
    foreach(line IN LISTS imports)
      if(NOT line MATCHES "from '([^']+)'$")
        message(FATAL_ERROR "${path}: an import must be one line ending in from '...';\n${line}")
      endif()
      get_filename_component(target "${root}/${folder}/${CMAKE_MATCH_1}" ABSOLUTE)
      file(RELATIVE_PATH target "${root}" "${target}")
      if(NOT target IN_LIST seen)
        message(FATAL_ERROR "${path} imports ${target}, which is not listed before it")
      endif()
    endforeach()
    string(REGEX REPLACE "\nimport [^\n]*" "" text "\n${text}")
    string(REGEX REPLACE "\nexport " "\n" text "${text}")
    string(APPEND body "\n// ---- ${module}${text}")
    list(APPEND seen "${module}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${path}")
  endforeach()
  string(APPEND body "}());\n")
  file(WRITE "${output}.new" "${body}")
  configure_file("${output}.new" "${output}" COPYONLY)
endfunction()
