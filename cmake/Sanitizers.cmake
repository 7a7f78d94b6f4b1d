# SANITIZE=address,undefined builds everything (programs, build-time tools, tests) with those
# sanitizers. Undefined behaviour stops the program at once instead of printing and going on, so
# a test cannot pass over it; frame pointers keep the reports' stacks whole at -O2.
set(SANITIZE "" CACHE STRING "Sanitizers to build everything with, e.g. address,undefined")
if(SANITIZE)
    set(sanitize_flags -fsanitize=${SANITIZE} -fno-omit-frame-pointer)
    if(SANITIZE MATCHES "undefined")
        list(APPEND sanitize_flags -fno-sanitize-recover=undefined)
    endif()
    add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:${sanitize_flags}>")
    add_link_options(-fsanitize=${SANITIZE})
endif()
