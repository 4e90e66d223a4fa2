# The help file utility.chm, built from help/ with chmcmd (Debian package fp-utils).
#
#   include(cmake/help.cmake)
#   z4_add_help(${CMAKE_BINARY_DIR})    # adds the target z4_help (ALL): <dir>/utility.chm
#
# scripts/build-help.py writes the Shift-JIS table of contents and index, runs chmcmd
# and checks the result with scripts/check-help.py before it puts the file in place,
# so a broken help file fails the build. Without chmcmd or Python 3 nothing is added.

set(Z4_HELP_ROOT "${CMAKE_CURRENT_LIST_DIR}/..")
get_filename_component(Z4_HELP_ROOT "${Z4_HELP_ROOT}" ABSOLUTE)

function(z4_add_help target_dir)
  if(TARGET z4_help)
    message(WARNING "z4_add_help: the help target already exists; ${target_dir} is ignored")
    return()
  endif()
  # Host programs: NO_CMAKE_FIND_ROOT_PATH keeps a cross toolchain from redirecting them.
  find_program(Z4_CHMCMD chmcmd NO_CMAKE_FIND_ROOT_PATH)
  find_program(Z4_PYTHON3 NAMES python3 NO_CMAKE_FIND_ROOT_PATH)
  if(NOT Z4_CHMCMD OR NOT Z4_PYTHON3)
    message(STATUS "utility.chm is not built: chmcmd (fp-utils) or python3 not found")
    return()
  endif()

  set(source_dir "${Z4_HELP_ROOT}/help")
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS "${source_dir}/*")
  set(scripts
    "${Z4_HELP_ROOT}/scripts/build-help.py"
    "${Z4_HELP_ROOT}/scripts/check-help.py")
  set(output "${target_dir}/utility.chm")

  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${Z4_PYTHON3}" "${Z4_HELP_ROOT}/scripts/build-help.py"
            --chmcmd "${Z4_CHMCMD}" --work "${CMAKE_CURRENT_BINARY_DIR}/help-work"
            "${source_dir}" "${output}"
    DEPENDS ${sources} ${scripts}
    COMMENT "Building utility.chm"
    VERBATIM)
  add_custom_target(z4_help ALL DEPENDS "${output}")
endfunction()
