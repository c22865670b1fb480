# `cmake --install` lays the program out as a desktop program of the prefix:
#   <prefix>/lib/pavonia/           the installation folder: the programs and
#                                   everything the build's installation holds
#   <prefix>/bin/pavonia, pavonia-cli   links to the programs there
#   <prefix>/share/applications/pavonia.desktop
#   <prefix>/share/mime/packages/pavonia.xml   the ".pvp" file type
#   <prefix>/share/icons/hicolor/<n>x<n>/{apps,mimetypes}/...
# The installed folder is read-only for its users: the programs then keep
# their settings and working files in the user's own folders.
set(PAVONIA_INSTALL_APPDIR "lib/pavonia" CACHE STRING "The installation folder under the prefix")

# What a run of the build tree leaves behind is not part of the installation.
install(DIRECTORY ${PAVONIA_INSTALL_DIR}/ DESTINATION ${PAVONIA_INSTALL_APPDIR}
  USE_SOURCE_PERMISSIONS
  REGEX "^${PAVONIA_INSTALL_DIR}/(Temp|User)$" EXCLUDE
  REGEX "^${PAVONIA_INSTALL_DIR}/(PVPreference|voicefilter|Registry)\\.ini$" EXCLUDE)

install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/pavonia.xml DESTINATION share/mime/packages)
install(DIRECTORY ${CMAKE_BINARY_DIR}/desktop/icons/hicolor DESTINATION share/icons)

# The links in bin and the desktop entry name the installation folder as the
# prefix has it at install time (`cmake --install --prefix` may change it).
set(PAVONIA_LINKS_AND_ENTRY [[
  set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  set(appdir "${CMAKE_INSTALL_PREFIX}/@PAVONIA_INSTALL_APPDIR@")
  file(MAKE_DIRECTORY "${root}/bin" "${root}/share/applications")
  foreach(program pavonia pavonia-cli)
    file(CREATE_LINK "../@PAVONIA_INSTALL_APPDIR@/${program}" "${root}/bin/${program}" SYMBOLIC)
  endforeach()
  file(WRITE "${root}/share/applications/pavonia.desktop"
"[Desktop Entry]
Type=Application
Name=Pavonia
GenericName=Presentation Authoring
Comment=Make narrated web presentations with a talking image
Exec=\"${appdir}/pavonia\" %f
Icon=pavonia
Terminal=false
MimeType=application/x-pavonia-project;
Categories=Office;Presentation;
StartupWMClass=pavonia
")
  # Let the desktop know the file type and the icons at once when installing
  # into the running system (packagers run these in their own scripts).
  if("$ENV{DESTDIR}" STREQUAL "")
    find_program(update_mime update-mime-database)
    if(update_mime)
      execute_process(COMMAND ${update_mime} "${root}/share/mime" OUTPUT_QUIET ERROR_QUIET)
    endif()
    find_program(update_desktop update-desktop-database)
    if(update_desktop)
      execute_process(COMMAND ${update_desktop} "${root}/share/applications" OUTPUT_QUIET ERROR_QUIET)
    endif()
  endif()
]])
string(CONFIGURE "${PAVONIA_LINKS_AND_ENTRY}" PAVONIA_LINKS_AND_ENTRY @ONLY)
install(CODE "${PAVONIA_LINKS_AND_ENTRY}")
