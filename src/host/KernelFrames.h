#pragma once

// Pages and frames. The kernel always has a current frame while any frame exists; the walks
// below move it and their End calls put it back.

bool QelUtilFrameExists();

// Walks every frame of every page, starting at the frame current before the walk. After Start
// the first frame of the walk is current; Next makes the following one current and is false
// after the last; End finishes the walk and restores the frame that was current before it.
bool QelUtilFrameLightweightForAllPagesLoopStart();
bool QelUtilFrameLightweightForAllPagesLoopNext();
void QelUtilFrameLightweightForAllPagesLoopEnd();

// Walks the frames of the current page from the top of the frame stack down, in the same way.
bool QelUtilFrameLightweightPopStart();
bool QelUtilFrameLightweightPopNext();
void QelUtilFrameLightweightPopEnd();

// The current frame's name, kernel-allocated (free it with QelUtilStringDealloc). False when
// there is no current frame; *name is then null.
bool QelUtilFrameGetName(char** name);
// The current frame's plot type; 1 is the three-dimensional plot type, 0 when there is no frame.
int QelUtilFrameGetPlotType();
