# tessane_add_plugin(NAME SOURCES...)
# A comment plug-in is a MODULE library named NAME.cpi (no lib prefix) that
# exports exactly the five interface functions; everything else is hidden by
# the version script.
function(tessane_add_plugin name)
    add_library(${name} MODULE ${ARGN})
    set_target_properties(${name} PROPERTIES
        PREFIX ""
        SUFFIX ".cpi"
        C_VISIBILITY_PRESET hidden
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${PROJECT_SOURCE_DIR}/interface/cpi1.map)
    target_link_options(${name} PRIVATE
        -Wl,--version-script=${PROJECT_SOURCE_DIR}/interface/cpi1.map)
    if(NOT TESSANE_SANITIZE AND NOT TESSANE_FUZZ)
        # ASan's runtime lives in the executable, so -z defs cannot hold there.
        target_link_options(${name} PRIVATE -Wl,-z,defs)
    endif()
    target_link_libraries(${name} PRIVATE tessane_interface tessane_platform)
endfunction()
