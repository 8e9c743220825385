# Warnings and sanitizers for the project's own targets. Third-party headers
# (Qt, yaml-cpp) come in as system includes, so -Werror stays on our code.

function(sfp_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(SFP_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(SFP_SANITIZE)
  string(REPLACE ";" "," _sfp_san "${SFP_SANITIZE}")
  add_compile_options(-fsanitize=${_sfp_san} -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=${_sfp_san})
  if("undefined" IN_LIST SFP_SANITIZE)
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()
