// Small common helpers of the host: files, bitmaps and pixel blocks.
#pragma once

#include "platform/cstring.h"
#include "platform/geometry.h"
#include "platform/resource_types.h"
#include "platform/win_types.h"

class CDC;
class CBitmap;
class CKelMemBlock;

// Non-zero when `path` names an existing regular file.
int KelPublicDoesFileExist(const CString& path);

// Draws a picture stretched over `dest` with raster operation `rop`. 0 without a picture, a DC
// or a non-empty destination.
int KelPublicDrawBitmap(CDC* dc, const CRect& dest, CBitmap* bitmap, DWORD rop);
int KelPublicDrawBitmap(CDC* dc, const CRect& dest, const CKelMemBlock* image, DWORD rop);
int KelPublicDrawBitmap(CDC* dc, const CRect& dest, const ImageData* image, DWORD rop);

// Scales `source` into `target` at the target's current size (nearest pixel). 0 when either is
// missing or empty.
int KelPublicMemZoom(const CKelMemBlock* source, CKelMemBlock* target);
