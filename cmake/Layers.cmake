# The layers depend core <- win <- app. velmo_check_layer(TARGET FORBIDDEN) makes building TARGET fail when one
# of the source or header files of its folder includes what the regular expression FORBIDDEN matches; the check
# runs again whenever one of those files changes.
function(velmo_check_layer target forbidden)
    file(GLOB files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}-layer.stamp)
    string(REPLACE ";" "|" fileList "${files}")
    add_custom_command(
        OUTPUT ${stamp}
        COMMAND ${CMAKE_COMMAND} "-DLAYER=${target}" "-DFORBIDDEN=${forbidden}" "-DFILES=${fileList}"
                "-DSTAMP=${stamp}" -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayer.cmake
        DEPENDS ${files} ${PROJECT_SOURCE_DIR}/cmake/CheckLayer.cmake
        COMMENT "Checking what ${target} includes"
        VERBATIM)
    add_custom_target(${target}_layer DEPENDS ${stamp})
    add_dependencies(${target} ${target}_layer)
endfunction()
