# Where an installed player's files go (FHS layout under the prefix) and the
# Debian package that `cpack -G DEB` makes from them.
include(GNUInstallDirs)
set(TARNWICK_SHARE ${CMAKE_INSTALL_DATADIR}/tarnwick-album-player)
set(TARNWICK_DOC ${CMAKE_INSTALL_DATADIR}/doc/tarnwick-album-player)

install(TARGETS tarnwick-player album-maker render-transition RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The defaults are built into the player; this copy is for people to read
# and to start a settings file of their own from.
install(FILES data/playerprofile.ini DESTINATION ${TARNWICK_SHARE})
install(FILES data/tarnwick-album-player.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/tarnwick-album-player-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME tarnwick-album-player.xml)
# XScreenSaver reads the settings pages of its hacks from this folder only.
install(FILES data/tarnwick-player.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/xscreensaver/config)

install(FILES data/icons/tarnwick-album-player.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The PNG sizes are made from the SVG: rsvg-convert -w N -h N.
foreach(size 16 24 32 48 64 128 256)
  install(FILES data/icons/tarnwick-album-player-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tarnwick-album-player.png)
endforeach()

# Manual pages and the change log go compressed, without a time stamp, as
# Debian wants them.
set(compressed)
foreach(source man/tarnwick-player.1 man/tarnwick-album-maker.1 man/tarnwick-render-transition.1 debian/changelog)
  get_filename_component(name ${source} NAME)
  set(output ${CMAKE_BINARY_DIR}/compressed/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/compressed
    COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/data/${source} > ${output}
    DEPENDS ${CMAKE_SOURCE_DIR}/data/${source} VERBATIM)
  list(APPEND compressed ${output})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed})
install(FILES ${CMAKE_BINARY_DIR}/compressed/tarnwick-player.1.gz ${CMAKE_BINARY_DIR}/compressed/tarnwick-album-maker.1.gz
              ${CMAKE_BINARY_DIR}/compressed/tarnwick-render-transition.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES data/debian/copyright ${CMAKE_BINARY_DIR}/compressed/changelog.gz DESTINATION ${TARNWICK_DOC})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick-album-player)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tarnwick Album Player maintainers <maintainers@users.noreply.c-seed-03940fea.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo album player with slideshow transitions")
set(CPACK_PACKAGE_DESCRIPTION "Tarnwick Album Player shows electronic photo albums as a slideshow in one
window: each photo comes on through one of eight transition effects, with
background music and a side panel of categories and thumbnails.
It also plays packed albums, runs an album as a screen saver under
XScreenSaver and exports the slideshow as a video (AVI, VideoCD MPEG, MP4).
The album maker makes an album from a folder of photos.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xscreensaver, qt6-image-formats-plugins, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
