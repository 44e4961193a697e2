# The release package, installed into a staging folder by tools/release and zipped there:
# the program (stripped by `cmake --install --strip`) and README.txt for whoever unpacks it.
set(SCANCFG_PACKAGE_NAME "scancfg-${PROJECT_VERSION}-win64")
set(SCANCFG_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)

# Windows line ends, so Notepad of any Windows version shows the lines.
configure_file(${CMAKE_CURRENT_LIST_DIR}/README.txt.in ${SCANCFG_RELEASE_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)
# tools/release names the zip after this.
file(CONFIGURE OUTPUT ${SCANCFG_RELEASE_DIR}/package_name CONTENT "${SCANCFG_PACKAGE_NAME}\n")

install(TARGETS scancfg RUNTIME DESTINATION .)
install(FILES ${SCANCFG_RELEASE_DIR}/README.txt DESTINATION .)
