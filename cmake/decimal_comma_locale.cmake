include_guard(GLOBAL)
# A locale that writes numbers with a decimal comma (German, UTF-8), compiled by localedef from
# the system's locale sources into the build tree, for the tests that set one as a module of the
# game may (sim/core/number_locale.h): a system need not have any such locale installed. glibc
# finds it through LOCPATH, which the tests set to HOLDOUT_LOCALE_DIR; Windows's C runtime needs
# no files for it.
set(HOLDOUT_LOCALE_DIR ${CMAKE_BINARY_DIR}/locales)
find_program(HOLDOUT_LOCALEDEF localedef REQUIRED)
add_custom_command(
  OUTPUT ${HOLDOUT_LOCALE_DIR}/de_DE.UTF-8/LC_NUMERIC
  COMMAND ${CMAKE_COMMAND} -E make_directory ${HOLDOUT_LOCALE_DIR}
  COMMAND ${HOLDOUT_LOCALEDEF} -i de_DE -f UTF-8 ${HOLDOUT_LOCALE_DIR}/de_DE.UTF-8
  COMMENT "Decimal-comma locale for the tests (localedef)")
add_custom_target(holdout_decimal_comma_locale ALL
                  DEPENDS ${HOLDOUT_LOCALE_DIR}/de_DE.UTF-8/LC_NUMERIC)
