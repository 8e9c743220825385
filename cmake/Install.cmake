# Installation and the Debian package. The stand-in instrument libraries go to
# a private folder, never where a system VISA library would be found; the panel
# finds them through its run path, and a real library earlier on
# LD_LIBRARY_PATH still takes their place.
include(GNUInstallDirs)

# Fixed, not CMAKE_INSTALL_LIBDIR: a multiarch folder would put the stand-ins
# one level away from the loader's default search path, and the run path
# baked into the panel must name the same place on every distribution.
set(SFP_PRIVATE_LIBDIR lib/zelvan-sfp)
set(SFP_PACKAGE_NAME zelvan-4720-sfp)
# Reverse-DNS application id: names the desktop entry, the icon and the
# AppStream metadata alike.
set(SFP_APP_ID com.quorvel.zelvan4720sfp)
set(SFP_STANDINS visa64 qv4000_64 qv4720_64 zelvan_simbench)

# The build tree mirrors the installed layout (bin/ and lib/zelvan-sfp/), so
# the panel and the stand-ins carry their installed run path in both. Had it to
# be rewritten at install, CMake would pad the build-tree run path with empty
# entries, which the loader reads as the current folder. RUNPATH (the project
# links with --enable-new-dtags), so LD_LIBRARY_PATH wins.
set_target_properties(${SFP_STANDINS} PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/${SFP_PRIVATE_LIBDIR}
  INSTALL_RPATH "$ORIGIN"
  BUILD_WITH_INSTALL_RPATH ON)
set_target_properties(qv4720sfp PROPERTIES
  INSTALL_RPATH "$ORIGIN/../${SFP_PRIVATE_LIBDIR}"
  BUILD_WITH_INSTALL_RPATH ON)
# Build trees from before the move keep stale copies, padded run path and all.
foreach(standin ${SFP_STANDINS})
  file(REMOVE ${CMAKE_BINARY_DIR}/lib/lib${standin}.so)
endforeach()

# Compressed documentation, made reproducibly (no name, no time stamp).
set(SFP_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)
function(sfp_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9n -c ${source} > ${output}
    DEPENDS ${source} VERBATIM)
endfunction()
sfp_gzip(${CMAKE_SOURCE_DIR}/softfrontpanel/qv4720sfp.1 ${SFP_PACKAGING_OUT}/qv4720sfp.1.gz)
sfp_gzip(${CMAKE_SOURCE_DIR}/packaging/changelog ${SFP_PACKAGING_OUT}/changelog.gz)
file(MAKE_DIRECTORY ${SFP_PACKAGING_OUT})
add_custom_target(sfp_install_docs ALL
  DEPENDS ${SFP_PACKAGING_OUT}/qv4720sfp.1.gz ${SFP_PACKAGING_OUT}/changelog.gz)
# Everything the install rules take from the build tree, for building just that.
add_custom_target(sfp_installed DEPENDS qv4720sfp qv4720fp_plot ${SFP_STANDINS} sfp_install_docs)

# 0755 folders whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS qv4720sfp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Shared libraries are not programs: 0644, as Debian installs them.
install(TARGETS ${SFP_STANDINS}
  LIBRARY DESTINATION ${SFP_PRIVATE_LIBDIR}
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  NAMELINK_SKIP)
# The sequence window's plot, loaded when that window opens.
install(TARGETS qv4720fp_plot
  LIBRARY DESTINATION ${SFP_PRIVATE_LIBDIR}
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${SFP_PACKAGING_OUT}/qv4720sfp.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES softfrontpanel/qv4720sfp.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME qv4720sfp)
install(FILES packaging/copyright ${SFP_PACKAGING_OUT}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${SFP_PACKAGE_NAME})
install(FILES packaging/${SFP_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${SFP_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 64 128)
  install(FILES packaging/icons/${size}x${size}/${SFP_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES packaging/icons/scalable/${SFP_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY instrument/sim/benches/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/zelvan-sfp/benches)
# What a script reading --list --json may check it against.
install(FILES softfrontpanel/qv4720sfp-list.schema.json
  DESTINATION ${CMAKE_INSTALL_DATADIR}/zelvan-sfp)

# The network server as a service, disabled until the administrator names the
# card and enables it.
install(FILES packaging/qv4720sfp.service DESTINATION /lib/systemd/system)
install(FILES packaging/qv4720sfp.default DESTINATION /etc/default RENAME qv4720sfp)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${SFP_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Quorvel support <support@quorvel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Soft front panel for the Zelvan 4720 8-channel, 18-bit DAC function card")
# The summary above is the first line; this is the long description.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Finds the card through VISA (automatic search or typed resource descriptors),
or runs without hardware in demo mode; sets the output voltage of each of the
eight channels, resets the card and shows its identity.
.
Stand-ins for the VISA, carrier and driver libraries that simulate a bench of
instruments are installed in a private folder; the maker's real libraries
placed earlier on LD_LIBRARY_PATH take their place.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies come from the binaries themselves (dpkg-shlibdeps), but found by
# our own script: CPack's own pass (CPACK_DEBIAN_PACKAGE_SHLIBDEPS) also adds
# ldconfig maintainer scripts for any library below /usr/lib, private or not,
# and the package needs no maintainer script at all.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
# Loaded at run time, so invisible to dpkg-shlibdeps, yet the panel shows no
# window without it; Qt only recommends it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/packaging/cpack_prebuild.cmake)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/conffiles)
include(CPack)
