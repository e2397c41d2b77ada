# The Debian package: `cpack -G DEB` in the build directory gives
# kelvo_<version>_<arch>.deb with the install tree, stripped.
set(CPACK_PACKAGE_NAME kelvo)
set(CPACK_PACKAGE_VENDOR "the kelvo developers")
set(CPACK_PACKAGE_CONTACT "the kelvo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "surface plotter: z = f(x,y) as a wire mesh with hidden lines removed")
set(CPACK_PACKAGE_DESCRIPTION [[
kelvo draws the graph of z = f(x,y) as a wire mesh in parallel projection
with the hidden lines removed. f(x,y), the box, the mesh, the view, the
colours and the axes are set in two small data sheets; the view turns with
the mouse over an orientation grid; the page is drawn in a plot window or
printed on the default printer.

kelvo-render draws the same page without a window into a PNG, SVG, PDF or
.calls file, or prints it.]])
set(CPACK_GENERATOR DEB)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# shlibdeps finds the Qt libraries, with the SVG icon engine behind the
# window icon, libcups2, and fontconfig, FreeType and HarfBuzz, with which
# kelvo-render measures text without Qt; the xcb and offscreen platform
# plug-ins come with libqt6gui6 on Debian 12. What it cannot see is the font: the page
# asks for Times New Roman, which fontconfig answers with Liberation Serif.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
# Printing goes to a CUPS spooler, on this machine or another.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "cups, qt6-wayland")
include(CPack)
