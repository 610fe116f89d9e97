// Reads a LON download file back into its fields, devices and points: the
// exact inverse of composeLonDownload. A damaged file is read as far as it
// goes; the result says where and why reading stopped.
#pragma once

#include "DownloadDecode.h"

// The part after the frame (offset 144 on), for a reader already past it.
void decodeLonBody(DownloadReader& r, DecodedDownload& d);
