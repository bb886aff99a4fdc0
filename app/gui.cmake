# The Qt editor. One library holds the window logic; the program and the GUI
# tests link it.
add_library(tessane_gui STATIC
    # main window, message boxes, modal interaction
    tessane_main.h tessane_main.cpp
    main_window_look.h main_window_look.cpp
    comment_memo.h
    comment_codec.h comment_codec.cpp
    file_filters.h file_filters.cpp
    settings.h settings.cpp
    Mbox_res.h Mbox_res.cpp
    modal_ui.h modal_ui.cpp
    resources/tessane_main.ui
    # plug-in dialogs: the UI handler for plug-ins, the plug-in information dialog
    qt_ui_handler.h qt_ui_handler.cpp
    host/tessane_plug.h host/tessane_plug.cpp
)
set_target_properties(tessane_gui PROPERTIES
    AUTOMOC ON
    AUTOUIC ON
    AUTOUIC_SEARCH_PATHS ${CMAKE_CURRENT_SOURCE_DIR}/resources)
target_include_directories(tessane_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/host)
target_link_libraries(tessane_gui PUBLIC Qt6::Widgets tessane_host tessane_messages)

# The tool-bar icons and the program's icon, bundled as fallbacks for desktops
# without an icon theme.
file(GLOB TESSANE_ICON_FILES RELATIVE ${CMAKE_CURRENT_SOURCE_DIR}
    ${CMAKE_CURRENT_SOURCE_DIR}/resources/icons/*.png)
if(TESSANE_ICON_FILES)
    qt_add_resources(tessane_gui "tessane_icons"
        PREFIX "/tessane"
        BASE resources
        FILES ${TESSANE_ICON_FILES})
endif()

add_executable(tessane main.cpp)
target_link_libraries(tessane PRIVATE tessane_gui)

# The program, its platform library and its plug-ins lie in one directory:
# the program finds its plug-ins and "tessane.ini" beside itself.
include(GNUInstallDirs)
set(TESSANE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/tessane)
install(TARGETS tessane tessane_platform
    RUNTIME DESTINATION ${TESSANE_INSTALL_DIR}
    LIBRARY DESTINATION ${TESSANE_INSTALL_DIR})
foreach(plugin gif jpeg)
    if(TARGET ${plugin})
        install(TARGETS ${plugin} LIBRARY DESTINATION ${TESSANE_INSTALL_DIR})
    endif()
endforeach()
install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"../${TESSANE_INSTALL_DIR}/tessane\"
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tessane\" SYMBOLIC)")
install(FILES resources/tessane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/icons/tessane-128.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps
    RENAME tessane.png)
