# Warnings and the CP949 execution character set, applied per target. clang 14 accepts
# no execution character set but UTF-8, so only the fuzz tree (clang, TUNRA_FUZZ) goes
# without it: its Korean literals stay UTF-8. They are message texts and captions, which
# no parser compares with; any other clang build still fails loudly on the option.
function(tunra_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(NOT TUNRA_FUZZ)
    target_compile_options(${target} PRIVATE -fexec-charset=CP949)
  endif()
  if(TUNRA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
