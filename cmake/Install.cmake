# Installation and the Debian package. The stand-in instrument libraries go to
# a private folder, never where a system VISA library would be found; the panel
# finds them through its run path, and a real library earlier on
# LD_LIBRARY_PATH still takes their place.
include(GNUInstallDirs)

# Fixed, not CMAKE_INSTALL_LIBDIR: a multiarch folder would put the stand-ins
# one level away from the loader's default search path, and the run path
# baked into the panel must name the same place on every distribution.
set(SFP_PRIVATE_LIBDIR lib/zelvan-sfp)

# RUNPATH (the project links with --enable-new-dtags), so LD_LIBRARY_PATH wins.
set_target_properties(qv4720sfp PROPERTIES
  INSTALL_RPATH "$ORIGIN/../${SFP_PRIVATE_LIBDIR}")
set_target_properties(visa64 qv4000_64 qv4720_64 zelvan_simbench PROPERTIES
  INSTALL_RPATH "$ORIGIN")

install(TARGETS qv4720sfp RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS visa64 qv4000_64 qv4720_64 zelvan_simbench
  LIBRARY DESTINATION ${SFP_PRIVATE_LIBDIR}
  NAMELINK_SKIP)
install(FILES packaging/zelvan-4720-sfp.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/zelvan-4720-sfp.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
install(DIRECTORY instrument/sim/benches/
  DESTINATION ${CMAKE_INSTALL_DATADIR}/zelvan-sfp/benches)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelvan-4720-sfp)
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
# Dependencies come from the binaries themselves (dpkg-shlibdeps); the
# stand-ins are found in the package through the run path.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
  ${CMAKE_BINARY_DIR}/lib)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
