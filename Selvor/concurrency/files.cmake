# Sources of the threading helpers the subsystems share, relative to Selvor/.
list(APPEND SELVOR_CXX
    concurrency/WorkerThread.hpp concurrency/WorkerThread.cpp
)
