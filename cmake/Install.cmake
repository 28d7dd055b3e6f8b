# `cmake --install build --prefix DIR` and the .tar.gz from CPack lay out:
#   DIR/cardel/                     the program; "Salva" writes cardel.txt here
#   DIR/share/applications/         the desktop entry
#   DIR/share/icons/hicolor/        the icons
# The log lives beside the program, so its folder must be one the operator
# can write: a prefix in the home folder (~/.local puts Cardel in the menu),
# never /usr.
set(CARDEL_PROGRAM_DIR cardel)

if(TARGET cardel)
  install(TARGETS cardel RUNTIME DESTINATION ${CARDEL_PROGRAM_DIR})
endif()
if(TARGET cardel-export)
  install(TARGETS cardel-export RUNTIME DESTINATION ${CARDEL_PROGRAM_DIR})
endif()

if(UNIX AND NOT APPLE)
  install(FILES assets/cardel.desktop DESTINATION share/applications)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES assets/icons/cardel-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME cardel.png)
  endforeach()
  install(FILES assets/cardel.svg DESTINATION share/icons/hicolor/scalable/apps)
endif()

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_VENDOR "Cardel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keyboard-first contest logbook for amateur radio")
# Unpacks straight into a prefix: tar -xzf cardel-*.tar.gz -C ~/.local
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
