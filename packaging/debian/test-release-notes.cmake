# Checks the changelog and copyright conversion: cmake -DCASE=<case> -P test-release-notes.cmake
# with CASE one of dates, changelog, copyright, or a bad input that must stop the build:
# bad-line, old-version, no-release, no-holder.
include(${CMAKE_CURRENT_LIST_DIR}/release-notes.cmake)
set(PROJECT_VERSION 1.0.2)
set(PROJECT_NAME Norvane)
set(dir ${CMAKE_CURRENT_BINARY_DIR}/release-notes-${CASE})
file(REMOVE_RECURSE ${dir})
file(MAKE_DIRECTORY ${dir})

function(expect_equal what got expected)
  if(NOT got STREQUAL expected)
    message(FATAL_ERROR "${what}:\n got      '${got}'\n expected '${expected}'")
  endif()
endfunction()

# Leap days, century years and the months before March, where weekday rules go wrong.
if(CASE STREQUAL dates)
  foreach(row "2026 12 07|Mon, 07 Dec 2026" "2000 02 29|Tue, 29 Feb 2000" "2024 01 01|Mon, 01 Jan 2024"
              "2023 03 01|Wed, 01 Mar 2023" "1900 03 01|Thu, 01 Mar 1900" "2100 02 28|Sun, 28 Feb 2100"
              "2027 01 31|Sun, 31 Jan 2027" "2028 02 29|Tue, 29 Feb 2028" "2026 02 01|Sun, 01 Feb 2026")
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 date)
    list(GET row 1 expected)
    string(REPLACE " " ";" date "${date}")
    norvane_rfc2822_date(${date} stamp)
    expect_equal("${date}" "${stamp}" "${expected} 00:00:00 +0000")
  endforeach()
  return()
endif()

set(contact "Maker <m@example.org>")
set(heading "# Changelog\n\nSome words; about the file.\n\n")
if(CASE STREQUAL changelog)
  file(WRITE ${dir}/CHANGELOG.md
       "${heading}## 1.0.2 (2026-12-07)\n\n- One change; with a semicolon,\n  and a second line.\n"
       "- Another.\n\n## 1.0.1 (2025-02-28)\n\n- Earlier.\n")
  norvane_debian_changelog(${dir}/CHANGELOG.md ${dir}/changelog "${contact}")
  file(READ ${dir}/changelog got)
  string(CONCAT expected
               "norvane (1.0.2) unstable; urgency=medium\n\n"
               "  * One change; with a semicolon,\n    and a second line.\n  * Another.\n\n"
               " -- Maker <m@example.org>  Mon, 07 Dec 2026 00:00:00 +0000\n\n"
               "norvane (1.0.1) unstable; urgency=medium\n\n  * Earlier.\n\n"
               " -- Maker <m@example.org>  Fri, 28 Feb 2025 00:00:00 +0000\n")
  expect_equal(changelog "${got}" "${expected}")
  expect_equal("release date" "${NORVANE_RELEASE_DATE}" 2026-12-07)
elseif(CASE STREQUAL copyright)
  file(WRITE ${dir}/LICENSE "MIT License\n\nCopyright (c) 2026 Maker\n\nFirst paragraph,\ntwo lines.\n\nSecond.\n")
  norvane_debian_copyright(${dir}/LICENSE ${dir}/copyright "${contact}")
  file(READ ${dir}/copyright got)
  string(CONCAT expected
         "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
         "Upstream-Name: Norvane\nUpstream-Contact: Maker <m@example.org>\n\n"
         "Files: *\nCopyright: 2026 Maker\nLicense: Expat\n"
         " First paragraph,\n two lines.\n .\n Second.\n")
  expect_equal(copyright "${got}" "${expected}")
elseif(CASE STREQUAL bad-line)
  file(WRITE ${dir}/CHANGELOG.md "${heading}## 1.0.2 (2026-12-07)\n\n- Fine.\nNot a change.\n")
  norvane_debian_changelog(${dir}/CHANGELOG.md ${dir}/changelog "${contact}")
elseif(CASE STREQUAL old-version)
  file(WRITE ${dir}/CHANGELOG.md "${heading}## 1.0.1 (2026-12-07)\n\n- Fine.\n")
  norvane_debian_changelog(${dir}/CHANGELOG.md ${dir}/changelog "${contact}")
elseif(CASE STREQUAL no-release)
  file(WRITE ${dir}/CHANGELOG.md "${heading}")
  norvane_debian_changelog(${dir}/CHANGELOG.md ${dir}/changelog "${contact}")
elseif(CASE STREQUAL no-holder)
  file(WRITE ${dir}/LICENSE "MIT License\n\nPermission is hereby granted.\n")
  norvane_debian_copyright(${dir}/LICENSE ${dir}/copyright "${contact}")
else()
  message(FATAL_ERROR "unknown case '${CASE}'")
endif()
