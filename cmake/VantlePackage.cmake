# The Debian package, made by CPack from the install rules (packaging/): cpack in a build folder
# gives vantle_VERSION_ARCH.deb.
set(CPACK_PACKAGE_VERSION ${VANTLE_PACKAGE_VERSION})
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${VANTLE_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Vantle developers")
# A .invalid address can never reach anyone (RFC 6761), yet lintian takes it as a well-formed one.
set(CPACK_PACKAGE_CONTACT "Vantle developers <developers@vantle.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "move files between this computer and a phone")
# Lines of the long description, kept under 80 columns for terminals.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Vantle moves files between this computer and a phone running its companion"
    "application, over the local network. It finds phones by DNS-SD or connects"
    "to a typed address, keeps a queue of files and folders to upload, and"
    "browses and downloads the files on the phone."
    ""
    "The package also holds vantle-cli, for scripts and for checking a connection"
    "from a terminal, vantle-phone, a simulated phone for trying the program"
    "without one, and vantle-plist, which prints and converts property lists.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded only at run time, so dpkg-shlibdeps cannot see them: the DNS-SD library is opened by name
# when the program starts, and Qt reads TIFF and SVG images through plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libavahi-compat-libdnssd1, qt6-image-formats-plugins, libqt6svg6")
# Qt's Wayland platform: without it a Wayland desktop runs the window through XWayland, where a
# later start's activation token cannot raise it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "avahi-daemon, qt6-wayland")
# Runs the Nautilus entry (nautilus-python); the other file managers read theirs themselves.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS python3-nautilus)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_STRIP_FILES ON)
include(CPack)
