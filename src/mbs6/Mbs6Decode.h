// Reads an MBS6 download file back into its fields, units and points: the
// exact inverse of composeMbs6Download. A damaged file is read as far as it
// goes; the result says where and why reading stopped.
#pragma once

#include "DownloadDecode.h"

// The part after the frame (offset 144 on), for a reader already past it.
void decodeMbs6Body(DownloadReader& r, DecodedDownload& d);
