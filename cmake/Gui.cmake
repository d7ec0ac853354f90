# The desktop program: the windows in src/run, src/dialogs and src/shell form the
# library corvane_gui (so the GUI tests can link the real windows); corvane adds main().
find_package(Qt6 REQUIRED COMPONENTS Widgets)
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)

file(GLOB CORVANE_GUI_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/src/run/*.cpp ${PROJECT_SOURCE_DIR}/src/run/*.h
  ${PROJECT_SOURCE_DIR}/src/dialogs/*.cpp ${PROJECT_SOURCE_DIR}/src/dialogs/*.h
  ${PROJECT_SOURCE_DIR}/src/shell/*.cpp ${PROJECT_SOURCE_DIR}/src/shell/*.h
  ${PROJECT_SOURCE_DIR}/src/shell/*.qrc)
list(FILTER CORVANE_GUI_SOURCES EXCLUDE REGEX ".*/src/shell/main\\.cpp$")

add_library(corvane_gui STATIC ${CORVANE_GUI_SOURCES})
target_include_directories(corvane_gui PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(corvane_gui PUBLIC corvane_core Qt6::Widgets PRIVATE corvane_options)
target_compile_definitions(corvane_gui PUBLIC
  CORVANE_VERSION="${PROJECT_VERSION}" QT_NO_KEYWORDS)

add_executable(corvane ${PROJECT_SOURCE_DIR}/src/shell/main.cpp)
target_link_libraries(corvane PRIVATE corvane_gui corvane_options)
install(TARGETS corvane RUNTIME DESTINATION bin)

# The desktop entry and the icon in the sizes the icon themes look for.
install(FILES ${PROJECT_SOURCE_DIR}/src/shell/corvane.desktop DESTINATION share/applications)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/src/shell/icons/corvane-${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME corvane.png)
endforeach()
