# The hardening Debian builds its packages with (dpkg-buildflags with hardening=+all), for the
# package and for every other build but the sanitizer and fuzz ones, which bring instrumentation
# of their own that fortified calls would hide from. The default build type gives the -O2.
if(NOT VELMINE_SANITIZE AND NOT VELMINE_FUZZ)
  # Fortified calls need optimisation: an unoptimised build would only get the library's warning.
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security
                      $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  # Every object ends in a program (the library is static), so all are built for a
  # position-independent one, whatever the compiler's default. Full RELRO: the relocations are
  # all resolved at start and then made read-only.
  add_compile_options(-fPIE)
  add_link_options(-pie LINKER:-z,relro LINKER:-z,now)
endif()
