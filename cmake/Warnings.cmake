# Warnings are errors in our own targets (not in third-party code).
function(tracewick_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
