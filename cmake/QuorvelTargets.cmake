# Compile settings shared by the program's own code and its tests.

# Sources are UTF-8; the program's texts reach the binary in code page 932.
add_compile_options(-finput-charset=UTF-8 -fexec-charset=CP932 -Wall -Wextra)

# The program's own code: no exceptions, no RTTI, nothing from the C++ runtime
# beyond what the compiler inlines. Every function that keeps an array on its
# stack, or lets a local's address escape, is built with a stack guard
# (-fstack-protector-strong): an overrun of one of the fixed text buffers
# then ends the process instead of returning through a changed address. The
# guard and the routine that stops the process come from
# app/runtime_support.cpp in the exe, from GCC's libssp in programs that link
# a C runtime (the link option pulls it in, for them and for whatever links
# the program's libraries).
function(quorvel_program_code target)
  # No compiler banner in every object. Packed tight, as every 512 bytes of a
  # section count against the exe's budget: functions and data at the
  # alignment the ABI asks, not padded for speed, and no jump tables in
  # .rdata. (Not -ffunction-sections: the assembler pads every section of a
  # 64-bit object to 16 bytes, which costs more than the unused code it lets
  # the link drop. Not -fdata-sections: for PE targets it moves
  # zero-initialised data out of .bss into .data, where the 5 KiB AppState
  # record would take room in the file.)
  target_compile_options(${target} PRIVATE -fno-exceptions -fno-rtti -fno-ident -falign-functions=1
                                           -malign-data=abi -fno-jump-tables -fstack-protector-strong
                                           ${QUORVEL_ARCHITECTURE_COMPILE_OPTIONS})
  target_link_options(${target} PUBLIC -fstack-protector-strong)
  # Compiled against the definitions of the oldest Windows the exe runs on
  # (mingw-w64's headers otherwise assume Windows 10): a flag or structure
  # size that only a later Windows knows cannot slip in unseen, and whatever
  # the program takes from a later one is declared beside its run-time
  # lookup (app/system_folder.h). The resource script takes them too.
  if(WIN32)
    target_compile_definitions(${target} PRIVATE _WIN32_WINNT=${QUORVEL_WINDOWS_VERSION}
                                                 WINVER=${QUORVEL_WINDOWS_VERSION})
  endif()
endfunction()

# A 32-bit Windows program that runs on every NT version from 4.0 on and
# imports only system DLLs: the compiler runtimes are linked in statically.
# The 64-bit build, shipped beside it, says 5.2, the first version of 64-bit
# Windows (XP x64 and Server 2003).
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(QUORVEL_SUBSYSTEM windows:4.0)
  set(QUORVEL_WINDOWS_VERSION 0x0400)
  # 32-bit C symbols carry a leading underscore.
  set(QUORVEL_ENTRY_SYMBOL _ProgramEntry)
  set(QUORVEL_MANIFEST_ARCHITECTURE x86)
  # 32-bit Windows finds exception handlers through records on the stack, not
  # through tables, so unwind tables would be dead weight. The program
  # registers no handler, and the header says so (NO_SEH): no address in the
  # image can then serve as a handler for a record forged on the stack.
  set(QUORVEL_ARCHITECTURE_COMPILE_OPTIONS -fno-asynchronous-unwind-tables -fno-unwind-tables)
  set(QUORVEL_ARCHITECTURE_LINK_OPTIONS -Wl,--no-seh)
else()
  set(QUORVEL_SUBSYSTEM windows:5.2)
  set(QUORVEL_WINDOWS_VERSION 0x0502)
  set(QUORVEL_ENTRY_SYMBOL ProgramEntry)
  set(QUORVEL_MANIFEST_ARCHITECTURE amd64)
  # The x64 calling convention requires an entry in the exception directory
  # (.pdata, pointing at unwind data in .xdata) for every function that calls
  # another or moves the stack pointer: Windows walks stacks with them to
  # dispatch an exception, for error reports and crash dumps, and in every
  # debugger and profiler.
  # The small code model: the image is far smaller than 2 GiB and imports
  # functions only, never data, so every symbol is reached directly from the
  # code. Under the default (medium) model for this target, each global is
  # reached through an 8-byte pointer of its own (.refptr) in case a DLL
  # holds it, which costs code and read-only data the exe has no use for.
  set(QUORVEL_ARCHITECTURE_COMPILE_OPTIONS -fasynchronous-unwind-tables -mcmodel=small)
  # ASLR over the whole 64-bit address space, not only its low 4 GiB. Linked
  # by lld (see cmake/lld/collect2), which can mark the exe compatible with
  # hardware shadow stacks (CET): Windows enforces them for 64-bit processes
  # so marked, on processors that have them. GNU ld has no such option. The
  # mark is an entry of the debug directory, which lld's MinGW driver puts
  # in a section of its own; merged into .rdata it costs no file section.
  set(QUORVEL_ARCHITECTURE_LINK_OPTIONS -B${PROJECT_SOURCE_DIR}/cmake/lld/ -fno-use-linker-plugin
      -Wl,--high-entropy-va -Wl,--Xlink=-cetcompat -Wl,--Xlink=-merge:.buildid=.rdata)
  # The 64-bit build's tests are named wine64.*, exe64.* and so on, so that a
  # run over both builds says which one each test checked.
  set(QUORVEL_TEST_SUFFIX 64)
endif()
function(quorvel_windows_program target)
  target_link_options(${target} PRIVATE -static -Wl,--subsystem,${QUORVEL_SUBSYSTEM})
endfunction()

# The shipped program, and the baselines measured against it: an entry point
# of its own (ProgramEntry) and no C runtime at all, so no start-up code, no
# runtime DLL and no heap. The routines the compiler may call on its own come
# from app/runtime_support.cpp, the stack probe from libgcc. The header keeps
# what protects users (ASLR with its relocations, in a 64-bit build with high
# entropy; DEP) and says that the program is terminal-server aware.
function(quorvel_lean_windows_program target)
  quorvel_windows_program(${target})
  set(_runtime ${PROJECT_SOURCE_DIR}/app/runtime_support.cpp)
  target_sources(${target} PRIVATE ${_runtime})
  # Keeps the compiler from turning the loops that implement memset and
  # memcpy into calls to memset and memcpy.
  set_source_files_properties(${_runtime} TARGET_DIRECTORY ${target} PROPERTIES
    COMPILE_OPTIONS -fno-tree-loop-distribute-patterns)
  # No link time in the header either, so that the same sources give the same
  # exe, byte for byte.
  target_link_options(${target} PRIVATE -nostdlib -Wl,--entry,${QUORVEL_ENTRY_SYMBOL} -Wl,--gc-sections
                      -Wl,--no-insert-timestamp
                      -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware
                      ${QUORVEL_ARCHITECTURE_LINK_OPTIONS} -s)
  target_link_libraries(${target} PRIVATE gcc)
endfunction()

# The resource script (dialog template, icon, version block, manifest),
# compiled into target. The manifest goes in compacted (see
# CompactManifest.cmake); the quorvel_compact_manifest target makes it.
function(quorvel_add_resources target)
  set(_rc ${PROJECT_SOURCE_DIR}/resources/quorvel.rc)
  target_sources(${target} PRIVATE ${_rc})
  target_include_directories(${target} PRIVATE ${PROJECT_BINARY_DIR}/resources)
  add_dependencies(${target} quorvel_compact_manifest)
  set_source_files_properties(${_rc} TARGET_DIRECTORY ${target} PROPERTIES OBJECT_DEPENDS
    "${PROJECT_SOURCE_DIR}/resources/resource.h;${PROJECT_SOURCE_DIR}/resources/icon/quorvel.ico;${PROJECT_BINARY_DIR}/resources/quorvel-compact.manifest")
endfunction()
