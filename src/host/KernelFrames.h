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
// Plot types as QelUtilFrameGetPlotType tells them apart.
enum PlotType_e {
    // Every plot type the dialogs need not tell apart; also the answer when there is no frame.
    PlotType_Other = 0,
    PlotType_ThreeDimensional = 1,
};

// The current frame's plot type, a PlotType_e value.
int QelUtilFrameGetPlotType();
