# Every program we build is hardened as Debian hardens its own packages (dpkg-buildflags with
# hardening=+all), and Norvane.exe as careful Windows programs are linked.
set(cc $<COMPILE_LANGUAGE:C,CXX>)
add_compile_options($<${cc}:-fstack-protector-strong> $<${cc}:-Wformat> $<${cc}:-Werror=format-security>)
# The C library fortifies optimised code only; the sanitizers bring their own checks.
if(NOT NORVANE_SANITIZE)
  add_compile_options($<$<AND:${cc},$<NOT:$<CONFIG:Debug>>>:-D_FORTIFY_SOURCE=2>)
endif()

if(WIN32)
  # MinGW's stack protector (and its fortified functions) live in libssp, which the driver
  # links, statically here, only when it sees the option at link time too.
  add_link_options(-fstack-protector-strong LINKER:--dynamicbase,--nxcompat,--tsaware)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(LINKER:--high-entropy-va)
  else()
    # 32-bit GCC here unwinds with DWARF tables and installs no SEH handler of its own.
    add_link_options(LINKER:--no-seh)
  endif()
else()
  # Debian's GCC makes position-independent executables by default.
  add_compile_options($<${cc}:-fstack-clash-protection> $<${cc}:-fcf-protection>)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
unset(cc)
