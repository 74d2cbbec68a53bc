#pragma once

// Why the last kernel operation that wrote or read a file failed, for messages to the user.
// Kernel-allocated (free it with QelUtilStringDealloc); empty when nothing failed since the
// last successful operation.
char* QelUtilGetLastErrorMessage();
