# Sources of the signing subsystem, relative to Selvor/. C++ in SELVOR_CXX, views in SELVOR_QML.
list(APPEND SELVOR_CXX
    signing/FileDigest.hpp signing/FileDigest.cpp
    signing/FileHasher.hpp signing/FileHasher.cpp
    signing/DocumentSignViewModel.hpp signing/DocumentSignViewModel.cpp
    signing/CloudProvider.hpp signing/CloudProvider.cpp
    signing/CloudFile.hpp
    signing/ProviderOrigins.hpp signing/ProviderOrigins.cpp
    signing/ProviderRequests.hpp signing/ProviderRequests.cpp
    signing/UploadBody.hpp signing/UploadBody.cpp
    signing/DownloadFile.hpp signing/DownloadFile.cpp
    signing/ReplyStream.hpp signing/ReplyStream.cpp
    signing/TransferAmount.hpp signing/TransferAmount.cpp
    signing/CloudConnector.hpp signing/CloudConnector.cpp
    signing/CloudLinks.hpp signing/CloudLinks.cpp
    signing/ConsentRunner.hpp signing/ConsentRunner.cpp
    signing/PhoneConfirmation.hpp signing/PhoneConfirmation.cpp
    signing/LoadedFile.hpp
    signing/FileCopy.hpp signing/FileCopy.cpp
    signing/CloudSignViewModel.hpp signing/CloudSignViewModel.cpp
)
list(APPEND SELVOR_QML
    signing/DocumentSignView.qml
    signing/CloudSignView.qml
    signing/CloudFileDialog.qml
    signing/ProviderButton.qml
    signing/ErrorLine.qml
    signing/TransferStatus.qml
)
# QML type registration includes headers by file name.
include_directories(${CMAKE_CURRENT_LIST_DIR})
