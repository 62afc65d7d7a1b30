# Sources of the signing subsystem, relative to Selvor/. C++ in SELVOR_CXX, views in SELVOR_QML.
list(APPEND SELVOR_CXX
    signing/FileDigest.hpp signing/FileDigest.cpp
    signing/FileHasher.hpp signing/FileHasher.cpp
    signing/DocumentSignViewModel.hpp signing/DocumentSignViewModel.cpp
)
list(APPEND SELVOR_QML
    signing/DocumentSignView.qml
)
# QML type registration includes headers by file name.
include_directories(${CMAKE_CURRENT_LIST_DIR})
