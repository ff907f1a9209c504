// The packed shader sources: a little-endian length word, then one zlib stream of the text.
#pragma once

#include <windows.h>

// The packed file beside a source path: the last component's extension replaced by
// ".shader", separators left as given. False when the result does not fit in MAX_PATH.
bool ShaderFilePath(const char* sourcePath, char shaderPath[MAX_PATH]);

// Reads and inflates a packed file. On success *text is a malloc'd block whose *length bytes
// are all inflated text: the stream's own length when the word is larger, the word when it
// is smaller. A missing, short or corrupt file fails and leaves *text null.
HRESULT ReadShaderFile(const char* shaderPath, char** text, UINT* length);
