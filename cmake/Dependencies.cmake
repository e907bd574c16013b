# Everything comes from Debian 12 packages; nothing is vendored or downloaded.
find_package(Qt5 5.15 REQUIRED COMPONENTS Core Gui Widgets Network Xml Svg WebKitWidgets
             QuickWidgets Concurrent Test LinguistTools)
find_package(PkgConfig REQUIRED)
find_package(Freetype REQUIRED)
find_package(ZLIB REQUIRED)
find_package(QuaZip-Qt5 REQUIRED)

# Poppler's core classes (PDFDoc, GlobalParams, SplashOutputDev).
pkg_check_modules(POPPLER REQUIRED IMPORTED_TARGET poppler)

# libharu
find_path(HPDF_INCLUDE_DIR hpdf.h REQUIRED)
find_library(HPDF_LIBRARY NAMES hpdf REQUIRED)
add_library(Hpdf::Hpdf UNKNOWN IMPORTED)
set_target_properties(Hpdf::Hpdf PROPERTIES IMPORTED_LOCATION ${HPDF_LIBRARY}
                      INTERFACE_INCLUDE_DIRECTORIES ${HPDF_INCLUDE_DIR})
