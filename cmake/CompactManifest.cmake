# cmake -DINPUT=<manifest> -DOUTPUT=<file> -DARCHITECTURE=x86|amd64 -P CompactManifest.cmake
#
# Writes the application manifest without its comments and without the blanks
# between and inside its tags. They serve readers of the source; in the exe
# they would only take room. The source names the shipped program's
# architecture, x86; a 64-bit build of the same program names its own.
file(READ "${INPUT}" manifest)
string(REPLACE "processorArchitecture=\"x86\"" "processorArchitecture=\"${ARCHITECTURE}\""
       manifest "${manifest}")
string(REGEX REPLACE "<!--[^>]*-->" "" manifest "${manifest}")
string(REGEX REPLACE ">[ \t\r\n]+<" "><" manifest "${manifest}")
string(REGEX REPLACE "[ \t\r\n]+" " " manifest "${manifest}")
string(STRIP "${manifest}" manifest)
file(WRITE "${OUTPUT}.tmp" "${manifest}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
