# embed_file(<target> <file> <symbol>)
# Links the bytes of <file> into <target> through the assembler's .incbin, so even a large
# file costs no compile time. C++ sees them as
#   extern "C" const unsigned char <symbol>[]; extern "C" const unsigned char <symbol>_end[];
function(embed_file target file symbol)
    get_filename_component(abs "${file}" ABSOLUTE)
    set(asm "${CMAKE_CURRENT_BINARY_DIR}/${symbol}.S")
    file(CONFIGURE OUTPUT "${asm}" CONTENT
"    .section .rodata
    .balign 16
    .global ${symbol}
    .global ${symbol}_end
${symbol}:
    .incbin \"${abs}\"
${symbol}_end:
    .byte 0
    .section .note.GNU-stack,\"\",@progbits
")
    set_source_files_properties("${asm}" PROPERTIES OBJECT_DEPENDS "${abs}")
    target_sources(${target} PRIVATE "${asm}")
endfunction()
