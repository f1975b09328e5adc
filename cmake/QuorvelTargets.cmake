# Compile settings shared by the program's own code and its tests.

# Sources are UTF-8; the program's texts reach the binary in code page 932.
add_compile_options(-finput-charset=UTF-8 -fexec-charset=CP932 -Wall -Wextra)

# The program's own code: no exceptions, no RTTI, nothing from the C++ runtime
# beyond what the compiler inlines.
function(quorvel_program_code target)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables)
endfunction()

# A 32-bit Windows program that runs on every NT version from 4.0 on and
# imports only system DLLs: the compiler runtimes are linked in statically.
function(quorvel_windows_program target)
  target_link_options(${target} PRIVATE -static -Wl,--subsystem,windows:4.0)
endfunction()
