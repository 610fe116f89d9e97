// How the window program keeps the memory it frees.
#pragma once

// Projects of thousands of points are loaded, closed and loaded again, each load
// a few megabytes that live for a moment. The C library would give freed memory
// back to the system at once and take it again page by page at the next load
// (on a virtual machine a page costs about as much as parsing a hundred rows);
// this keeps up to 32 MiB of it for reuse instead. Called first thing in the
// window program's main(). Nothing where the C library has no such setting.
void keepFreedMemoryForReuse();
