# The same Windows programs built for 64-bit Windows. The player and the shipped plug-in are
# 32-bit; this build exists so the Wine test tier can run on machines whose kernel cannot run
# 32-bit code (there 32-bit Wine cannot start at all).
set(VZRM_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
