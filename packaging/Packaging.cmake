# The Debian package: `cpack -G DEB` in a build folder configured with CMAKE_INSTALL_PREFIX=/usr
# (the "package" preset does both).
set(CPACK_PACKAGE_NAME sprelio)
set(CPACK_PACKAGE_VENDOR "The Sprelio developers")
set(CPACK_PACKAGE_CONTACT "The Sprelio developers <sprelio@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "typing tool for phonetic transcription")
set(CPACK_PACKAGE_DESCRIPTION
    "Sprelio shows palettes of IPA symbols, combines diacritics with the symbol they belong to, and\n\
puts the transcription on the clipboard as rich text in its bundled phonetic fonts, Lautbild Serif\n\
and Lautbild Sans Serif, ready to paste into a word processor. German and English interface.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://sprelio.example.org")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The dialogs' standard buttons come translated from Qt's own catalogues; fontconfig makes the fonts
# known to every program.
# The last active window target types its paste with the XTest extension.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n, fontconfig, qt6-qpa-plugins, libxtst6")
# On a Wayland desktop without an X server beside it, the window needs Qt's Wayland plugin; the help
# documents and the homepage open in the desktop's own viewer and browser through xdg-open;
# sprelio-convert sets the Unicode IPA it makes in Charis SIL by default.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils, fonts-sil-charis")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_LIST_DIR}/debian/postinst ${CMAKE_CURRENT_LIST_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
