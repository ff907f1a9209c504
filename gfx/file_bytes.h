// Files read into memory whole, for the loaders that parse them there.
#pragma once

#include <d3d11.h>
#include <stddef.h>

// *data is a malloc'd block holding the file's *size bytes (what could be read, should the
// file shrink meanwhile; an empty file still gets a block). D3D11_ERROR_FILE_NOT_FOUND when
// it does not open, E_FAIL when its size cannot be told or passes INT_MAX, E_OUTOFMEMORY;
// *data is null on failure.
HRESULT ReadFileBytes(const char* path, unsigned char** data, size_t* size);
