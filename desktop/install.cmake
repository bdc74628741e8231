# What `cmake --install` puts where, and the Debian package built from it.
#
#   bin/orbakaraoke
#   lib/orbakaraoke/*.so                  the modules loaded on first use (platform/modules.h)
#   share/applications/org.orbakaraoke.Player.desktop
#   share/metainfo/org.orbakaraoke.Player.metainfo.xml
#   share/icons/hicolor/{scalable,48x48,128x128,256x256}/apps/orbakaraoke.{svg,png}
#   share/man/man1/orbakaraoke.1.gz       (from --help, by help2man)
#   share/orbakaraoke/                    the demo song, its pictures, the examples
#   share/doc/orbakaraoke/                copyright and changelog
#
# The player finds share/orbakaraoke/ from its own folder (installlayout.h).
# Included by the top folder's list after every target is defined, so that
# CPack's files land at the top of the build.

set(here ${CMAKE_CURRENT_LIST_DIR})
set(ORBA_APP_ID org.orbakaraoke.Player)
set(desktop_out ${CMAKE_BINARY_DIR}/desktop/install)

# The icon sizes, drawn from the one SVG.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(icon_outputs "")
foreach(size 48 128 256)
  set(png ${desktop_out}/icons/${size}/orbakaraoke.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${desktop_out}/icons/${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} ${here}/orbakaraoke.svg -o ${png}
    DEPENDS ${here}/orbakaraoke.svg
    VERBATIM)
  list(APPEND icon_outputs ${png})
endforeach()

# The manual page, written from the program's own --help and --version.
find_program(HELP2MAN help2man REQUIRED)
set(manpage ${desktop_out}/orbakaraoke.1)
add_custom_command(OUTPUT ${manpage}.gz
  COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1
          --name=karaoke\ player\ that\ shows\ a\ song's\ lyrics\ as\ it\ plays
          --output=${manpage} $<TARGET_FILE:orbakaraoke>
  COMMAND gzip -9nf ${manpage}
  DEPENDS orbakaraoke
  VERBATIM)

configure_file(${here}/${ORBA_APP_ID}.metainfo.xml ${desktop_out}/${ORBA_APP_ID}.metainfo.xml @ONLY)
# A Debian package carries its change log compressed, without a time stamp
# (a native package: no Debian revision, so plainly "changelog").
configure_file(${here}/changelog.in ${desktop_out}/changelog @ONLY)
add_custom_command(OUTPUT ${desktop_out}/changelog.gz
  COMMAND gzip -9nkf ${desktop_out}/changelog
  DEPENDS ${desktop_out}/changelog
  VERBATIM)

add_custom_target(orba_install_files ALL
  DEPENDS ${icon_outputs} ${manpage}.gz ${desktop_out}/changelog.gz)

set(share ${CMAKE_INSTALL_DATADIR})
install(TARGETS orbakaraoke RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Found from the program's own folder as ../lib/orbakaraoke, whatever the
# prefix; dpkg-shlibdeps reads their libraries into the package's Depends.
install(TARGETS orba_cdg_ffmpeg orba_midi_fluidsynth orba_pitch_aubio orba_zip_libzip
        LIBRARY DESTINATION lib/orbakaraoke)
install(FILES ${here}/${ORBA_APP_ID}.desktop DESTINATION ${share}/applications)
install(FILES ${desktop_out}/${ORBA_APP_ID}.metainfo.xml DESTINATION ${share}/metainfo)
install(FILES ${here}/orbakaraoke.svg DESTINATION ${share}/icons/hicolor/scalable/apps)
foreach(size 48 128 256)
  install(FILES ${desktop_out}/icons/${size}/orbakaraoke.png
          DESTINATION ${share}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${manpage}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/demo/demo.mp3 ${PROJECT_SOURCE_DIR}/demo/demo_t.txt
        DESTINATION ${share}/orbakaraoke)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/demo/okaraimg ${PROJECT_SOURCE_DIR}/demo/examples
        DESTINATION ${share}/orbakaraoke)
install(FILES ${here}/copyright ${desktop_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# cpack -G DEB: the library dependencies come from the program itself
# (dpkg-shlibdeps). What it loads at run time without linking it (the Qt
# window-system plugins, GStreamer's decoders, fonts and a MIDI sound font)
# cannot be found that way and is named here.
set(CPACK_PACKAGE_NAME orbakaraoke)
set(CPACK_PACKAGE_VENDOR "The ORBA Karaoke Player team")
set(CPACK_PACKAGE_CONTACT "The ORBA Karaoke Player team <team@orbakaraoke.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "karaoke player that shows a song's lyrics as it plays")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${here}/description.txt)
set(CPACK_PACKAGE_HOMEPAGE_URL "https://orbakaraoke.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "gstreamer1.0-plugins-ugly, gstreamer1.0-libav, timgm6mb-soundfont | fluid-soundfont-gm, fonts-ipafont-gothic, fonts-liberation2")
include(CPack)
