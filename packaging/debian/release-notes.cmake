# The package's changelog and copyright, made from the project's CHANGELOG.md and LICENSE so
# that each text lives in one place.

# norvane_debian_changelog(CHANGELOG_MD OUT MAINTAINER): writes the Debian changelog and sets
# NORVANE_RELEASE_DATE (YYYY-MM-DD) to the date of the newest release. Fails when the newest
# release is not this project version, or a line is neither a heading nor a change.
function(norvane_debian_changelog changelog_md out maintainer)
  file(READ ${changelog_md} text)
  string(ASCII 31 unit)  # the changes may hold semicolons, CMake's list separator
  string(REPLACE ";" "${unit}" text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(debian "")
  set(release "")
  set(newest "")
  set(line_number 0)
  foreach(line IN LISTS lines)
    math(EXPR line_number "${line_number} + 1")
    string(REPLACE "${unit}" ";" line "${line}")
    if(line MATCHES "^## ([0-9]+\\.[0-9]+\\.[0-9]+) \\(([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])\\)$")
      if(release)
        string(APPEND debian "${trailer}\n")
      endif()
      set(release ${CMAKE_MATCH_1})
      if(NOT newest)
        set(newest ${release})
        set(date "${CMAKE_MATCH_2}-${CMAKE_MATCH_3}-${CMAKE_MATCH_4}")
      endif()
      norvane_rfc2822_date(${CMAKE_MATCH_2} ${CMAKE_MATCH_3} ${CMAKE_MATCH_4} stamp)
      set(trailer "\n -- ${maintainer}  ${stamp}\n")
      string(APPEND debian "norvane (${release}) unstable; urgency=medium\n\n")
    elseif(NOT release OR line STREQUAL "")
      continue()
    elseif(line MATCHES "^- (.+)$")
      string(APPEND debian "  * ${CMAKE_MATCH_1}\n")
    elseif(line MATCHES "^  +(.+)$")
      string(APPEND debian "    ${CMAKE_MATCH_1}\n")
    else()
      message(FATAL_ERROR "${changelog_md}:${line_number}: neither a release heading nor a change")
    endif()
  endforeach()
  if(NOT newest STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${changelog_md}: the newest release is '${newest}', the project is "
                        "${PROJECT_VERSION}; add the release to the changelog")
  endif()
  string(APPEND debian "${trailer}")
  file(WRITE ${out} "${debian}")
  set(NORVANE_RELEASE_DATE ${date} PARENT_SCOPE)
endfunction()

# The weekday comes from the date itself (Sakamoto's method): a changelog must not depend on
# the day it was built.
function(norvane_rfc2822_date year month day out)
  string(REGEX REPLACE "^0" "" m ${month})
  string(REGEX REPLACE "^0" "" d ${day})
  set(y ${year})
  if(m LESS 3)
    math(EXPR y "${y} - 1")
  endif()
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  math(EXPR i "${m} - 1")
  list(GET offsets ${i} offset)
  math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${d}) % 7")
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  list(GET weekdays ${weekday} weekday_name)
  list(GET months ${i} month_name)
  set(${out} "${weekday_name}, ${day} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

# norvane_debian_copyright(LICENSE OUT CONTACT): the machine-readable copyright file, with the
# licence text of LICENSE under the name Debian gives the MIT licence, Expat.
function(norvane_debian_copyright license out contact)
  file(STRINGS ${license} lines)
  set(body "")
  set(holder "")
  foreach(line IN LISTS lines)
    if(NOT holder)
      if(line MATCHES "^Copyright \\(c\\) (.+)$")
        set(holder ${CMAKE_MATCH_1})
      endif()
      continue()
    endif()
    if(line STREQUAL "")
      if(body)
        string(APPEND body " .\n")
      endif()
    else()
      string(APPEND body " ${line}\n")
    endif()
  endforeach()
  if(NOT holder OR NOT body)
    message(FATAL_ERROR "${license}: no 'Copyright (c)' line followed by the licence text")
  endif()
  file(WRITE ${out}
       "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
       "Upstream-Name: ${PROJECT_NAME}\n"
       "Upstream-Contact: ${contact}\n"
       "\n"
       "Files: *\n"
       "Copyright: ${holder}\n"
       "License: Expat\n"
       "${body}")
endfunction()
