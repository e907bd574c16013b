# Everything comes from Debian 12 packages; nothing is vendored or downloaded.
find_package(Qt5 5.15 REQUIRED COMPONENTS Core Gui Widgets Network Xml Svg WebKitWidgets
             QuickWidgets Concurrent Test LinguistTools)
find_package(PkgConfig REQUIRED)
find_package(Freetype REQUIRED)
find_package(ZLIB REQUIRED)
find_package(QuaZip-Qt5 REQUIRED)

# Poppler's core classes (PDFDoc, GlobalParams, SplashOutputDev).
pkg_check_modules(POPPLER REQUIRED IMPORTED_TARGET poppler)

# Qwt's pkg-config file is broken on Debian 12: look for it directly.
find_path(QWT_INCLUDE_DIR qwt_curve_fitter.h PATHS /usr/include/qwt PATH_SUFFIXES qwt REQUIRED)
find_library(QWT_LIBRARY NAMES qwt-qt5 REQUIRED)
add_library(Qwt::Qwt UNKNOWN IMPORTED)
set_target_properties(Qwt::Qwt PROPERTIES IMPORTED_LOCATION ${QWT_LIBRARY}
                      INTERFACE_INCLUDE_DIRECTORIES ${QWT_INCLUDE_DIR})
target_link_libraries(Qwt::Qwt INTERFACE Qt5::Widgets)

# libharu
find_path(HPDF_INCLUDE_DIR hpdf.h REQUIRED)
find_library(HPDF_LIBRARY NAMES hpdf REQUIRED)
add_library(Hpdf::Hpdf UNKNOWN IMPORTED)
set_target_properties(Hpdf::Hpdf PROPERTIES IMPORTED_LOCATION ${HPDF_LIBRARY}
                      INTERFACE_INCLUDE_DIRECTORIES ${HPDF_INCLUDE_DIR})
