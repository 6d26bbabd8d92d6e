# Shared by the mingw-w64 toolchain files, which set VZRM_MINGW_TRIPLE first. The posix thread
# model gives std::thread and std::mutex; everything is linked statically so the binaries need
# no DLL that a Windows machine lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${VZRM_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VZRM_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VZRM_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VZRM_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(VZRM_OBJDUMP ${VZRM_MINGW_TRIPLE}-objdump)
