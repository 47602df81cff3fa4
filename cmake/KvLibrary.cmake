# kv_library(<name> [DEPS <targets>...] [QT <modules>...] [QT_PRIVATE <modules>...])
# A static library of every .cpp below the calling folder. A folder with no
# sources yet becomes an interface target so the layer list stays the same.
# QT names the Qt modules the folder's code may use (its headers see only
# these); QT_PRIVATE the modules only its .cpp files use (their headers do
# not reach the folders above). Without QT a folder may use every module.
# A subfolder with a CMakeLists.txt of its own is a library of its own (e.g.
# a view's model code below its windows) and is left out of the folder's.
function(kv_library name)
  cmake_parse_arguments(KV "" "" "DEPS;QT;QT_PRIVATE" ${ARGN})
  if(NOT KV_QT)
    set(KV_QT Core Gui Widgets Network SerialPort PrintSupport)
  endif()
  list(TRANSFORM KV_QT PREPEND Qt6:: OUTPUT_VARIABLE qt_public)
  list(TRANSFORM KV_QT_PRIVATE PREPEND Qt6:: OUTPUT_VARIABLE qt_private)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  file(GLOB_RECURSE sublists CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/CMakeLists.txt)
  foreach(sublist ${sublists})
    get_filename_component(subdir ${sublist} DIRECTORY)
    list(FILTER srcs EXCLUDE REGEX "^${subdir}/")
  endforeach()
  list(FILTER srcs INCLUDE REGEX "\\.(cpp|qrc)$")
  if(srcs)
    file(GLOB_RECURSE hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    foreach(sublist ${sublists})
      get_filename_component(subdir ${sublist} DIRECTORY)
      list(FILTER hdrs EXCLUDE REGEX "^${subdir}/")
    endforeach()
    add_library(${name} STATIC ${srcs} ${hdrs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${KV_DEPS} ${qt_public})
    if(qt_private)
      target_link_libraries(${name} PRIVATE ${qt_private})
    endif()
    if(KV_SECOND_BRAND)
      target_compile_definitions(${name} PUBLIC KV_SECOND_BRAND=1)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${KV_DEPS})
  endif()
endfunction()
