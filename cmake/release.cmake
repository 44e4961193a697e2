# The release package, installed into a staging folder by tools/release and zipped there:
# the program (stripped by `cmake --install --strip`) and README.txt for whoever unpacks it.
# win32 or win64 after the pointer size of the target: the 32-bit program runs on every
# Windows, the 64-bit one only on 64-bit Windows.
# README.txt says which of the two this is, and what the other is for (a line each).
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(SCANCFG_PACKAGE_ARCH win64)
  set(SCANCFG_README_THIS_ZH "本程序为 64 位版本（win64），只能在 64 位 Windows 上运行；")
  set(SCANCFG_README_OTHER_ZH "32 位版本（win32）可在所有 Windows 上运行。")
  set(SCANCFG_README_THIS_EN "This is the 64-bit program (win64): it runs on 64-bit Windows only;")
  set(SCANCFG_README_OTHER_EN "the 32-bit one (win32) runs on every Windows.")
else()
  set(SCANCFG_PACKAGE_ARCH win32)
  set(SCANCFG_README_THIS_ZH "本程序为 32 位版本（win32），可在所有 Windows（32 位和 64 位）上运行；")
  set(SCANCFG_README_OTHER_ZH "64 位版本（win64）只能在 64 位 Windows 上运行。")
  set(SCANCFG_README_THIS_EN "This is the 32-bit program (win32): it runs on every Windows, 32- or 64-bit;")
  set(SCANCFG_README_OTHER_EN "the 64-bit one (win64) on 64-bit Windows only.")
endif()
set(SCANCFG_PACKAGE_NAME "scancfg-${PROJECT_VERSION}-${SCANCFG_PACKAGE_ARCH}")
set(SCANCFG_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)

# Windows line ends, so Notepad of any Windows version shows the lines.
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${SCANCFG_RELEASE_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
# tools/release names the zip after this.
file(CONFIGURE OUTPUT ${SCANCFG_RELEASE_DIR}/package_name CONTENT "${SCANCFG_PACKAGE_NAME}\n")

install(TARGETS scancfg RUNTIME DESTINATION .)
install(FILES ${SCANCFG_RELEASE_DIR}/README.txt DESTINATION .)
