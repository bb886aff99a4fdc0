# The Qt editor. One library holds the window logic; the program and the GUI
# tests link it.
add_library(tessane_gui STATIC
    # main window, message boxes, modal interaction
    tessane_main.h tessane_main.cpp
    Mbox_res.h Mbox_res.cpp
    modal_ui.h modal_ui.cpp
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

add_executable(tessane main.cpp)
target_link_libraries(tessane PRIVATE tessane_gui)
