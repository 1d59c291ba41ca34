# The RPM's fields, for `cpack -G RPM` (rpmbuild, from Debian's rpm package).
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_RELEASE 1)
set(CPACK_RPM_PACKAGE_SUMMARY "Console CPU benchmark: the first 15,000,000 primes by trial division")
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_GROUP "Applications/System")
set(CPACK_RPM_PACKAGE_URL "https://primebench.invalid/")
set(CPACK_RPM_PACKAGE_DESCRIPTION ${PRIMEBENCH_DESCRIPTION})
# Installed under /usr, CPack's prefix for an RPM.
set(CPACK_RPM_USER_FILELIST "%license /usr/${CMAKE_INSTALL_DATAROOTDIR}/licenses/${PROJECT_NAME}/LICENSE"
                            "%doc /usr/${CMAKE_INSTALL_DOCDIR}/changelog.gz")
# Directories of the system's own, which the package must not claim.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/${CMAKE_INSTALL_MANDIR} /usr/${CMAKE_INSTALL_MANDIR}/man1
    /usr/${CMAKE_INSTALL_DATAROOTDIR}/licenses)
# The program goes in as CPack stripped it, the very bytes that were tested:
# no second strip by rpmbuild, and no debug package.
set(CPACK_RPM_SPEC_MORE_DEFINE "%define __os_install_post %{nil}\n%define debug_package %{nil}
%define packager ${CPACK_DEBIAN_PACKAGE_MAINTAINER}")

# %changelog from the Debian changelog, the one record of the releases: for
# each entry its date and signer, then its items as a list.
file(READ ${PROJECT_SOURCE_DIR}/packaging/changelog changelog)
string(REPLACE ";" "<semicolon>" changelog "${changelog}")
string(REPLACE "\n" ";" changelog_lines "${changelog}")
set(rpm_changelog "")
foreach(line IN LISTS changelog_lines)
  if(line MATCHES "^${PROJECT_NAME} \\(([^)]+)\\)")
    set(entry_version ${CMAKE_MATCH_1})
    set(entry_items "")
  elseif(line MATCHES "^  \\* (.*)")
    string(APPEND entry_items "- ${CMAKE_MATCH_1}\n")
  elseif(line MATCHES "^    (.*)")
    string(APPEND entry_items "  ${CMAKE_MATCH_1}\n")
  elseif(line MATCHES "^ -- (.+>)  ([A-Z][a-z][a-z]), ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9]+) ")
    string(APPEND rpm_changelog "* ${CMAKE_MATCH_2} ${CMAKE_MATCH_4} ${CMAKE_MATCH_3} ${CMAKE_MATCH_5} "
                                "${CMAKE_MATCH_1} - ${entry_version}-1\n${entry_items}\n")
  endif()
endforeach()
string(REPLACE "<semicolon>" ";" rpm_changelog "${rpm_changelog}")
file(WRITE ${PROJECT_BINARY_DIR}/rpm-changelog "${rpm_changelog}")
set(CPACK_RPM_CHANGELOG_FILE ${PROJECT_BINARY_DIR}/rpm-changelog)
