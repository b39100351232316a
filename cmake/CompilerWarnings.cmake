# Warnings for every target of the project; ZAP207_WERROR turns them into errors (CI).
function(zap207_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${ZAP207_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                           -Wconversion -Wsign-conversion -Wold-style-cast -Woverloaded-virtual
                           -Wnon-virtual-dtor -Wcast-qual -Wformat=2
                           $<$<BOOL:${ZAP207_WERROR}>:-Werror>)
  endif()
endfunction()
