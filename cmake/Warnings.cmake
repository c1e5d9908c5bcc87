# Warnings and the CP949 execution character set, applied per target.
function(tunra_set_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -fexec-charset=CP949)
  if(TUNRA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
