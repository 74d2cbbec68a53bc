#pragma once

// Style values: the kernel's named, typed settings (export options, layout options, ...).
// A style value is named by a path of names; the toolbox turns the names into identifiers and
// passes them, with the instance offsets and the value, in an argument list.

#include "host/KernelArgList.h"

struct Set_s;
using Set_pa = Set_s*;

enum SetValueReturnCode_e {
    SetValue_Ok = 0,
    // The value equals the one held: accepted, nothing changed.
    SetValue_DuplicateValue = 1,
    SetValue_InvalidCommandOption = 2,
    SetValue_InvalidOffset = 3,
    SetValue_InvalidValue = 4,
    SetValue_ValueOutOfRange = 5,
    SetValue_WrongValueType = 6,
    SetValue_UnknownStyleName = 7,
    SetValue_ContextError = 8,
    // Accepted, but the kernel may hold the value in another form than the one written (rounded,
    // clamped or shared with other settings): a caller that wants the value it wrote should not
    // trust a comparison and write again next time.
    SetValue_AcceptedMayDiffer = 15
};

enum GetValueReturnCode_e {
    GetValue_Ok = 0,
    GetValue_ResultTypeError = 1,
    GetValue_SyntaxError = 2,
    GetValue_InvalidOffset = 3,
    GetValue_UnknownStyleName = 4,
    GetValue_ContextError = 5
};

// Identifies one name of a style value path. Every name has an identifier, known to a style
// value or not; a path of names that no style value has is refused when it is used.
long QelUtilStyleNameGetID(const char* name);
// Borrowed, or null for an identifier that was never given out.
const char* QelUtilStyleIDGetName(long identifier);

// Arguments of both calls: "Identifiers" (identifier path), "Offset1", "Offset2" (instance
// offsets, -1 when not given). Get receives through "IValue" (long), "DValue" (double) or
// "StrValue" (string). Set takes "AssignOp" (255 assigns) and "IValue", "DValue" or "StrValue".
GetValueReturnCode_e QelUtilStyleGetLowLevelX(ArgList_pa args);
SetValueReturnCode_e QelUtilStyleSetLowLevelX(ArgList_pa args);

// The text of the last refused write, kernel-allocated (free with QelUtilStringDealloc), or null
// when the kernel has nothing to say.
char* QelUtilStyleGetLastErrorString();
