# SPDX-License-Identifier: GPL-3.0-or-later
# The hardening Debian builds its packages with (dpkg-buildflags with hardening=+all), for the
# package and every other build but the sanitizer and fuzz ones: fortified library calls would
# slip past their checks. The -O2 comes from the default build type.
if(NOT VELMINE_SANITIZE AND NOT VELMINE_FUZZ)
  # Fortifying needs optimisation: unoptimised, it would only earn the C library's warning. Every
  # object ends in a program (the library is static), so all are built position independent,
  # whatever the compiler's default.
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security
                      $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2> -fPIE)
  # Full RELRO: every symbol is bound at start, then the relocations are made read-only.
  add_link_options(-pie LINKER:-z,relro LINKER:-z,now)
endif()
