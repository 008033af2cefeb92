# What a system-wide install holds besides the two programs, and the Debian
# package of it all (`make package`, or cpack in the build folder).

set(ZENTORA_HOMEPAGE "https://zentora.invalid" CACHE STRING
  "Where the project is published; the AppStream screenshots are its docs/*.png")

# The package's changelog names the version being packaged, so a new version
# cannot be packaged without a word about it.
set(changelog ${PROJECT_SOURCE_DIR}/packaging/changelog)
file(STRINGS ${changelog} changelog_lines)
list(GET changelog_lines 0 changelog_head)
if(NOT changelog_head MATCHES "^zentora \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog does not begin with version ${PROJECT_VERSION}")
endif()
list(FILTER changelog_lines INCLUDE REGEX "^ -- ")
list(GET changelog_lines 0 changelog_signature)
string(REGEX MATCH "[0-9]+ [A-Z][a-z][a-z] [0-9]+" changelog_day "${changelog_signature}")
string(REPLACE " " ";" changelog_day "${changelog_day}")
list(GET changelog_day 0 release_day)
list(GET changelog_day 1 release_month_name)
list(GET changelog_day 2 release_year)
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months ${release_month_name} release_month)
math(EXPR release_month "${release_month} + 1" OUTPUT_FORMAT DECIMAL)
string(LENGTH "${release_day}" day_digits)
if(day_digits EQUAL 1)
  set(release_day "0${release_day}")
endif()
if(release_month LESS 10)
  set(release_month "0${release_month}")
endif()
set(ZENTORA_RELEASE_VERSION ${PROJECT_VERSION})
set(ZENTORA_RELEASE_DATE "${release_year}-${release_month}-${release_day}")

set(metainfo ${CMAKE_BINARY_DIR}/packaging/org.zentora.zentora.metainfo.xml)
configure_file(packaging/org.zentora.zentora.metainfo.xml.in ${metainfo} @ONLY)

# Manual pages from the programs' own --help, remade whenever a program is.
find_program(HELP2MAN help2man REQUIRED)
set(man_dir ${CMAKE_BINARY_DIR}/packaging/man)
set(man_pages)
foreach(program zentora zentora-cli)
  if(program STREQUAL zentora)
    set(summary "edit and download the resources of the Zentora LCD display module")
  else()
    set(summary "compile and download resources for the Zentora LCD display module")
  endif()
  set(page ${man_dir}/${program}.1.gz)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${man_dir}
    COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/manpage.sh $<TARGET_FILE:${program}>
      ${summary} ${page} ${PROJECT_SOURCE_DIR}/packaging/${program}.h2m
    DEPENDS ${program} ${PROJECT_SOURCE_DIR}/packaging/manpage.sh
      ${PROJECT_SOURCE_DIR}/packaging/${program}.h2m
    COMMENT "Writing the manual page of ${program}"
    VERBATIM)
  list(APPEND man_pages ${page})
endforeach()
set(changelog_gz ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${changelog_gz}
  COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh ${changelog} ${changelog_gz}
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(zentora_packaging_files ALL DEPENDS ${man_pages} ${changelog_gz})

set(doc_dir share/doc/zentora)
install(FILES packaging/60-zentora-module.rules DESTINATION lib/udev/rules.d)
# The desktop entry opens .zentoraprj files with the program.
install(FILES packaging/zentora.desktop DESTINATION share/applications)
install(FILES packaging/zentora-project.xml DESTINATION share/mime/packages)
install(FILES src/app/resources/zentora.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${metainfo} DESTINATION share/metainfo)
install(FILES ${man_pages} DESTINATION share/man/man1)
install(FILES packaging/zentora-cli.bash-completion
  DESTINATION share/bash-completion/completions RENAME zentora-cli)
install(FILES packaging/copyright ${changelog_gz} DESTINATION ${doc_dir})

# find_package(Zentora) for firmware builds. The tool is found relative to
# the package file, so a tree installed under any prefix or staging folder
# works; the version check ignores the pointer size, since a firmware build
# for a 32-bit target runs the tool of the machine that builds it.
include(CMakePackageConfigHelpers)
set(cmake_package_dir lib/cmake/Zentora)
set(ZENTORA_CLI bin/zentora-cli)
configure_package_config_file(cmake/ZentoraConfig.cmake.in
  ${CMAKE_BINARY_DIR}/packaging/ZentoraConfig.cmake
  INSTALL_DESTINATION ${cmake_package_dir} PATH_VARS ZENTORA_CLI)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/packaging/ZentoraConfigVersion.cmake
  COMPATIBILITY SameMinorVersion ARCH_INDEPENDENT)
install(FILES ${CMAKE_BINARY_DIR}/packaging/ZentoraConfig.cmake
  ${CMAKE_BINARY_DIR}/packaging/ZentoraConfigVersion.cmake DESTINATION ${cmake_package_dir})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zentora developers <zentora@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "resource editor and downloader for an LCD display module")
set(CPACK_PACKAGE_DESCRIPTION [=[
Zentora助手 gathers pictures (BMP, JPEG, GIF, PNG, TIFF) and WAV sounds into
a project, packs their pixels as the Zentora LCD display module expects
(16-bit RGB565 or 24-bit RGB, byte and scan order), compiles them into the
module's resource files and downloads them over USB. Its font tools turn
installed fonts into packed 1-bit glyphs and bitmap font libraries.

zentora is the desktop program; zentora-cli runs the same compiler,
download and font tools for scripts and build servers.]=])
set(CPACK_PACKAGE_FILE_NAME zentora)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Chinese glyphs for the interface and the font tools.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-arphic-uming)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/postinst ${PROJECT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
