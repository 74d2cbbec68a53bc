#pragma once

// Pages and frames.

bool QelUtilFrameExists();
