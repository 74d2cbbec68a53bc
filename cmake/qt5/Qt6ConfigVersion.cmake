# Accepts any version asked for: what is found underneath is Qt 5.15.
set(PACKAGE_VERSION ${Qt5Core_VERSION})
set(PACKAGE_VERSION_COMPATIBLE TRUE)
