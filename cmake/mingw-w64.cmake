# Cross-compiles for 64-bit Windows with Debian's mingw-w64 compilers, into
# self-contained executables: no compiler runtime DLLs to carry into Wine.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-compilers.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
