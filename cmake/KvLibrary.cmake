# kv_library(<name> [DEPS <targets>...])
# A static library of every .cpp below the calling folder. A folder with no
# sources yet becomes an interface target so the layer list stays the same.
function(kv_library name)
  cmake_parse_arguments(KV "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER srcs INCLUDE REGEX "\\.(cpp|qrc)$")
  if(srcs)
    file(GLOB_RECURSE hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${srcs} ${hdrs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${KV_DEPS}
      Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network Qt6::SerialPort Qt6::PrintSupport)
    if(KV_SECOND_BRAND)
      target_compile_definitions(${name} PUBLIC KV_SECOND_BRAND=1)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${KV_DEPS})
  endif()
endfunction()
