#pragma once

// The application kernel's flat function interface, called from the user-interface thread only.

struct ArgList_s;
using ArgList_pa = ArgList_s*;

#include "host/KernelArgList.h"
#include "host/KernelDataLoad.h"
#include "host/KernelDataSets.h"
#include "host/KernelErrors.h"
#include "host/KernelExport.h"
#include "host/KernelExportPreview.h"
#include "host/KernelFrames.h"
#include "host/KernelLayout.h"
#include "host/KernelLock.h"
#include "host/KernelMacro.h"
#include "host/KernelMessages.h"
#include "host/KernelStartupFiles.h"
#include "host/KernelStateChange.h"
#include "host/KernelStrings.h"
#include "host/KernelStyle.h"
#include "host/KernelVarNames.h"
