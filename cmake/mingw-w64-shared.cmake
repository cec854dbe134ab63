# Cross-compiles for 64-bit Windows against DLLs (Qt's), so the compiler's
# runtime is shared as well: one libstdc++ for Qt and the program. The DLLs
# of that runtime are carried beside the executable.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-compilers.cmake)
