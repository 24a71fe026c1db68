# The layering by folder (numeric -> horn -> rows -> format, recordio, dialogue, python) is
# kept by the include path, not by review. Headers are included by their folder
# ("horn/pattern.hpp"), so the repository root on the include path would show every folder to
# every file. Instead each library's public include folder, in the build tree, holds a link to
# its own source folder and nothing else: a file sees the headers of its own library and of
# the libraries that it links, and a horn/ file that includes a recordio/ header does not
# compile. Libraries defined in another folder's CMakeLists.txt (rows' batch library) reach
# their headers through the library of that folder.
#
# HEADERS lists the headers that the installed package carries (cmake/KelvorInstall.cmake
# installs each library's list), by name, so that nothing is installed by accident.
#   kelvor_public_headers(kelvor_horn horn HEADERS beamwidth.hpp gain.hpp)
function(kelvor_public_headers target folder)
  cmake_parse_arguments(H "" "" "HEADERS" ${ARGN})
  set(root ${PROJECT_BINARY_DIR}/layers/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  get_target_property(type ${target} TYPE)
  set(scope PUBLIC)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(scope INTERFACE)
  endif()
  target_include_directories(${target} ${scope} $<BUILD_INTERFACE:${root}>)
  if(H_HEADERS)
    list(TRANSFORM H_HEADERS PREPEND ${root}/${folder}/)
    target_sources(${target} ${scope} FILE_SET HEADERS BASE_DIRS ${root} FILES ${H_HEADERS})
  endif()
endfunction()
