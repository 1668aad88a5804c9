// The editor's typeface (DejaVu Sans), carried inside the library so the
// editor looks the same on every machine.
#if defined(_WIN32)
    .section .rdata,"dr"
#else
    .section .rodata
#endif
    .globl sonvera_font_data
    .globl sonvera_font_size
#if !defined(_WIN32)
    .hidden sonvera_font_data
    .hidden sonvera_font_size
#endif
    .balign 16
sonvera_font_data:
    .incbin SONVERA_FONT_FILE
sonvera_font_end:
    .balign 8
sonvera_font_size:
    .quad sonvera_font_end - sonvera_font_data
#if !defined(_WIN32)
    .section .note.GNU-stack,"",@progbits
#endif
