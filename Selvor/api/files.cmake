# Sources of the api subsystem, relative to Selvor/. C++ in SELVOR_CXX, views in SELVOR_QML.
list(APPEND SELVOR_CXX
    api/APIClient.cpp api/APIClient.hpp
    api/APIError.cpp api/APIError.hpp
    api/Cancellation.cpp api/Cancellation.hpp
    api/CancelledError.hpp
    api/Endpoint.cpp api/Endpoint.hpp
    api/ErrorText.cpp api/ErrorText.hpp
    api/PollTiming.hpp
    api/Sleep.cpp api/Sleep.hpp
    api/TransportError.hpp
)
