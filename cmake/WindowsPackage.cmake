# The portable folder for Windows: both executables, the DLLs they need, Qt's plugins and
# German translations (windeployqt), the catalogues and the sample template. `cpack` zips it
# into one folder that runs where it is unpacked.
# vcpkg keeps every DLL of the build, Qt's too, in one folder.
get_target_property(zelmo_qtcore_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(zelmo_dll_folder "${zelmo_qtcore_dll}" DIRECTORY)

install(TARGETS zelmo-livetext zelmo
    RUNTIME_DEPENDENCIES
        PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
        POST_EXCLUDE_REGEXES ".*[/\\\\][Ss]ystem32[/\\\\].*"
        DIRECTORIES ${zelmo_dll_folder}
    RUNTIME DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/data/Tabellen.json ${CMAKE_SOURCE_DIR}/data/Ereignisse.json
              ${CMAKE_SOURCE_DIR}/data/LiveText.json
        DESTINATION .)

if(TARGET Qt6::windeployqt)
    get_target_property(ZELMO_WINDEPLOYQT Qt6::windeployqt IMPORTED_LOCATION)
else()
    get_target_property(zelmo_qmake Qt6::qmake IMPORTED_LOCATION)
    get_filename_component(zelmo_qt_tools "${zelmo_qmake}" DIRECTORY)
    find_program(ZELMO_WINDEPLOYQT windeployqt HINTS ${zelmo_qt_tools} REQUIRED)
endif()
install(CODE "
    execute_process(
        COMMAND \"${ZELMO_WINDEPLOYQT}\" --release --translations de --no-system-d3d-compiler
                --no-opengl-sw --dir \"\${CMAKE_INSTALL_PREFIX}\"
                \"\${CMAKE_INSTALL_PREFIX}/$<TARGET_FILE_NAME:zelmo-livetext>\"
                \"\${CMAKE_INSTALL_PREFIX}/$<TARGET_FILE_NAME:zelmo>\"
        COMMAND_ERROR_IS_FATAL ANY)
")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Zelmo-LiveText)
set(CPACK_PACKAGE_FILE_NAME "Zelmo-LiveText-${PROJECT_VERSION}-win64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
