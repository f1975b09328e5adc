# cmake -DINPUT=<manifest> -DOUTPUT=<file> -P CompactManifest.cmake
#
# Writes the application manifest without its comments and without the blanks
# between and inside its tags. They serve readers of the source; in the exe
# they would only take room.
file(READ "${INPUT}" manifest)
string(REGEX REPLACE "<!--[^>]*-->" "" manifest "${manifest}")
string(REGEX REPLACE ">[ \t\r\n]+<" "><" manifest "${manifest}")
string(REGEX REPLACE "[ \t\r\n]+" " " manifest "${manifest}")
string(STRIP "${manifest}" manifest)
file(WRITE "${OUTPUT}.tmp" "${manifest}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
